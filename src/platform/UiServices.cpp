#include "platform/UiServices.h"

#include "platform/HeadlessUiServices.h"

namespace {

UiServices* g_services = nullptr;

HeadlessUiServices& Fallback()
{
    static HeadlessUiServices services;
    return services;
}

} // namespace

UiServices& GetUiServices()
{
    return g_services ? *g_services : Fallback();
}

void SetUiServices(UiServices* services)
{
    g_services = services;
}

MsgResult HeadlessUiServices::MessageBox(const std::string& text, const std::string&,
                                         MsgButtons buttons, MsgIcon)
{
    if (m_out) {
        std::fprintf(m_out, "%s\n", text.c_str());
        std::fflush(m_out);
    }
    switch (buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgResult::Yes;
    case MsgButtons::RetryCancel:
        return MsgResult::Cancel;
    default:
        return MsgResult::Ok;
    }
}

bool HeadlessUiServices::SetClipboard(const ClipboardContent& content)
{
    m_clipboard = content;
    return true;
}

int HeadlessUiServices::StartTimer(int, std::function<void()>)
{
    return m_nextTimer++;
}

void HeadlessUiServices::KillTimer(int)
{
}
