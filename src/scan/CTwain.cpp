#include "scan/CTwain.h"

#include "platform/Profile.h"
#include "platform/UiServices.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

const char kLibraryName[] = "libtwaindsm.so";
// Runtime packages often carry only the versioned name.
const char kVersionedLibraryName[] = "libtwaindsm.so.2";

// Shared by every CTwain of the process.
void* s_library = nullptr;
DSMENTRYPROC s_entry = nullptr;
int s_available = 0; // 0 not yet tested, 1 available, -1 not available
TW_IDENTITY s_source{};
const Profile* s_settings = nullptr;
std::function<void(const std::string&)> s_traceSink;

SourceEventQueue& EventQueue()
{
    static SourceEventQueue queue;
    return queue;
}

// Copies at most 32 characters into a 34-byte text field, always terminated.
void CopyText(TW_STR32& field, const std::string& text)
{
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text.data(), std::min<std::size_t>(text.size(), 32));
}

const char* ConditionCodeName(TW_UINT16 cc)
{
    static const char* const names[] = {
        "TWCC_SUCCESS",         "TWCC_BUMMER",
        "TWCC_LOWMEMORY",       "TWCC_NODS",
        "TWCC_MAXCONNECTIONS",  "TWCC_OPERATIONERROR",
        "TWCC_BADCAP",          "<bad cc:7>",
        "<bad cc:8>",           "TWCC_BADPROTOCOL",
        "TWCC_BADVALUE",        "TWCC_SEQERROR",
        "TWCC_BADDEST",         "TWCC_CAPUNSUPPORTED",
        "TWCC_CAPBADOPERATION", "TWCC_CAPSEQERROR",
        "TWCC_DENIED",          "TWCC_FILEEXISTS",
        "TWCC_FILENOTFOUND",    "TWCC_NOTEMPTY",
        "TWCC_PAPERJAM",        "TWCC_PAPERDOUBLEFEED",
        "TWCC_FILEWRITEERROR",  "TWCC_CHECKDEVICEONLINE",
    };
    return cc < sizeof names / sizeof names[0] ? names[cc] : "<unknown cc>";
}

const char* ReturnCodeName(TW_UINT16 rc)
{
    static const char* const names[] = {
        "TWRC_SUCCESS",          "TWRC_FAILURE",          "TWRC_CHECKSTATUS", "TWRC_CANCEL",
        "TWRC_DSEVENT",          "TWRC_NOTDSEVENT",       "TWRC_XFERDONE",    "TWRC_ENDOFLIST",
        "TWRC_INFONOTSUPPORTED", "TWRC_DATANOTAVAILABLE",
    };
    return rc < sizeof names / sizeof names[0] ? names[rc] : "<unknown rc>";
}

// The callback the source manager calls for the source: events are only queued here.
extern "C" TW_UINT16 TwainSourceCallback(TW_IDENTITY*, TW_IDENTITY*, TW_UINT32, TW_UINT16,
                                         TW_UINT16 msg, TW_MEMREF)
{
    if (msg == MSG_XFERREADY || msg == MSG_CLOSEDSREQ)
        EventQueue().Push(msg);
    return TWRC_SUCCESS;
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

CTwain::CTwain()
{
    m_appIdentity.Version.MajorNum = 1;
    m_appIdentity.Version.MinorNum = 0;
    m_appIdentity.Version.Language = TWLG_USA;
    m_appIdentity.Version.Country = TWCY_USA;
    CopyText(m_appIdentity.Version.Info, "1.0");
    m_appIdentity.ProtocolMajor = TWON_PROTOCOLMAJOR;
    m_appIdentity.ProtocolMinor = TWON_PROTOCOLMINOR;
    m_appIdentity.SupportedGroups = DG_CONTROL | DG_IMAGE;
}

CTwain::~CTwain() = default;

void CTwain::SetSettings(const Profile* settings)
{
    s_settings = settings;
}

void CTwain::ResetAvailability()
{
    s_available = 0;
}

SourceEventQueue& CTwain::SourceEvents()
{
    return EventQueue();
}

void CTwain::SetTraceSink(std::function<void(const std::string&)> sink)
{
    s_traceSink = std::move(sink);
}

const TW_IDENTITY& CTwain::SourceIdentity()
{
    return s_source;
}

void CTwain::Trace(const char* format, ...)
{
    if (!s_traceSink)
        return;
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    s_traceSink(buffer);
}

bool CTwain::IsTwainAvailable()
{
    if (s_entry)
        return true;
    if (s_available == 0)
        LoadSourceManager();
    return s_available > 0;
}

void CTwain::SetAppIdentity(int major, int minor, int language, int country,
                            const std::string& versionInfo, const std::string& manufacturer,
                            const std::string& family, const std::string& product)
{
    m_appIdentity.Id = 0;
    m_appIdentity.Version.MajorNum = static_cast<TW_UINT16>(major);
    m_appIdentity.Version.MinorNum = static_cast<TW_UINT16>(minor);
    m_appIdentity.Version.Language = static_cast<TW_UINT16>(language);
    m_appIdentity.Version.Country = static_cast<TW_UINT16>(country);
    CopyText(m_appIdentity.Version.Info, versionInfo);
    m_appIdentity.ProtocolMajor = TWON_PROTOCOLMAJOR;
    m_appIdentity.ProtocolMinor = TWON_PROTOCOLMINOR;
    m_appIdentity.SupportedGroups = DG_CONTROL | DG_IMAGE;
    CopyText(m_appIdentity.Manufacturer, manufacturer);
    CopyText(m_appIdentity.ProductFamily, family);
    CopyText(m_appIdentity.ProductName, product);
}

std::string CTwain::GetStateName() const
{
    static const char* const names[] = {
        "",
        "1(PRE_SESSION)",
        "2(SOURCE_MANAGER_LOADED)",
        "3(SOURCE_MANAGER_OPEN)",
        "4(SOURCE_OPEN)",
        "5(SOURCE_ENABLED)",
        "6(TRANSFER_READY)",
        "7(TRANSFERRING)",
    };
    if (m_state < 1 || m_state > 7)
        return "";
    return names[m_state];
}

void CTwain::SetState(int state)
{
    if (state == kTransferring)
        m_reachedTransferring = true;
    if (state != m_state) {
        m_state = state;
        StateChanged(state);
    }
}

// ---- triplets

bool CTwain::CallSourceManager(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
{
    return Call(nullptr, dg, dat, msg, data);
}

bool CTwain::CallSource(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
{
    return Call(&s_source, dg, dat, msg, data);
}

bool CTwain::Call(TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
{
    if (!s_entry)
        return false;
    m_lastResult = s_entry(&m_appIdentity, dest, dg, dat, msg, data);
    bool ok = IsSuccess(dat, msg, m_lastResult);
    if (!ok && dat != DAT_STATUS && dat != DAT_EVENT) {
        // The condition code is only wanted for the trace; the caller still sees this
        // triplet's result.
        TW_UINT16 result = m_lastResult;
        TW_UINT16 cc = GetConditionCode();
        m_lastResult = result;
        Trace("TWAIN:triplet %lu/%u/%u answered %s, %s\n", static_cast<unsigned long>(dg),
              unsigned(dat), unsigned(msg), ReturnCodeName(result), ConditionCodeName(cc));
    }
    ApplyTransition(dat, msg, m_lastResult, data);
    return ok;
}

bool CTwain::IsSuccess(TW_UINT16 dat, TW_UINT16 msg, TW_UINT16 result) const
{
    if (result == TWRC_SUCCESS)
        return true;
    if (dat == DAT_USERINTERFACE && msg == MSG_ENABLEDS)
        return result == TWRC_CHECKSTATUS;
    if ((dat == DAT_IMAGENATIVEXFER || dat == DAT_IMAGEFILEXFER || dat == DAT_IMAGEMEMXFER) &&
        msg == MSG_GET)
        return result == TWRC_XFERDONE;
    return false;
}

void CTwain::ApplyTransition(TW_UINT16 dat, TW_UINT16 msg, TW_UINT16 result, TW_MEMREF data)
{
    bool ok = IsSuccess(dat, msg, result);
    switch (dat) {
    case DAT_PARENT:
        if (ok && msg == MSG_OPENDSM)
            SetState(kSourceManagerOpen);
        else if (ok && msg == MSG_CLOSEDSM)
            SetState(kSourceManagerLoaded);
        break;
    case DAT_IDENTITY:
        if (ok && msg == MSG_OPENDS)
            SetState(kSourceOpen);
        else if (ok && msg == MSG_CLOSEDS)
            SetState(kSourceManagerOpen);
        break;
    case DAT_USERINTERFACE:
        if (ok && msg == MSG_ENABLEDS)
            SetState(kSourceEnabled);
        else if (ok && msg == MSG_DISABLEDS)
            SetState(kSourceOpen);
        break;
    case DAT_EVENT:
        if (msg == MSG_PROCESSEVENT && data) {
            TW_UINT16 event = static_cast<TW_EVENT*>(data)->TWMessage;
            if (event == MSG_XFERREADY)
                SetState(kTransferReady);
            else if (event == MSG_CLOSEDSREQ)
                SetState(kSourceEnabled);
        }
        break;
    case DAT_IMAGENATIVEXFER:
    case DAT_IMAGEFILEXFER:
    case DAT_IMAGEMEMXFER:
        if (msg == MSG_GET && (ok || result == TWRC_CANCEL))
            SetState(kTransferring);
        break;
    case DAT_PENDINGXFERS:
        if (msg == MSG_ENDXFER) {
            if (ok) {
                TW_UINT16 count = data ? static_cast<TW_PENDINGXFERS*>(data)->Count : 0;
                SetState(count != 0 ? kTransferReady : kSourceEnabled);
            } else if (m_state == kTransferReady || m_state == kTransferring) {
                SetState(kSourceEnabled);
            }
        } else if (msg == MSG_RESET && ok) {
            SetState(kSourceEnabled);
        }
        break;
    default:
        break;
    }
}

TW_UINT16 CTwain::GetConditionCode()
{
    if (m_state < kSourceManagerOpen)
        return TWCC_SEQERROR;
    TW_STATUS status{};
    bool ok = m_state == kSourceManagerOpen
                  ? CallSourceManager(DG_CONTROL, DAT_STATUS, MSG_GET, &status)
                  : CallSource(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
    return ok ? status.ConditionCode : TWCC_BUMMER;
}

// ---- events

bool CTwain::ProcessSourceMessage(TW_MEMREF event)
{
    if (m_state <= kSourceOpen)
        return false;
    TW_EVENT twEvent{};
    twEvent.pEvent = event;
    twEvent.TWMessage = MSG_NULL;
    CallSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &twEvent);
    bool consumed = m_lastResult == TWRC_DSEVENT;
    switch (twEvent.TWMessage) {
    case MSG_XFERREADY:
        DoTransfers(twEvent.TWMessage);
        break;
    case MSG_CLOSEDSREQ:
        CloseSourceRequested();
        break;
    default:
        break;
    }
    return consumed;
}

void CTwain::HandleSourceEvent(TW_UINT16 message)
{
    // The same transitions and hooks as an event the source answers through DAT_EVENT.
    if (message == MSG_XFERREADY) {
        SetState(kTransferReady);
        DoTransfers(message);
    } else if (message == MSG_CLOSEDSREQ) {
        SetState(kSourceEnabled);
        CloseSourceRequested();
    }
}

void CTwain::PumpPendingMessages()
{
    TW_UINT16 message = MSG_NULL;
    while (m_state > kSourceOpen && EventQueue().Pop(message))
        HandleSourceEvent(message);
}

void CTwain::DispatchSourceEvents()
{
    // A hook that runs a modal loop (a message box) may bring the shell back here while
    // events are being handled; the outer call goes on taking them in order.
    if (m_dispatching)
        return;
    m_dispatching = true;
    PumpPendingMessages();
    m_dispatching = false;
    // What is left arrived for a source that is no longer enabled.
    if (m_state <= kSourceOpen)
        EventQueue().Clear();
}

// ---- operations along the states

bool CTwain::LoadSourceManager()
{
    if (m_state >= kSourceManagerLoaded)
        return true;
    if (s_entry) {
        SetState(kSourceManagerLoaded);
        return true;
    }
    std::string path;
    if (s_settings && s_settings->HasKey("Settings", "TwainDirectory")) {
        std::string dir = s_settings->GetString("Settings", "TwainDirectory", "");
        if (!dir.empty() && dir.back() != '/')
            dir += '/';
        path = dir + kLibraryName;
        if (!FileExists(path)) {
            Trace("TWAIN:LoadLibrary(%s) failed\n", path.c_str());
            Trace("TWAIN:LoadSourceManager() failed.\n");
            s_available = -1;
            return false;
        }
    }
    void* library = nullptr;
    if (!path.empty()) {
        library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    } else {
        path = kLibraryName;
        library = ::dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            path = kVersionedLibraryName;
            library = ::dlopen(kVersionedLibraryName, RTLD_NOW | RTLD_LOCAL);
        }
    }
    if (!library) {
        Trace("TWAIN:LoadLibrary(%s) failed\n", path.c_str());
        Trace("TWAIN:LoadSourceManager() failed.\n");
        s_available = -1;
        return false;
    }
    void* symbol = ::dlsym(library, "DSM_Entry");
    if (!symbol) {
        Trace("TWAIN:GetProcAddress() failed!!\n");
        ::dlclose(library);
        Trace("TWAIN:LoadSourceManager() failed.\n");
        s_available = -1;
        return false;
    }
    s_library = library;
    s_entry = reinterpret_cast<DSMENTRYPROC>(symbol);
    s_available = 1;
    SetState(kSourceManagerLoaded);
    return true;
}

bool CTwain::OpenSourceManager(TW_HANDLE window)
{
    if (m_state < kSourceManagerLoaded && !LoadSourceManager())
        return false;
    if (m_state == kSourceManagerLoaded) {
        TW_HANDLE parent = WindowOr(window);
        if (!CallSourceManager(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent))
            Trace("TWAIN:OPENDSM failed.\n");
    }
    return m_state >= kSourceManagerOpen;
}

bool CTwain::OpenDefaultSource()
{
    if (m_state != kSourceManagerOpen)
        return m_state == kSourceOpen;
    s_source.ProductName[0] = '\0';
    s_source.Id = 0;
    if (!CallSourceManager(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &s_source)) {
        Trace("TWAIN:OPENDS failed.\n");
        return false;
    }
    s_source.ProductName[sizeof s_source.ProductName - 1] = '\0';
    EventQueue().Clear();
    // Sources that call back announce their events that way; the others answer DAT_EVENT, so
    // a refusal here is no failure.
    TW_CALLBACK callback{};
    callback.CallBackProc = reinterpret_cast<TW_MEMREF>(&TwainSourceCallback);
    TW_UINT16 result = m_lastResult;
    CallSource(DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, &callback);
    m_lastResult = result;
    return m_state == kSourceOpen;
}

bool CTwain::EnableSource(TW_HANDLE window)
{
    if (m_state != kSourceOpen) {
        Trace("TWAIN:**WARNING** EnableSource() in wrong state\n");
        return false;
    }
    SetCapOneValue(ICAP_XFERMECH, TWTY_UINT16, static_cast<TW_UINT32>(m_transferMechanism));
    m_userInterface.ShowUI = m_showUI ? 1 : 0;
    m_userInterface.ModalUI = 0;
    m_userInterface.hParent = WindowOr(window);
    if (!CallSource(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &m_userInterface))
        Trace("TWAIN:EnableSource failed.\n");
    return m_state == kSourceEnabled;
}

bool CTwain::DisableSource()
{
    // Raising the parent window is the shell's affair on this platform.
    if (m_state == kSourceEnabled) {
        if (!CallSource(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &m_userInterface))
            Trace("TWAIN:DisableSource failed.\n");
    }
    return m_state < kSourceEnabled;
}

bool CTwain::CloseSource()
{
    m_lastResult = TWRC_SUCCESS;
    if (m_state == kSourceEnabled)
        DisableSource();
    if (m_state == kSourceOpen) {
        if (!CallSource(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &s_source))
            Trace("TWAIN:CloseSource failed.\n");
        else
            EventQueue().Clear();
    }
    return m_state < kSourceOpen;
}

bool CTwain::CloseSourceManager(TW_HANDLE window)
{
    CloseSource();
    if (m_state > kSourceManagerLoaded) {
        TW_HANDLE parent = WindowOr(window);
        if (!CallSourceManager(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent))
            Trace("TWAIN:CLOSEDSM failed.\n");
    }
    return m_state < kSourceManagerOpen;
}

bool CTwain::UnloadSourceManager()
{
    m_lastResult = TWRC_SUCCESS;
    if (m_state == kSourceManagerLoaded) {
        if (s_library)
            ::dlclose(s_library);
        s_library = nullptr;
        s_entry = nullptr;
        SetState(kPreSession);
    }
    return m_state == kPreSession;
}

bool CTwain::EndXfer()
{
    if (m_state == kTransferring) {
        if (!CallSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &m_pending))
            Trace("TWAIN:EndXfer failed.\n");
    } else {
        Trace("TWAIN:**WARNING** EndXfer in wrong state\n");
    }
    return m_state < kTransferring;
}

bool CTwain::CancelXfers()
{
    EndXfer();
    if (m_state == kTransferReady) {
        if (!CallSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &m_pending))
            Trace("TWAIN:CancelXfers failed.\n");
    }
    return m_state < kTransferReady;
}

bool CTwain::DropToState(int target, TW_HANDLE window)
{
    while (m_state > target) {
        bool ok = false;
        switch (m_state) {
        case kTransferring:
            ok = EndXfer();
            break;
        case kTransferReady:
            ok = CancelXfers();
            break;
        case kSourceEnabled:
            ok = DisableSource();
            break;
        case kSourceOpen:
            ok = CloseSource();
            break;
        case kSourceManagerOpen:
            ok = CloseSourceManager(window);
            break;
        case kSourceManagerLoaded:
            ok = UnloadSourceManager();
            break;
        default:
            return false;
        }
        if (!ok)
            return false;
    }
    return true;
}

bool CTwain::SelectSource(TW_HANDLE window)
{
    int remembered = m_state;
    bool chosen = false;
    if (OpenSourceManager(window)) {
        TW_IDENTITY identity{};
        if (!CallSourceManager(DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &identity))
            identity = TW_IDENTITY{};
        chosen = CallSourceManager(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &identity);
    } else {
        TwainError(kErrorOpenManager);
    }
    DropToState(remembered, window);
    return chosen;
}

bool CTwain::BeginAcquire(TW_HANDLE window)
{
    if (m_state > kSourceOpen)
        return true;
    m_savedState = m_state;
    bool ok = true;
    if (m_state < kSourceManagerOpen && !OpenSourceManager(window)) {
        TwainError(kErrorOpenManager);
        ok = false;
    } else if (m_state < kSourceOpen && !(OpenDefaultSource() && NegotiateCapabilities())) {
        TwainError(kErrorOpenSource);
        ok = false;
    } else if (m_state != kSourceOpen || !EnableSource(window)) {
        TwainError(kErrorEnableSource);
        ok = false;
    }
    if (!ok) {
        DropToState(m_savedState, window);
        return false;
    }
    return true;
}

bool CTwain::SetCapOneValue(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 value)
{
    if (m_state != kSourceOpen) {
        TwainError(kErrorCapability);
        return false;
    }
    void* container = nullptr;
    while (!(container = AllocContainer(sizeof(TW_ONEVALUE)))) {
        MsgResult answer =
            GetUiServices().MessageBox("Internal error while preparing for TWAIN acquire.", "Kurvo",
                                       MsgButtons::RetryCancel, MsgIcon::Warning);
        if (answer != MsgResult::Retry)
            return false;
    }
    TW_ONEVALUE one{};
    one.ItemType = itemType;
    one.Item = value;
    std::memcpy(container, &one, sizeof one);
    TW_CAPABILITY capability{};
    capability.Cap = cap;
    capability.ConType = TWON_ONEVALUE;
    capability.hContainer = container;
    bool ok = CallSource(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &capability);
    std::free(container);
    return ok;
}

// ---- default hooks

bool CTwain::NegotiateCapabilities()
{
    return true;
}

void CTwain::CloseSourceRequested()
{
    CloseSource();
}

void CTwain::StateChanged(int)
{
}

void CTwain::TwainError(int)
{
}

void* CTwain::AllocContainer(std::size_t size)
{
    return std::calloc(1, size);
}
