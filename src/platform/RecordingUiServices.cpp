#include "platform/RecordingUiServices.h"

MsgResult RecordingUiServices::MessageBox(const std::string& text, const std::string& caption,
                                          MsgButtons buttons, MsgIcon icon)
{
    messages.push_back({text, caption, buttons, icon});
    if (!messageAnswers.empty()) {
        MsgResult r = messageAnswers.front();
        messageAnswers.pop_front();
        return r;
    }
    return (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel) ? MsgResult::Yes
                                                                                : MsgResult::Ok;
}

void RecordingUiServices::BeginWaitCursor()
{
    ++waitDepth;
    ++waitCalls;
}

void RecordingUiServices::EndWaitCursor()
{
    if (waitDepth > 0)
        --waitDepth;
}

bool RecordingUiServices::SetClipboard(const ClipboardContent& content)
{
    if (!clipboardAvailable)
        return false;
    clipboard = content;
    return true;
}

bool RecordingUiServices::PromptFileName(FilePrompt& prompt)
{
    prompts.push_back(prompt);
    if (promptAnswers.empty())
        return false;
    std::optional<std::string> answer = promptAnswers.front();
    promptAnswers.pop_front();
    if (!answer)
        return false;
    prompt.fileName = *answer;
    return true;
}

void RecordingUiServices::SetStatusPane(int pane, const std::string& text)
{
    panes[pane] = text;
    paneHistory.emplace_back(pane, text);
}

int RecordingUiServices::StartTimer(int periodMs, std::function<void()> callback)
{
    int id = nextTimerId++;
    timers[id] = Timer{periodMs, std::move(callback)};
    return id;
}

void RecordingUiServices::KillTimer(int id)
{
    timers.erase(id);
}

bool RecordingUiServices::FireTimer(int id)
{
    auto it = timers.find(id);
    if (it == timers.end())
        return false;
    // The callback may kill its own timer: call a copy.
    std::function<void()> callback = it->second.callback;
    callback();
    return true;
}
