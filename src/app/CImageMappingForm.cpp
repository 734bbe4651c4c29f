#include "app/CImageMappingForm.h"

#include "app/DoubleText.h"
#include "app/FormControls.h"
#include "document/CImageMapping.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace {

QLineEdit* Edit(const char* name, double value, QWidget* parent)
{
    QLineEdit* edit = NumberEdit(name, value, parent, 140);
    // Digits, with what a fractional, signed or scaled number needs.
    static const QRegularExpression number(QStringLiteral("[0-9.eE+-]*"));
    edit->setValidator(new QRegularExpressionValidator(number, edit));
    return edit;
}

} // namespace

CImageMappingForm::CImageMappingForm(CImageMapping& dlg, QWidget* parent)
    : QDialog(parent), m_dlg(dlg), m_aspect(Edit("Aspect", dlg.m_aspect, this)),
      m_pointsPerUnit(Edit("PointsPerUnit", dlg.m_pointsPerUnit, this)),
      m_xOrigin(Edit("XOrigin", dlg.m_origin.x, this)),
      m_yOrigin(Edit("YOrigin", dlg.m_origin.y, this))
{
    setWindowTitle(QStringLiteral("Pixel Mapping"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Aspect Ratio (w/h):"), m_aspect);
    form->addRow(QStringLiteral("&Points Per Length (h):"), m_pointsPerUnit);
    form->addRow(QStringLiteral("&X Origin:"), m_xOrigin);
    form->addRow(QStringLiteral("&Y Origin:"), m_yOrigin);

    FinishForm(this, form);
}

void CImageMappingForm::accept()
{
    if (!DoubleText::Exchange(m_aspect, m_dlg.m_aspect) ||
        !DoubleText::Exchange(m_pointsPerUnit, m_dlg.m_pointsPerUnit) ||
        !DoubleText::Exchange(m_xOrigin, m_dlg.m_origin.x) ||
        !DoubleText::Exchange(m_yOrigin, m_dlg.m_origin.y))
        return;
    if (m_dlg.OnOK())
        QDialog::accept();
}

bool CImageMappingForm::RunModal(CImageMapping& dlg, QWidget* parent)
{
    CImageMappingForm form(dlg, parent);
    return form.exec() == QDialog::Accepted;
}
