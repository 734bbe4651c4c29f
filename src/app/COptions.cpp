#include "app/COptions.h"

#include "app/FormControls.h"
#include "document/OptionsDlg.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

COptions::COptions(OptionsDlg& fields, QWidget* parent)
    : QDialog(parent), m_fields(fields),
      m_sortData(CheckBox("Sort Data Points", "SortData", fields.m_sortData, this)),
      m_saveBitmapCopy(
          CheckBox("Save Bitmap Copy", "SaveBitmapCopy", fields.m_saveBitmapCopy, this)),
      m_reuseMappingData(
          CheckBox("Reuse Mapping Data", "ReuseMappingData", fields.m_reuseMappingData, this)),
      m_allowCaching(CheckBox("Allow Image Caching", "AllowCaching", fields.m_allowCaching, this)),
      m_uncertaintyColumns(CheckBox("Export dX, dY (half a pixel in graph units)",
                                    "UncertaintyColumns", fields.m_uncertaintyColumns, this)),
      m_magnifierFactor(new QSpinBox(this))
{
    m_magnifierFactor->setObjectName(QStringLiteral("MagnifierFactor"));
    m_magnifierFactor->setRange(4, 12);
    m_magnifierFactor->setSuffix(QStringLiteral("x"));
    m_magnifierFactor->setValue(fields.m_magnifierFactor);
    setWindowTitle(QStringLiteral("Options"));
    auto* body = new QVBoxLayout;
    for (QCheckBox* box :
         {m_sortData, m_saveBitmapCopy, m_reuseMappingData, m_allowCaching, m_uncertaintyColumns})
        body->addWidget(box);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Magnifier enlargement:"), m_magnifierFactor);
    body->addLayout(form);
    FinishForm(this, body);
}

void COptions::accept()
{
    m_fields.m_sortData = m_sortData->isChecked() ? 1 : 0;
    m_fields.m_saveBitmapCopy = m_saveBitmapCopy->isChecked() ? 1 : 0;
    m_fields.m_reuseMappingData = m_reuseMappingData->isChecked() ? 1 : 0;
    m_fields.m_allowCaching = m_allowCaching->isChecked() ? 1 : 0;
    m_fields.m_uncertaintyColumns = m_uncertaintyColumns->isChecked() ? 1 : 0;
    m_fields.m_magnifierFactor = m_magnifierFactor->value();
    QDialog::accept();
}

bool COptions::RunModal(OptionsDlg& fields, QWidget* parent)
{
    COptions dialog(fields, parent);
    return dialog.exec() == QDialog::Accepted;
}
