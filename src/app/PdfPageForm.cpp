#include "app/PdfPageForm.h"

#include "app/FormControls.h"
#include "document/PdfPageDlg.h"
#include "image/PdfFile.h"

#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

PdfPageForm::PdfPageForm(PdfPageDlg& dlg, QWidget* parent)
    : QDialog(parent), m_dlg(dlg), m_dpi(new QSpinBox(this)), m_size(new QLabel(this))
{
    setWindowTitle(QStringLiteral("PDF Page"));
    auto* form = new QFormLayout;
    const int count = dlg.PageCount();
    form->addRow(new QLabel(count == 1 ? QStringLiteral("The PDF has one page.")
                                       : QStringLiteral("The PDF has %1 pages.").arg(count),
                            this));
    if (dlg.AsksForPage()) {
        m_page = new QSpinBox(this);
        m_page->setObjectName(QStringLiteral("Page"));
        m_page->setRange(1, count);
        m_page->setValue(dlg.m_page);
        form->addRow(QStringLiteral("&Page:"), m_page);
        connect(m_page, &QSpinBox::valueChanged, this, &PdfPageForm::Exchange);
    }
    m_dpi->setObjectName(QStringLiteral("Resolution"));
    m_dpi->setRange(kPdfMinDpi, kPdfMaxDpi);
    m_dpi->setSingleStep(50);
    m_dpi->setSuffix(QStringLiteral(" dpi"));
    m_dpi->setValue(dlg.m_dpi);
    form->addRow(QStringLiteral("&Resolution:"), m_dpi);
    m_size->setObjectName(QStringLiteral("Size"));
    form->addRow(QStringLiteral("Picture:"), m_size);
    connect(m_dpi, &QSpinBox::valueChanged, this, &PdfPageForm::Exchange);
    Exchange();

    FinishForm(this, form);
}

void PdfPageForm::Exchange()
{
    if (m_page)
        m_dlg.m_page = m_page->value();
    m_dlg.m_dpi = m_dpi->value();
    m_size->setText(QString::fromStdString(m_dlg.SizeText()));
}

void PdfPageForm::accept()
{
    Exchange();
    if (m_dlg.OnOK())
        QDialog::accept();
}

bool PdfPageForm::RunModal(PdfPageDlg& dlg, QWidget* parent)
{
    PdfPageForm form(dlg, parent);
    return form.exec() == QDialog::Accepted;
}
