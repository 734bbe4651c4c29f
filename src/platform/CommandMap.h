#pragma once

#include "platform/Command.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

// The commands of one command target as a single table: each row names a command (or a
// run of consecutive ids), what it does, and what its update says (enabled, checked). A
// row without an update is always enabled; a row without a handler is answered for but
// not handled. The target's OnCommand and OnUpdateCommand look their command up here, so
// a new command is one new row.
template <class Target> class CommandMap {
public:
    using Handler = void (*)(Target&, CommandId);
    using Updater = void (*)(Target&, CommandId, CommandState&);

    struct Row {
        CommandId id;
        Handler run = nullptr;
        Updater update = nullptr;
        int count = 1;
    };

    CommandMap(std::initializer_list<Row> rows) : m_rows(rows) {}

    const Row* Find(CommandId id) const
    {
        auto it = std::find_if(m_rows.begin(), m_rows.end(), [id](const Row& row) {
            return id >= row.id && id < row.id + row.count;
        });
        return it == m_rows.end() ? nullptr : &*it;
    }

    // Runs the command; false when the table has no handler for it.
    bool Run(Target& target, CommandId id) const
    {
        const Row* row = Find(id);
        if (!row || !row->run)
            return false;
        row->run(target, id);
        return true;
    }

    // Fills the command's state; false when the table does not know the command.
    bool Update(Target& target, CommandId id, CommandState& state) const
    {
        const Row* row = Find(id);
        if (!row)
            return false;
        if (row->update)
            row->update(target, id, state);
        return true;
    }

private:
    std::vector<Row> m_rows;
};
