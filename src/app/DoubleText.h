#pragma once

#include <QString>

class QLineEdit;

// Numbers in the dialogs' edit boxes, always in the C form ("1.5", "-2e-05") whatever the
// user's locale: 15 significant digits out, a whole number with optional surrounding
// blanks in.
class DoubleText {
public:
    static QString Format(double value);
    // False (value untouched) when the text is empty, not a number or has trailing junk.
    static bool Parse(const QString& text, double& value);
    // Reads an edit box; a malformed number is reported with "Please enter a number.", the
    // box gets the focus with its text selected, and the result is false.
    static bool Exchange(QLineEdit* edit, double& value);
};
