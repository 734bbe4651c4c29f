#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Buttons and icons of a message box, and its answers.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgResult { Ok, Cancel, Yes, No, Retry };

// Cursor shapes: the system's and the program's own.
enum class CursorShape {
    Arrow,
    Wait,
    Cross,
    IBeam,
    SizeAll,
    SizeNS,
    SizeWE,
    SizeNWSE,
    SizeNESW,
    No,
    Hand,
    ProgramCross,
    Rotate,
    ZoomIn,
    ZoomOut,
    Pan,
};

// Keys whose state can be asked at any time.
enum class KeyCode { Shift, Control, Alt, Space, LeftButton, RightButton, Z, X };

// A file prompt: filters as "Description|*.ext;*.ext2" entries, 1-based filter index.
struct FilePrompt {
    bool save = false;
    std::string title;
    std::vector<std::string> filters;
    int filterIndex = 1;
    std::string fileName;
    std::string defaultExtension;
};

// The clipboard's contents as the program exchanges them: text, and a packed bitmap
// (header, colour table, pixels) as the device-independent bitmap format holds it.
struct ClipboardContent {
    std::optional<std::string> text;
    std::optional<std::vector<std::uint8_t>> dib;
};

// What the program asks of its desktop: implemented with Qt by the desktop program, on
// standard error by kurvo-cli, and by RecordingUiServices in tests.
class UiServices {
public:
    virtual ~UiServices() = default;

    virtual MsgResult MessageBox(const std::string& text, const std::string& caption = "Kurvo",
                                 MsgButtons buttons = MsgButtons::Ok,
                                 MsgIcon icon = MsgIcon::Warning) = 0;

    // Nested: the wait cursor shows until every Begin has its End.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    // Replaces the clipboard's contents with the given formats; false when it cannot.
    virtual bool SetClipboard(const ClipboardContent& content) = 0;
    virtual ClipboardContent GetClipboard() = 0;
    virtual bool ClipboardHasBitmap() = 0;

    // Asks for a file name; false when the user cancelled.
    virtual bool PromptFileName(FilePrompt& prompt) = 0;

    // Status-bar panes, 0 the message pane.
    virtual void SetStatusPane(int pane, const std::string& text) = 0;

    virtual void SetCursor(CursorShape shape) = 0;
    virtual bool IsKeyDown(KeyCode key) = 0;

    // Repeating timers: the callback runs every period until the timer is killed.
    virtual int StartTimer(int periodMs, std::function<void()> callback) = 0;
    virtual void KillTimer(int id) = 0;
};

// The services of this process. Never null: a headless implementation answers until
// the program installs its own.
UiServices& GetUiServices();
// Installs services (not owned); null puts the headless implementation back.
void SetUiServices(UiServices* services);

// Keeps the wait cursor up for the lifetime of the object.
class WaitCursor {
public:
    WaitCursor() { GetUiServices().BeginWaitCursor(); }
    ~WaitCursor() { GetUiServices().EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
