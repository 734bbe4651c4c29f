#pragma once

#include "platform/Command.h"

#include <string>
#include <vector>

// What the shell shows for the commands, toolkit-free: the prompt and tool tip of each
// command, the keyboard accelerators, the two menu bars, the toolbars and the bar menu.
class CommandTable {
public:
    struct MenuItem {
        enum Kind { Command, Separator, Popup, RecentFiles };
        Kind kind = Command;
        std::string text; // may carry "\t" and the accelerator's name
        CommandId id = 0;
        std::vector<MenuItem> items; // for a popup
    };

    struct Accelerator {
        CommandId id;
        std::string keys; // "Ctrl+N", "Shift+F1", ...
    };

    struct Toolbar {
        CommandId barId; // also the command that shows or hides it
        std::string title;
        std::vector<CommandId> buttons; // 0 is a separator
    };

    // The string-table entry of a command: "prompt\ntool tip", or empty when it has none.
    static std::string Text(CommandId id);
    // The status-bar prompt: the part before the newline.
    static std::string Prompt(CommandId id);
    // The tool tip: the part after the newline; empty when the entry has none.
    static std::string ToolTip(CommandId id);

    static const std::vector<Accelerator>& Accelerators();
    // The menu bar while no document is open, and the one of a document window.
    static const std::vector<MenuItem>& NoDocumentMenu();
    static const std::vector<MenuItem>& DocumentMenu();
    // Standard, View, Digitize, Data Sets, in their docking order.
    static const std::vector<Toolbar>& Toolbars();
    // The right-click menu over the bars.
    static const std::vector<MenuItem>& BarMenu();
    // Name of the icon of a toolbar button ("zoom-in"); empty when it has none.
    static std::string IconName(CommandId id);
};
