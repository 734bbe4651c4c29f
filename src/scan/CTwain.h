#pragma once

#include "scan/SourceEventQueue.h"
#include "scan/TwainDefs.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class Profile;

// The application side of a TWAIN session: tracks the TWAIN state (1 to 7), performs every
// triplet through the source manager's DSM_Entry, and offers hooks for the events of an
// acquisition. TwainTransfers, derived from it, takes the images once the source has them
// ready.
//
// The source manager is the shared library libtwaindsm.so, loaded with dlopen from the folder
// named by the setting "TwainDirectory" when it exists, else from the system's library folders.
// The library, its entry point, the availability outcome and the source's identity are shared
// by every CTwain of the process.
//
// Source events (transfer ready, close requested) come either as answers to DAT_EVENT
// (ProcessSourceMessage, for a shell that has native events to offer) or through the callback
// registered with the source; callback events are queued (any thread may call back) and
// handled on the user-interface thread by DispatchSourceEvents, which the shell calls when the
// queue's notifier wakes it.
//
// Memory: capability containers are heap blocks the program allocates and frees itself.
class CTwain {
public:
    // The states, 1 to 7.
    enum {
        kPreSession = 1,
        kSourceManagerLoaded = 2,
        kSourceManagerOpen = 3,
        kSourceOpen = 4,
        kSourceEnabled = 5,
        kTransferReady = 6,
        kTransferring = 7,
    };
    // Codes of TwainError.
    enum {
        kErrorOpenManager = 0,
        kErrorOpenSource = 1,
        kErrorEnableSource = 2,
        kErrorCapability = 3,
    };

    CTwain();
    virtual ~CTwain();
    CTwain(const CTwain&) = delete;
    CTwain& operator=(const CTwain&) = delete;

    // Process-wide configuration: the settings that may hold "TwainDirectory" (section
    // "Settings"); not owned, may be null. Forgetting the availability outcome makes the next
    // IsTwainAvailable look for the library again (after the setting changed).
    static void SetSettings(const Profile* settings);
    static void ResetAvailability();
    // The queue of callback events; the shell sets its notifier.
    static SourceEventQueue& SourceEvents();
    // Diagnostic traces go to this sink; without one they are discarded.
    static void SetTraceSink(std::function<void(const std::string&)> sink);
    // The identity of the source the process works with (filled by the source manager).
    static const TW_IDENTITY& SourceIdentity();

    // True when the source manager is loaded; otherwise the first call tries to load it and
    // the outcome is remembered.
    bool IsTwainAvailable();

    void SetAppIdentity(int major, int minor, int language, int country,
                        const std::string& versionInfo, const std::string& manufacturer,
                        const std::string& family, const std::string& product);
    const TW_IDENTITY& AppIdentity() const { return m_appIdentity; }
    void SetDefaultWindow(TW_HANDLE window) { m_defaultWindow = window; }
    void SetShowUI(bool show) { m_showUI = show ? 1 : 0; }
    // 0 native, 1 file, 2 memory (TWSX_).
    void SetTransferMechanism(int mechanism) { m_transferMechanism = mechanism; }
    int GetTransferMechanism() const { return m_transferMechanism; }
    int GetState() const { return m_state; }
    std::string GetStateName() const;
    TW_UINT16 GetLastResult() const { return m_lastResult; }
    const TW_PENDINGXFERS& GetPending() const { return m_pending; }

    // Triplets without and with the source as destination; false when the source manager is
    // not loaded or the result is a failure. Both apply the state transitions of the protocol.
    bool CallSourceManager(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    bool CallSource(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    TW_UINT16 GetConditionCode();

    // Offers a native event to the source (DAT_EVENT); answers whether the source consumed
    // it. Handles the transfer-ready and close requests the source answers with.
    bool ProcessSourceMessage(TW_MEMREF event);
    // Handles the callback events waiting in the queue while a source is enabled.
    void PumpPendingMessages();
    // The shell's call on its own thread: handles waiting callback events, and drops the ones
    // that arrived for a source that is no longer enabled.
    void DispatchSourceEvents();

    // Operations along the states; each answers whether its target state was reached.
    bool LoadSourceManager();
    bool OpenSourceManager(TW_HANDLE window = nullptr);
    bool OpenDefaultSource();
    bool EnableSource(TW_HANDLE window = nullptr);
    bool DisableSource();
    bool CloseSource();
    bool CloseSourceManager(TW_HANDLE window = nullptr);
    bool UnloadSourceManager();
    bool EndXfer();
    bool CancelXfers();
    bool DropToState(int target, TW_HANDLE window = nullptr);

    // Lets the user choose the source manager's default source; true when one was confirmed.
    bool SelectSource(TW_HANDLE window = nullptr);
    // Opens and enables the default source (state 5); on failure reports it through
    // TwainError and returns to the state it started in.
    bool BeginAcquire(TW_HANDLE window = nullptr);

    // Sets a capability to one value; state 4 only.
    bool SetCapOneValue(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 value);

protected:
    void SetState(int state);
    // Whether the state reached 7 since ForgetReachedTransferring: tells a transfer that never
    // started from one that did.
    bool ReachedTransferring() const { return m_reachedTransferring; }
    void ForgetReachedTransferring() { m_reachedTransferring = false; }
    // Diagnostic traces, to the sink set with SetTraceSink.
    static void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

    // Hooks, in this order.
    virtual bool NegotiateCapabilities();
    // The source has images ready (state 6): takes them and steps back to the enabled source.
    virtual void DoTransfers(TW_UINT16 message) = 0;
    virtual void CloseSourceRequested();
    virtual void StateChanged(int state);
    virtual void TwainError(int code);
    // Allocates a zero-filled block for a capability container; null when out of memory.
    virtual void* AllocContainer(std::size_t size);

private:
    bool Call(TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    bool IsSuccess(TW_UINT16 dat, TW_UINT16 msg, TW_UINT16 result) const;
    void ApplyTransition(TW_UINT16 dat, TW_UINT16 msg, TW_UINT16 result, TW_MEMREF data);
    void HandleSourceEvent(TW_UINT16 message);
    TW_HANDLE WindowOr(TW_HANDLE window) const { return window ? window : m_defaultWindow; }

    int m_state = kPreSession;
    int m_savedState = kPreSession;
    TW_IDENTITY m_appIdentity{};
    TW_UINT16 m_lastResult = TWRC_SUCCESS;
    TW_USERINTERFACE m_userInterface{};
    int m_showUI = 1;
    TW_PENDINGXFERS m_pending{};
    TW_HANDLE m_defaultWindow = nullptr;
    int m_transferMechanism = TWSX_NATIVE;
    // Set when the state reaches 7, so a transfer that never started can be told apart.
    bool m_reachedTransferring = false;
    bool m_dispatching = false;
};
