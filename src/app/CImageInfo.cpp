#include "app/CImageInfo.h"

#include "app/ContextHelp.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CImageInfo::CImageInfo(const std::string& text, QWidget* parent)
    : QDialog(parent), m_text(text), m_box(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("Image Information"));
    m_box->setObjectName(QStringLiteral("InfoText"));
    m_box->setReadOnly(true);
    m_box->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The text's lines end in CR LF; the box wants plain line breaks.
    QString shown = QString::fromStdString(m_text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (shown.endsWith(u'\n'))
        shown.chop(1);
    m_box->setPlainText(shown);
    m_box->setMinimumSize(380, 200);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("Close"));
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_box);
    layout->addWidget(buttons);
    AddContextHelp(this);
}

void CImageInfo::Show(const std::string& text, QWidget* parent)
{
    CImageInfo dialog(text, parent);
    dialog.exec();
}
