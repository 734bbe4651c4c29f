#pragma once

class ViewHost;

// A procedure driven by a window timer. Every running procedure has its own timer id, taken
// from a process-wide registry (the smallest free id from 1 up), through which the one
// common timer callback finds it.
class TimerProc {
public:
    TimerProc() = default;
    virtual ~TimerProc();
    TimerProc(const TimerProc&) = delete;
    TimerProc& operator=(const TimerProc&) = delete;

    // One timer expiry.
    virtual int Tick() = 0;
    // Returns the previous period; a running timer restarts with the new one.
    virtual int SetPeriod(int periodMs);
    // Starts the timer on the window; answers 1 without doing anything when running.
    virtual int Start(ViewHost* window);
    // Answers 1 when it was not running.
    virtual int Stop();
    virtual bool IsRunning() const { return m_running != 0; }

    int GetPeriod() const { return m_period; }
    int GetId() const { return m_id; }
    ViewHost* GetWindow() const { return m_window; }

    // The common timer callback: runs the procedure registered under the id, if any.
    static void Dispatch(int id);
    // The procedure registered under an id; null for a free or unknown id.
    static TimerProc* Lookup(int id);
    // The next id the registry would hand out beyond the ones in use.
    static int GetIdBound();
    // How many callbacks have run in this process (the time of the last event).
    static long long GetLastEventTime();

private:
    int m_period = 500;
    int m_id = 0;
    int m_platformId = 0;
    ViewHost* m_window = nullptr;
    int m_running = 0;
};
