#pragma once

#include <string>

// Commands are numbered; the numbers are the program's own (see the command tables of the
// document and the view). The shell maps them onto its menu and toolbar actions.
using CommandId = int;

// What an update handler says of a command: enabled, checked (or the radio mark), and an
// optional replacement text.
struct CommandState {
    bool enabled = true;
    bool checked = false;
    bool radio = false;
    bool checkable = false; // the command is an on/off item, shown with its mark
    std::string text;
    bool textSet = false;

    void Enable(bool on = true) { enabled = on; }
    void SetCheck(bool on = true)
    {
        checkable = true;
        checked = on;
    }
    void SetRadio(bool on = true)
    {
        radio = true;
        checked = on;
    }
    void SetText(const std::string& t)
    {
        text = t;
        textSet = true;
    }
};

// Something commands are routed to: the view, then the document, then the frame, then the
// application. Each answers whether it handled the command.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    virtual bool OnCommand(CommandId id) = 0;
    virtual bool OnUpdateCommand(CommandId id, CommandState& state) = 0;
};
