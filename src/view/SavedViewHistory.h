#pragma once

#include "model/util/SimpleStack.h"
#include "view/SavedView.h"

#include <optional>

// The saved views of an image view, a stack walked with Next and Previous. Previous from a
// view that differs from the top entry first pushes that view as an automatic entry, which
// Next removes again when it leaves it.
class SavedViewHistory {
public:
    // Save View: the entries above the current one go, `current` becomes the top one.
    void Save(const SavedView& current) { Push(current, 0); }
    // Next Saved View: the view to show, or none at the top.
    std::optional<SavedView> Next();
    // Previous Saved View from the view `current`: the view to show, or none.
    std::optional<SavedView> Previous(const SavedView& current);
    bool CanGoNext() const { return m_index < m_views.GetSize() - 1; }
    // Whether Previous can act: an entry below the current one, or `current` differing from
    // the top entry (it is then pushed and the top one shown).
    bool CanGoPrevious(const SavedView& current) const;

    int Count() const { return m_views.GetSize(); }
    int Index() const { return m_index; }
    const SavedView& At(int i) const { return m_views[i]; }

private:
    void Push(SavedView v, int automatic);
    bool TopDiffersFrom(const SavedView& current) const;

    SimpleStack<SavedView> m_views;
    int m_index = -1;
};
