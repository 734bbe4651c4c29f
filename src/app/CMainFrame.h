#pragma once

#include "document/CommandTable.h"
#include "platform/Command.h"
#include "scan/ScannerCommands.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CChildFrame;
template <class Target> class CommandMap;
class CDataSetsBar;
class ExtractPanel;
class DataSetsBox;
class Profile;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class RecentFileList;

// The main window: the work area with the document windows, the menus (one while no
// document is open, one for document windows), the four toolbars, the six-pane status bar
// and the saved placement. Menu, toolbar and accelerator commands are routed to the active
// view, then its document, then this frame, then the application.
class CMainFrame : public QMainWindow, public CommandTarget {
    Q_OBJECT
public:
    static constexpr int kPaneCount = 8;

    explicit CMainFrame(Profile& profile, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The application: the last target of every command.
    void SetAppTarget(CommandTarget* app) { m_app = app; }
    // The list shown as the recent-file entries of the File menu (not owned).
    void SetRecentFiles(const RecentFileList* recent) { m_recent = recent; }
    // Files dropped on the frame are handed here one by one; without a handler drops are
    // refused.
    void SetDropHandler(std::function<void(const std::string&)> handler)
    {
        m_dropHandler = std::move(handler);
        setAcceptDrops(static_cast<bool>(m_dropHandler));
    }
    // The floating attribute window (not owned); Attribute List shows and hides it.
    void SetAttributeWindow(QWidget* window);

    // Shows the window at its saved placement; without one (or with a malformed one) the
    // show command decides alone. showCmd is one of WindowPlacement's show commands.
    void ShowWithPlacement(unsigned showCmd);
    // Writes the current placement as "WindowPos".
    void SavePlacement();

    // Puts a document window into the work area: maximized when it is the first, or when
    // the active one is maximized.
    QMdiSubWindow* AddChildFrame(CChildFrame* child);
    // The active document window, or null.
    CChildFrame* ActiveChild() const;
    QMdiArea* MdiArea() const { return m_mdi; }

    // Sends a command along the route; false when nobody handled it.
    bool RouteCommand(CommandId id);
    // Asks the route for a command's state; a command nobody answers for is disabled.
    CommandState QueryCommand(CommandId id);
    // Brings every menu, toolbar and accelerator action up to date.
    void UpdateCommandUI();
    // Asks for UpdateCommandUI once the current event is handled; called wherever a
    // command's state may have changed.
    void RequestCommandUpdate();

    // Status-bar panes: 0 the message pane, 2 the points, 4 and 5 the image values.
    void SetPaneText(int pane, const QString& text);
    QLabel* Pane(int pane) const;

    QToolBar* Bar(CommandId barId) const;
    // The Data Sets bar and its list of the active document's sets.
    CDataSetsBar* DataSetsBar() const { return m_dataSetsBar; }
    DataSetsBox* SetsBox() const { return m_dataSetsBox; }

    // The scanner connection: Scanner Select Source, Scanner Acquire and Close Twain. Each
    // image it delivers goes to the handler, which makes a new document of it.
    ScannerCommands& Scanner() { return *m_scanner; }
    void SetScannedImageHandler(ScannerCommands::NewDocumentHandler handler);

    // The user guide (Help Topics, F1); created on first use.
    void ShowHelp();
    QWidget* Guide() const { return m_help; }
    // The right-click bar menu and whether a position (frame coordinates) is over a bar.
    QMenu* BarMenu() const { return m_barMenu; }
    bool IsOverBar(const QPoint& pos) const;
    // The menus of the bar currently shown (no document / document).
    bool ShowsDocumentMenu() const { return m_documentMenuShown; }
    // The Window menu of document windows (it lists the open windows as it opens).
    QMenu* WindowMenu() const { return m_windowMenu; }

    // CommandTarget: the frame's own commands (bars, status bar, windows, attribute list).
    bool OnCommand(CommandId id) override;
    bool OnUpdateCommand(CommandId id, CommandState& state) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The frame's own commands: bars, status bar, windows, attribute list and help.
    static const CommandMap<CMainFrame>& Commands();
    QAction* MakeAction(const CommandTable::MenuItem& item, QObject* owner);
    QMenu* BuildMenu(const CommandTable::MenuItem& popup);
    void BuildMenus();
    void BuildToolbars();
    void BuildStatusBar();
    void BuildAccelerators();
    void ShowMenuFor(bool document);
    void RefreshMenuBar();
    void RefreshTitle();
    void RefreshWindowList();
    void RefreshRecentFiles(QMenu* fileMenu);
    void ArrangeIcons();
    void ApplyState(QAction* action, CommandId id, const CommandState& state);

    Profile& m_profile;
    CommandTarget* m_app = nullptr;
    const RecentFileList* m_recent = nullptr;
    QMdiArea* m_mdi = nullptr;
    std::array<QLabel*, kPaneCount> m_panes{};
    std::map<CommandId, QToolBar*> m_bars;
    CDataSetsBar* m_dataSetsBar = nullptr;
    DataSetsBox* m_dataSetsBox = nullptr;
    std::unique_ptr<ScannerCommands> m_scanner;
    QPointer<QWidget> m_help;
    QMenu* m_barMenu = nullptr;
    std::vector<QMenu*> m_noDocumentMenus;
    std::vector<QMenu*> m_documentMenus;
    // The Window menu of the document menu bar and the window entries added to it.
    QMenu* m_windowMenu = nullptr;
    std::vector<QAction*> m_windowEntries;
    bool m_documentMenuShown = false;
    bool m_updatePending = false;
    // Every action with its command, for the update pass.
    std::vector<std::pair<CommandId, QAction*>> m_actions;
    // The exclusive group of radio commands of each menu or bar.
    std::map<QObject*, QActionGroup*> m_radioGroups;
    QPointer<QWidget> m_attributeWindow;
    // Data > Extract..., made when first asked for.
    QPointer<ExtractPanel> m_extractPanel;
    std::function<void(const std::string&)> m_dropHandler;
};
