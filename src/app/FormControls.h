#pragma once

class QCheckBox;
class QDialog;
class QLayout;
class QLineEdit;
class QWidget;

// The controls the dialog forms are built of, named so that tests can find them.

// An edit box holding value in the C number form; minimumWidth 0 leaves the style's width.
QLineEdit* NumberEdit(const char* name, double value, QWidget* parent, int minimumWidth = 0);
// A check box with its text, ticked when value is non-zero.
QCheckBox* CheckBox(const char* text, const char* name, int value, QWidget* parent);

// Puts the dialog's focusable controls in reading order (rows from the top, each from the
// left) for Tab, and gives the first of them the focus, its text selected when it is an
// edit box. Call it once the dialog's layout is built.
void TabInReadingOrder(QWidget* dialog);

// Lays the dialog out as its body above OK and Cancel, at a fixed size, with Tab in reading
// order, the first control focused and every control's What's This text. Call it last in the
// form's constructor.
void FinishForm(QDialog* dialog, QLayout* body);
