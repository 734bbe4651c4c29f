#include "document/CommandTable.h"
#include "platform/CommandIds.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using MenuItem = CommandTable::MenuItem;

void CollectIds(const std::vector<MenuItem>& items, std::vector<CommandId>& ids)
{
    for (const MenuItem& item : items) {
        if (item.kind == MenuItem::Command)
            ids.push_back(item.id);
        else if (item.kind == MenuItem::Popup)
            CollectIds(item.items, ids);
    }
}

std::vector<std::string> Titles(const std::vector<MenuItem>& bar)
{
    std::vector<std::string> titles;
    for (const MenuItem& item : bar)
        titles.push_back(item.text);
    return titles;
}

TEST(CommandTable, PromptAndToolTipSplitAtTheNewline)
{
    EXPECT_EQ(CommandTable::Prompt(ID_VIEW_ZOOMIN), "Zoom in on the window data");
    EXPECT_EQ(CommandTable::ToolTip(ID_VIEW_ZOOMIN), "Zoom In");
    EXPECT_EQ(CommandTable::Text(ID_EDIT_OPTIONS),
              "Change the default user defined options\nOptions");
    // An entry without a newline has no tool tip.
    EXPECT_EQ(CommandTable::Prompt(ID_FILE_MRU_FILE1), "Open this document");
    EXPECT_EQ(CommandTable::ToolTip(ID_FILE_MRU_FILE1), "");
    EXPECT_EQ(CommandTable::Prompt(12345), "");
    EXPECT_EQ(CommandTable::ToolTip(12345), "");
}

TEST(CommandTable, MenuBarsHaveTheirMenus)
{
    EXPECT_EQ(Titles(CommandTable::NoDocumentMenu()),
              (std::vector<std::string>{"&File", "&View", "&Help"}));
    EXPECT_EQ(Titles(CommandTable::DocumentMenu()),
              (std::vector<std::string>{"&File", "&Edit", "&View", "&Image", "&Window", "&Help"}));
}

// Every menu and toolbar command has a prompt; toolbar buttons (but the set selector, a
// combo box) have a tool tip and an icon as well.
TEST(CommandTable, EveryMenuAndToolbarCommandHasAPrompt)
{
    std::vector<CommandId> ids;
    CollectIds(CommandTable::NoDocumentMenu(), ids);
    CollectIds(CommandTable::DocumentMenu(), ids);
    CollectIds(CommandTable::BarMenu(), ids);
    for (const auto& bar : CommandTable::Toolbars())
        for (CommandId id : bar.buttons) {
            if (id == 0)
                continue;
            ids.push_back(id);
            if (id != ID_DATA_SELECT_SET) {
                EXPECT_FALSE(CommandTable::ToolTip(id).empty()) << id;
                EXPECT_FALSE(CommandTable::IconName(id).empty()) << id;
            }
        }
    ASSERT_GT(ids.size(), 60u);
    for (CommandId id : ids)
        EXPECT_FALSE(CommandTable::Prompt(id).empty()) << id;
}

TEST(CommandTable, EveryAcceleratorKeyIsBoundOnce)
{
    std::set<std::string> keys;
    for (const auto& acc : CommandTable::Accelerators())
        EXPECT_TRUE(keys.insert(acc.keys).second) << acc.keys;
    EXPECT_EQ(keys.size(), 18u);
}

// The key named after the tab of a menu text must be one the accelerators really bind to
// the same command, or the menu would promise a key that does nothing.
TEST(CommandTable, MenuShortcutTextsMatchTheAccelerators)
{
    std::vector<const MenuItem*> stack;
    std::function<void(const std::vector<MenuItem>&)> walk =
        [&](const std::vector<MenuItem>& items) {
            for (const MenuItem& item : items) {
                if (item.kind == MenuItem::Popup) {
                    walk(item.items);
                    continue;
                }
                std::size_t tab = item.text.find('\t');
                if (tab == std::string::npos)
                    continue;
                std::string keys = item.text.substr(tab + 1);
                bool found = false;
                for (const auto& acc : CommandTable::Accelerators())
                    found = found || (acc.id == item.id && acc.keys == keys);
                EXPECT_TRUE(found) << item.text;
            }
        };
    walk(CommandTable::NoDocumentMenu());
    walk(CommandTable::DocumentMenu());
}

TEST(CommandTable, ToolbarsInDockingOrder)
{
    const auto& bars = CommandTable::Toolbars();
    std::vector<std::string> titles;
    for (const auto& bar : bars)
        titles.push_back(bar.title);
    ASSERT_EQ(titles, (std::vector<std::string>{"Standard", "View", "Digitize", "Data Sets"}));
    EXPECT_EQ(bars[2].buttons, (std::vector<CommandId>{32778, 32795, 32773, 0, 32774}));
    EXPECT_EQ(bars[1].buttons, (std::vector<CommandId>{32771, 32772, 32775, 32777, 32823}));
}

TEST(CommandTable, BarMenuTogglesEveryBar)
{
    std::vector<CommandId> ids;
    CollectIds(CommandTable::BarMenu(), ids);
    EXPECT_EQ(ids, (std::vector<CommandId>{32847, 32874, 32848, 32857, 32869}));
}

} // namespace
