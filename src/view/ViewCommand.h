#pragma once

#include "platform/Command.h"

class CKurvoView;

// One command of the image view: what it does and when it is offered. The view's commands
// are one table of these; a new view command is one more row.
struct ViewCommand {
    CommandId id;
    void (*run)(CKurvoView& view);
    void (*update)(CKurvoView& view, CommandState& state);

    // The row of `id`, or null for a command the view does not handle.
    static const ViewCommand* Find(CommandId id);
};
