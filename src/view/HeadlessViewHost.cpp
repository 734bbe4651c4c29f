#include "view/HeadlessViewHost.h"

#include "view/CKurvoView.h"

void HeadlessViewHost::Resize(int width, int height)
{
    m_size = {width, height};
    if (m_view)
        m_view->OnSize(width, height);
}

void HeadlessViewHost::Invalidate(bool erase)
{
    m_invalid = true;
    ++invalidations;
    if (erase)
        ++erasingInvalidations;
}

void HeadlessViewHost::UpdateNow()
{
    if (!m_invalid)
        return;
    m_invalid = false;
    ++paints;
    if (m_view)
        m_view->OnPaint();
}

void HeadlessViewHost::SetCursor(CursorShape shape)
{
    GetUiServices().SetCursor(shape);
}

void HeadlessViewHost::SetStatusText(int pane, const std::string& text)
{
    GetUiServices().SetStatusPane(pane, text);
}

bool HeadlessViewHost::IsKeyDown(KeyCode key) const
{
    return GetUiServices().IsKeyDown(key);
}

int HeadlessViewHost::StartTimer(int periodMs, std::function<void()> callback)
{
    return GetUiServices().StartTimer(periodMs, std::move(callback));
}

void HeadlessViewHost::KillTimer(int id)
{
    GetUiServices().KillTimer(id);
}
