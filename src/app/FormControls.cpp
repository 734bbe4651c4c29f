#include "app/FormControls.h"

#include "app/DoubleText.h"

#include <QCheckBox>
#include <QLineEdit>

QLineEdit* NumberEdit(const char* name, double value, QWidget* parent, int minimumWidth)
{
    auto* edit = new QLineEdit(DoubleText::Format(value), parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (minimumWidth > 0)
        edit->setMinimumWidth(minimumWidth);
    return edit;
}

QCheckBox* CheckBox(const char* text, const char* name, int value, QWidget* parent)
{
    auto* box = new QCheckBox(QString::fromLatin1(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(value != 0);
    return box;
}
