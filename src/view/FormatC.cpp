#include "view/FormatC.h"

#include <clocale>
#include <cstdio>
#include <locale.h>

namespace {

locale_t CLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

} // namespace

std::string FormatCv(const char* format, va_list args)
{
    char buffer[1024];
    const locale_t previous = uselocale(CLocale());
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    uselocale(previous);
    if (n < 0)
        return std::string();
    return std::string(buffer);
}

std::string FormatC(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = FormatCv(format, args);
    va_end(args);
    return text;
}
