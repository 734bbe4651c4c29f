#include "app/AppPrinter.h"

#ifdef QT_PRINTSUPPORT_LIB
#include <QPrinter>

#include <memory>

namespace {

std::unique_ptr<QPrinter>& Instance()
{
    static std::unique_ptr<QPrinter> printer;
    return printer;
}

} // namespace

QPrinter& AppPrinter()
{
    std::unique_ptr<QPrinter>& printer = Instance();
    if (!printer)
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer;
}

void ReleaseAppPrinter()
{
    Instance().reset();
}
#endif
