#pragma once

#include "platform/UiServices.h"

#include <deque>
#include <map>
#include <set>

// The test double of UiServices: records every call, answers message boxes and file
// prompts from scripted queues, holds key states set by the test, and runs timers only
// when the test fires them.
class RecordingUiServices : public UiServices {
public:
    struct Message {
        std::string text;
        std::string caption;
        MsgButtons buttons;
        MsgIcon icon;
    };
    struct Timer {
        int periodMs;
        std::function<void()> callback;
    };

    MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    bool SetClipboard(const ClipboardContent& content) override;
    ClipboardContent GetClipboard() override { return clipboard; }
    bool ClipboardHasBitmap() override { return clipboard.dib.has_value(); }
    bool PromptFileName(FilePrompt& prompt) override;
    void SetStatusPane(int pane, const std::string& text) override;
    void SetCursor(CursorShape shape) override { cursors.push_back(shape); }
    bool IsKeyDown(KeyCode key) override { return keysDown.count(key) != 0; }
    int StartTimer(int periodMs, std::function<void()> callback) override;
    void KillTimer(int id) override;

    // Runs one tick of a running timer; false when the id is not running.
    bool FireTimer(int id);
    const Message* LastMessage() const { return messages.empty() ? nullptr : &messages.back(); }

    // Recorded calls and scripted answers, open to the tests.
    std::vector<Message> messages;
    std::deque<MsgResult> messageAnswers; // default answer: Ok (Yes for yes/no boxes)
    int waitDepth = 0;
    int waitCalls = 0;
    ClipboardContent clipboard;
    bool clipboardAvailable = true;
    std::vector<FilePrompt> prompts;
    // Each scripted answer is the file name chosen; an empty optional cancels.
    std::deque<std::optional<std::string>> promptAnswers;
    std::map<int, std::string> panes;
    std::vector<std::pair<int, std::string>> paneHistory;
    std::vector<CursorShape> cursors;
    std::set<KeyCode> keysDown;
    std::map<int, Timer> timers;
    int nextTimerId = 1;
};
