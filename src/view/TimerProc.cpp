#include "view/TimerProc.h"

#include "model/util/SimpleArray.h"
#include "view/ViewHost.h"

namespace {

struct Registry {
    SimpleArray<TimerProc*> procs;
    int bound = 1;
    long long lastEvent = 0;
};

Registry& GetRegistry()
{
    static Registry registry;
    return registry;
}

} // namespace

TimerProc::~TimerProc()
{
    Stop();
}

int TimerProc::SetPeriod(int periodMs)
{
    const int previous = m_period;
    m_period = periodMs;
    if (m_running) {
        ViewHost* window = m_window;
        Stop();
        Start(window);
    }
    return previous;
}

int TimerProc::Start(ViewHost* window)
{
    if (m_running)
        return 1;
    if (!window)
        return 0;
    m_window = window;
    Registry& r = GetRegistry();
    if (r.procs.GetSize() < r.bound + 2) {
        const int old = r.procs.GetSize();
        r.procs.SetSize(2 * (r.bound + 2));
        for (int i = old; i < r.procs.GetSize(); ++i)
            r.procs[i] = nullptr;
    }
    int id = 0;
    for (int i = 1; i < r.bound; ++i) {
        if (!r.procs[i]) {
            id = i;
            break;
        }
    }
    if (id == 0)
        id = r.bound++;
    m_platformId = window->StartTimer(m_period, [id] { TimerProc::Dispatch(id); });
    m_id = id;
    r.procs[id] = this;
    m_running = 1;
    return 1;
}

int TimerProc::Stop()
{
    if (!m_running)
        return 1;
    if (m_window)
        m_window->KillTimer(m_platformId);
    Registry& r = GetRegistry();
    if (m_id > 0 && m_id < r.procs.GetSize() && r.procs[m_id] == this)
        r.procs[m_id] = nullptr;
    m_id = 0;
    m_platformId = 0;
    m_running = 0;
    return 1;
}

void TimerProc::Dispatch(int id)
{
    Registry& r = GetRegistry();
    ++r.lastEvent;
    if (TimerProc* proc = Lookup(id))
        proc->Tick();
}

TimerProc* TimerProc::Lookup(int id)
{
    Registry& r = GetRegistry();
    if (id <= 0 || id >= r.procs.GetSize())
        return nullptr;
    return r.procs[id];
}

int TimerProc::GetIdBound()
{
    return GetRegistry().bound;
}

long long TimerProc::GetLastEventTime()
{
    return GetRegistry().lastEvent;
}
