#include "app/DoubleText.h"

#include "platform/UiServices.h"

#include <QLineEdit>

#include <charconv>
#include <cmath>
#include <string>

QString DoubleText::Format(double value)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

bool DoubleText::Parse(const QString& text, double& value)
{
    const std::string bytes = text.trimmed().toStdString();
    if (bytes.empty())
        return false;
    const char* first = bytes.data();
    const char* last = first + bytes.size();
    // A leading "+" is a number's sign too.
    if (*first == '+' && last - first > 1 && first[1] != '-' && first[1] != '+')
        ++first;
    double parsed = 0.0;
    const auto result = std::from_chars(first, last, parsed);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool DoubleText::Exchange(QLineEdit* edit, double& value)
{
    if (Parse(edit->text(), value))
        return true;
    GetUiServices().MessageBox("Please enter a number.");
    edit->setFocus();
    edit->selectAll();
    return false;
}
