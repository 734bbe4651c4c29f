#include "app/CMainFrame.h"

#include "app/CChildFrame.h"
#include "app/ContextHelp.h"
#include "app/ExtractPanel.h"
#include "app/HelpWindow.h"
#include "app/ImageViewWidget.h"
#include "app/SaneAcquireDialog.h"
#include "app/WindowPlacement.h"
#include "document/CKurvoDoc.h"
#include "document/CommandTable.h"
#include "document/RecentFileList.h"
#include "platform/CommandIds.h"
#include "platform/CommandMap.h"
#include "platform/Profile.h"
#include "scan/CTwain.h"
#include "scan/SaneLibrary.h"
#include "ui/CDataSetsBar.h"
#include "ui/DataSetsBox.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QInputDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>

#include <algorithm>

namespace {

const char* const kSection = "Settings";
const char* const kPlacementKey = "WindowPos";
const char* const kRecentIndex = "kurvoRecentIndex";

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

// The icons are compiled into the static shell library, whose resource initialiser the
// linker would drop: register them explicitly (outside any namespace, as Qt requires).
static void InitKurvoResources()
{
    Q_INIT_RESOURCE(kurvo);
}

CMainFrame::CMainFrame(Profile& profile, QWidget* parent) : QMainWindow(parent), m_profile(profile)
{
    InitKurvoResources();
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(QStringLiteral("Kurvo"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/kurvo.svg")));
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(1024, 768);

    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("WorkArea"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] { RefreshMenuBar(); });
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] {
        if (m_extractPanel)
            m_extractPanel->ActiveViewChanged();
    });

    BuildMenus();
    BuildToolbars();
    BuildStatusBar();
    BuildAccelerators();
    ShowMenuFor(false);

    // The scanner: the source manager is looked for where the settings say; its events are
    // handled on this thread, and Close Twain runs once the image's event is done.
    CTwain::SetSettings(&m_profile);
    m_scanner = std::make_unique<ScannerCommands>();
    m_scanner->SetCommandPoster([this](CommandId id) {
        QTimer::singleShot(0, this, [this, id] {
            if (m_scanner)
                m_scanner->OnCommand(id);
            RequestCommandUpdate();
        });
    });
    CTwain::SourceEvents().SetNotifier([this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_scanner)
                    m_scanner->DispatchSourceEvents();
                RequestCommandUpdate();
            },
            Qt::QueuedConnection);
    });
    m_scanner->OnCreateFrame(static_cast<TW_HANDLE>(this));
    // SANE devices sit beside TWAIN: Select Source lists both, Acquire opens the dialog.
    m_scanner->SetSettings(&m_profile);
    m_scanner->SetSourceChooser([this](const std::vector<std::string>& labels, int current) {
        QStringList items;
        for (const std::string& label : labels)
            items << QString::fromStdString(label);
        bool ok = false;
        const QString chosen = QInputDialog::getItem(this, tr("Select Source"), tr("&Source:"),
                                                     items, current, false, &ok);
        return ok ? static_cast<int>(items.indexOf(chosen)) : -1;
    });
    m_scanner->SetSaneAcquirer([this](const std::string& device) {
        SaneAcquireDialog dialog(*m_scanner, m_profile, device, this);
        dialog.exec();
        RequestCommandUpdate();
    });

    // Menus update as they open; toolbars and accelerators when something they show may
    // have changed: a command, a document or view change, the clipboard, a bar shown or
    // hidden, the active window.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { RequestCommandUpdate(); });
}

CMainFrame::~CMainFrame()
{
    CTwain::SourceEvents().SetNotifier(nullptr);
    m_scanner->OnDestroyFrame();
    CTwain::SetSettings(nullptr);
    SaneLibrary::Shutdown();
    // The work area reports window changes while its windows are taken down; by then the
    // frame is half gone, so it stops listening first.
    for (QMdiSubWindow* sub : m_mdi->subWindowList())
        sub->disconnect(this);
    m_mdi->disconnect(this);
}

QAction* CMainFrame::MakeAction(const CommandTable::MenuItem& item, QObject* owner)
{
    auto* action = new QAction(Q(item.text), owner);
    const CommandId id = item.id;
    action->setData(id);
    action->setStatusTip(Q(CommandTable::Prompt(id)));
    std::string tip = CommandTable::ToolTip(id);
    if (!tip.empty())
        action->setToolTip(Q(tip));
    AddContextHelp(action, tip.c_str(), CommandTable::Prompt(id).c_str());
    connect(action, &QAction::triggered, this, [this, id] {
        RouteCommand(id);
        UpdateCommandUI();
    });
    m_actions.emplace_back(id, action);
    return action;
}

QMenu* CMainFrame::BuildMenu(const CommandTable::MenuItem& popup)
{
    auto* menu = new QMenu(Q(popup.text), this);
    bool hasRecent = false;
    for (const auto& item : popup.items) {
        switch (item.kind) {
        case CommandTable::MenuItem::Separator:
            menu->addSeparator();
            break;
        case CommandTable::MenuItem::Popup:
            menu->addMenu(BuildMenu(item));
            break;
        case CommandTable::MenuItem::RecentFiles:
            hasRecent = true;
            for (int i = 0; i < kRecentFileCount; ++i) {
                CommandTable::MenuItem entry{CommandTable::MenuItem::Command, "", item.id + i, {}};
                QAction* action = MakeAction(entry, menu);
                action->setProperty(kRecentIndex, i);
                menu->addAction(action);
            }
            break;
        case CommandTable::MenuItem::Command:
            menu->addAction(MakeAction(item, menu));
            break;
        }
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu, hasRecent] {
        if (hasRecent)
            RefreshRecentFiles(menu);
        UpdateCommandUI();
    });
    if (hasRecent)
        RefreshRecentFiles(menu);
    return menu;
}

void CMainFrame::BuildMenus()
{
    for (const auto& popup : CommandTable::NoDocumentMenu())
        m_noDocumentMenus.push_back(BuildMenu(popup));
    for (const auto& popup : CommandTable::DocumentMenu()) {
        QMenu* menu = BuildMenu(popup);
        m_documentMenus.push_back(menu);
        for (const auto& item : popup.items)
            if (item.kind == CommandTable::MenuItem::Command && item.id == ID_WINDOW_CASCADE)
                m_windowMenu = menu;
    }
    if (m_windowMenu)
        connect(m_windowMenu, &QMenu::aboutToShow, this, [this] { RefreshWindowList(); });

    m_barMenu = new QMenu(this);
    m_barMenu->setObjectName(QStringLiteral("BarMenu"));
    for (const auto& item : CommandTable::BarMenu())
        m_barMenu->addAction(MakeAction(item, m_barMenu));
    connect(m_barMenu, &QMenu::aboutToShow, this, [this] { UpdateCommandUI(); });
}

void CMainFrame::BuildToolbars()
{
    for (const auto& bar : CommandTable::Toolbars()) {
        QToolBar* toolbar;
        if (bar.barId == ID_VIEW_DATASETS_BAR) {
            m_dataSetsBar = new CDataSetsBar(Q(bar.title), this);
            toolbar = m_dataSetsBar;
        } else {
            toolbar = new QToolBar(Q(bar.title), this);
        }
        toolbar->setObjectName(QStringLiteral("Bar%1").arg(bar.barId));
        toolbar->setIconSize(QSize(16, 16));
        toolbar->setAllowedAreas(Qt::AllToolBarAreas);
        for (CommandId id : bar.buttons) {
            if (id == 0) {
                toolbar->addSeparator();
                continue;
            }
            if (id == ID_DATA_SELECT_SET && m_dataSetsBar) {
                // The drop-down list of the data sets of the active document.
                m_dataSetsBox = m_dataSetsBar->AddSetsBox();
                m_dataSetsBox->setToolTip(Q(CommandTable::ToolTip(id)));
                m_dataSetsBox->setStatusTip(Q(CommandTable::Prompt(id)));
                m_dataSetsBox->setWhatsThis(Q(CommandTable::Prompt(id) + "."));
                m_dataSetsBox->SetActiveDocument([this]() -> CKurvoDoc* {
                    CChildFrame* child = ActiveChild();
                    return child ? dynamic_cast<CKurvoDoc*>(child->DocumentTarget()) : nullptr;
                });
                continue;
            }
            CommandTable::MenuItem item{
                CommandTable::MenuItem::Command, CommandTable::ToolTip(id), id, {}};
            QAction* action = MakeAction(item, toolbar);
            action->setIcon(QIcon(Q(":/icons/" + CommandTable::IconName(id) + ".svg")));
            toolbar->addAction(action);
        }
        addToolBar(Qt::TopToolBarArea, toolbar);
        connect(toolbar, &QToolBar::visibilityChanged, this, [this] { RequestCommandUpdate(); });
        m_bars[bar.barId] = toolbar;
    }
}

void CMainFrame::BuildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    const std::array<QString, kPaneCount> texts = {QStringLiteral("Ready"),
                                                   QStringLiteral("Points:"),
                                                   QString(),
                                                   QStringLiteral("   Image:"),
                                                   QString(),
                                                   QString(),
                                                   QString(),
                                                   QString()};
    // Panes 6 and 7: the pointer's plot position and the zoom.
    const std::array<int, kPaneCount> widths = {0, 0, 50, 0, 150, 150, 240, 60};
    for (int i = 0; i < kPaneCount; ++i) {
        auto* pane = new QLabel(texts[i], bar);
        pane->setObjectName(QStringLiteral("Pane%1").arg(i));
        if (widths[i] > 0) {
            pane->setMinimumWidth(widths[i]);
            pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        }
        if (i == 0)
            bar->addWidget(pane, 1);
        else
            bar->addPermanentWidget(pane);
        m_panes[i] = pane;
    }
}

void CMainFrame::BuildAccelerators()
{
    for (const auto& acc : CommandTable::Accelerators()) {
        CommandTable::MenuItem item{CommandTable::MenuItem::Command, "", acc.id, {}};
        QAction* action = MakeAction(item, this);
        action->setText(Q(CommandTable::ToolTip(acc.id)));
        action->setShortcut(QKeySequence(Q(acc.keys)));
        action->setShortcutContext(Qt::WindowShortcut);
        action->setObjectName(QStringLiteral("Accel ") + Q(acc.keys));
        addAction(action);
    }
}

void CMainFrame::ShowMenuFor(bool document)
{
    if (m_documentMenuShown == document && !menuBar()->actions().isEmpty())
        return;
    m_documentMenuShown = document;
    menuBar()->clear();
    for (QMenu* menu : document ? m_documentMenus : m_noDocumentMenus)
        menuBar()->addMenu(menu);
}

void CMainFrame::RefreshMenuBar()
{
    ShowMenuFor(!m_mdi->subWindowList().isEmpty());
    RefreshTitle();
    UpdateCommandUI();
}

void CMainFrame::RefreshTitle()
{
    // A maximized document window shares the frame's caption: "Kurvo - [title]".
    QMdiSubWindow* sub = m_mdi->currentSubWindow();
    if (sub && sub->isMaximized() && !sub->windowTitle().isEmpty())
        setWindowTitle(QStringLiteral("Kurvo - [") + sub->windowTitle() + u']');
    else
        setWindowTitle(QStringLiteral("Kurvo"));
}

void CMainFrame::RefreshWindowList()
{
    for (QAction* entry : m_windowEntries) {
        m_windowMenu->removeAction(entry);
        entry->deleteLater();
    }
    m_windowEntries.clear();
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    m_windowEntries.push_back(m_windowMenu->addSeparator());
    QMdiSubWindow* current = m_mdi->currentSubWindow();
    // Nine numbered entries at most, as the keyboard offers no more digits.
    const int shown = std::min<int>(static_cast<int>(windows.size()), 9);
    for (int i = 0; i < shown; ++i) {
        QMdiSubWindow* sub = windows[i];
        QString title = sub->windowTitle();
        title.replace(u'&', QStringLiteral("&&"));
        QAction* entry = m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title));
        entry->setCheckable(true);
        entry->setChecked(sub == current);
        QPointer<QMdiSubWindow> target(sub);
        connect(entry, &QAction::triggered, this, [this, target] {
            if (target)
                m_mdi->setActiveSubWindow(target);
        });
        m_windowEntries.push_back(entry);
    }
}

void CMainFrame::RefreshRecentFiles(QMenu* fileMenu)
{
    const int count = m_recent ? m_recent->Size() : 0;
    for (QAction* action : fileMenu->actions()) {
        QVariant index = action->property(kRecentIndex);
        if (!index.isValid())
            continue;
        const int i = index.toInt();
        if (i < count) {
            action->setText(Q(m_recent->MenuText(i)));
            action->setVisible(true);
        } else if (i == 0) {
            // An empty list shows one disabled placeholder entry.
            action->setText(QStringLiteral("Recent File"));
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
}

void CMainFrame::SetAttributeWindow(QWidget* window)
{
    if (m_attributeWindow)
        m_attributeWindow->removeEventFilter(this);
    m_attributeWindow = window;
    // Attribute List is checked while the window shows, however it was shown or closed.
    if (window)
        window->installEventFilter(this);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_attributeWindow.data() &&
        (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        RequestCommandUpdate();
    return QMainWindow::eventFilter(watched, event);
}

CChildFrame* CMainFrame::ActiveChild() const
{
    // The current window stays current while a dialog or another program has the focus.
    QMdiSubWindow* sub = m_mdi->currentSubWindow();
    if (!sub && !m_mdi->subWindowList().isEmpty())
        sub = m_mdi->subWindowList().front();
    return sub ? qobject_cast<CChildFrame*>(sub->widget()) : nullptr;
}

QMdiSubWindow* CMainFrame::AddChildFrame(CChildFrame* child)
{
    QMdiSubWindow* active = m_mdi->currentSubWindow();
    const bool maximized = !isVisible() || !active || active->isMaximized();
    QMdiSubWindow* sub = m_mdi->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(child->windowTitle());
    // The document's title (its name, a "*" while modified) follows into the caption.
    connect(child, &QWidget::windowTitleChanged, sub, [this, sub](const QString& title) {
        sub->setWindowTitle(title);
        RefreshTitle();
    });
    connect(sub, &QMdiSubWindow::windowStateChanged, this, [this] { RefreshTitle(); });
    sub->setWindowIcon(windowIcon());
    connect(sub, &QObject::destroyed, this, [this] {
        // The area forgets the window only after this signal: look again once it has.
        QTimer::singleShot(0, this, [this] { RefreshMenuBar(); });
    });
    if (maximized)
        sub->showMaximized();
    else
        sub->show();
    m_mdi->setActiveSubWindow(sub);
    RefreshMenuBar();
    return sub;
}

bool CMainFrame::RouteCommand(CommandId id)
{
    CChildFrame* child = ActiveChild();
    CommandTarget* route[] = {child ? child->ViewTarget() : nullptr,
                              child ? child->DocumentTarget() : nullptr, this, m_app};
    // A command goes only where its update allows it, as a disabled menu item would.
    if (!QueryCommand(id).enabled)
        return false;
    // Whatever it changed (a tool, a bar, a setting), the actions show it next.
    RequestCommandUpdate();
    for (CommandTarget* target : route)
        if (target && target->OnCommand(id))
            return true;
    return false;
}

CommandState CMainFrame::QueryCommand(CommandId id)
{
    CChildFrame* child = ActiveChild();
    CommandTarget* route[] = {child ? child->ViewTarget() : nullptr,
                              child ? child->DocumentTarget() : nullptr, this, m_app};
    for (CommandTarget* target : route) {
        CommandState state;
        if (target && target->OnUpdateCommand(id, state))
            return state;
    }
    CommandState none;
    none.Enable(false);
    return none;
}

void CMainFrame::ApplyState(QAction* action, CommandId, const CommandState& state)
{
    // The radio commands of one menu or bar (the tools, the zoom speeds) are one exclusive
    // group there, shown with radio marks; none is checked while no view answers.
    if (state.radio && !action->actionGroup()) {
        QActionGroup*& group = m_radioGroups[action->parent()];
        if (!group) {
            group = new QActionGroup(action->parent());
            group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        }
        action->setCheckable(true);
        group->addAction(action);
    }
    action->setEnabled(state.enabled);
    if ((state.checked || state.checkable) && !action->isCheckable())
        action->setCheckable(true);
    if (action->isCheckable())
        action->setChecked(state.checked);
    if (state.textSet)
        action->setText(Q(state.text));
}

void CMainFrame::RequestCommandUpdate()
{
    // Many changes in one go (a task updates every view, then the title) make one update,
    // once the program is back in its event loop.
    if (m_updatePending)
        return;
    m_updatePending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_updatePending)
                UpdateCommandUI();
        },
        Qt::QueuedConnection);
}

void CMainFrame::UpdateCommandUI()
{
    m_updatePending = false;
    std::map<CommandId, CommandState> states;
    for (auto& [id, action] : m_actions) {
        auto it = states.find(id);
        if (it == states.end())
            it = states.emplace(id, QueryCommand(id)).first;
        CommandState state = it->second;
        // An empty recent-file placeholder is never offered.
        QVariant index = action->property(kRecentIndex);
        if (index.isValid() && (!m_recent || index.toInt() >= m_recent->Size()))
            state.enabled = false;
        ApplyState(action, id, state);
    }
}

void CMainFrame::SetPaneText(int pane, const QString& text)
{
    if (pane < 0 || pane >= kPaneCount)
        return;
    m_panes[pane]->setText(text);
    if (pane == 0)
        statusBar()->clearMessage();
}

QLabel* CMainFrame::Pane(int pane) const
{
    return pane >= 0 && pane < kPaneCount ? m_panes[pane] : nullptr;
}

QToolBar* CMainFrame::Bar(CommandId barId) const
{
    auto it = m_bars.find(barId);
    return it == m_bars.end() ? nullptr : it->second;
}

void CMainFrame::SetScannedImageHandler(ScannerCommands::NewDocumentHandler handler)
{
    m_scanner->SetNewDocumentHandler(std::move(handler));
}

void CMainFrame::ShowHelp()
{
    if (!m_help)
        m_help = new HelpWindow(this);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

const CommandMap<CMainFrame>& CMainFrame::Commands()
{
    using Frame = CMainFrame;
    // Each bar's command shows or hides it, and is checked while it shows.
    const auto toggleBar = [](Frame& frame, CommandId id) {
        QToolBar* bar = frame.Bar(id);
        bar->setVisible(!bar->isVisibleTo(&frame));
    };
    const auto barShown = [](Frame& frame, CommandId id, CommandState& state) {
        state.SetCheck(frame.Bar(id)->isVisibleTo(&frame));
    };
    const auto hasWindows = [](Frame& frame, CommandId, CommandState& state) {
        state.Enable(!frame.m_mdi->subWindowList().isEmpty());
    };
    const auto showHelp = [](Frame& frame, CommandId) { frame.ShowHelp(); };
    static const CommandMap<Frame> commands = {
        {ID_VIEW_STANDARD_BAR, toggleBar, barShown},
        {ID_VIEW_VIEW_BAR, toggleBar, barShown},
        {ID_VIEW_DIGITIZE_BAR, toggleBar, barShown},
        {ID_VIEW_DATASETS_BAR, toggleBar, barShown},
        {ID_VIEW_STATUS_BAR,
         [](Frame& frame, CommandId) {
             frame.statusBar()->setVisible(!frame.statusBar()->isVisibleTo(&frame));
         },
         [](Frame& frame, CommandId, CommandState& state) {
             state.SetCheck(frame.statusBar()->isVisibleTo(&frame));
         }},
        {ID_ATTRIBUTE_LIST,
         [](Frame& frame, CommandId) {
             if (QWidget* window = frame.m_attributeWindow)
                 window->setVisible(!window->isVisible());
         },
         [](Frame& frame, CommandId, CommandState& state) {
             // The window goes with the last document.
             const bool document = frame.ActiveChild() != nullptr;
             if (!document && frame.m_attributeWindow)
                 frame.m_attributeWindow->hide();
             state.Enable(document && frame.m_attributeWindow);
             state.SetCheck(frame.m_attributeWindow && frame.m_attributeWindow->isVisible());
         }},
        {ID_WINDOW_CASCADE, [](Frame& frame, CommandId) { frame.m_mdi->cascadeSubWindows(); },
         hasWindows},
        {ID_WINDOW_TILE_HORZ, [](Frame& frame, CommandId) { frame.m_mdi->tileSubWindows(); },
         hasWindows},
        {ID_WINDOW_ARRANGE, [](Frame& frame, CommandId) { frame.ArrangeIcons(); }, hasWindows},
        {ID_DATA_EXTRACT,
         [](Frame& frame, CommandId) {
             if (!frame.m_extractPanel)
                 frame.m_extractPanel = new ExtractPanel(
                     [&frame]() -> ImageViewWidget* {
                         CChildFrame* child = frame.ActiveChild();
                         return child ? dynamic_cast<ImageViewWidget*>(child->ViewTarget())
                                      : nullptr;
                     },
                     &frame);
             frame.m_extractPanel->Open();
         },
         [](Frame& frame, CommandId, CommandState& state) {
             state.Enable(frame.ActiveChild() != nullptr);
         }},
        {ID_HELP_FINDER, showHelp},
        {ID_HELP, showHelp},
        {ID_DEFAULT_HELP, showHelp},
        {ID_CONTEXT_HELP, [](Frame&, CommandId) { QWhatsThis::enterWhatsThisMode(); }},
    };
    return commands;
}

bool CMainFrame::OnCommand(CommandId id)
{
    return m_scanner->OnCommand(id) || Commands().Run(*this, id);
}

bool CMainFrame::OnUpdateCommand(CommandId id, CommandState& state)
{
    return Commands().Update(*this, id, state) || m_scanner->OnUpdateCommand(id, state);
}

void CMainFrame::ArrangeIcons()
{
    // Minimized windows line up along the bottom edge of the work area, left to right,
    // in rows going upwards when one row is full.
    const QSize area = m_mdi->viewport()->size();
    int x = 0;
    int rowBottom = area.height();
    int rowHeight = 0;
    for (QMdiSubWindow* sub : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isMinimized())
            continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            rowBottom -= rowHeight;
            rowHeight = 0;
        }
        sub->move(x, rowBottom - size.height());
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
}

bool CMainFrame::IsOverBar(const QPoint& pos) const
{
    QWidget* hit = childAt(pos);
    if (!hit)
        return false;
    auto isBar = [this](const QWidget* w) {
        if (w == statusBar())
            return true;
        for (const auto& [id, bar] : m_bars)
            if (w == bar)
                return true;
        return false;
    };
    if (isBar(hit))
        return true;
    // A button or pane belongs to its bar; a control placed in a bar (the data-set list)
    // is a window of its own and keeps its own menu.
    if (qobject_cast<QComboBox*>(hit) || qobject_cast<QComboBox*>(hit->parentWidget()))
        return false;
    return hit->parentWidget() && isBar(hit->parentWidget());
}

void CMainFrame::contextMenuEvent(QContextMenuEvent* event)
{
    if (!IsOverBar(event->pos())) {
        event->ignore();
        return;
    }
    UpdateCommandUI();
    m_barMenu->popup(event->globalPos());
    event->accept();
}

void CMainFrame::SavePlacement()
{
    WindowPlacement p;
    const bool maximized = isMaximized();
    const QRect normal = (maximized || isMinimized()) ? normalGeometry() : geometry();
    p.m_flags = maximized ? WindowPlacement::kRestoreMaximized : 0;
    p.m_showCmd = isMinimized() ? WindowPlacement::kShowMinimized
                  : maximized   ? WindowPlacement::kShowMaximized
                                : WindowPlacement::kShowNormal;
    p.m_left = normal.left();
    p.m_top = normal.top();
    p.m_right = normal.left() + normal.width();
    p.m_bottom = normal.top() + normal.height();
    m_profile.WriteString(kSection, kPlacementKey, p.Format());
}

void CMainFrame::ShowWithPlacement(unsigned showCmd)
{
    WindowPlacement p;
    const std::string text = m_profile.GetString(kSection, kPlacementKey, "");
    if (!text.empty() && WindowPlacement::Parse(text, p)) {
        if (p.m_flags & WindowPlacement::kRestoreMaximized) {
            p.m_flags = 0;
            p.m_showCmd = WindowPlacement::kShowMaximized;
            showCmd = WindowPlacement::kShowMaximized;
        }
        // A stored rectangle is used only when it has a sane size and shows on a screen,
        // so a placement from a larger or removed monitor cannot hide the window.
        const long long w = static_cast<long long>(p.m_right) - p.m_left;
        const long long h = static_cast<long long>(p.m_bottom) - p.m_top;
        if (w >= 100 && h >= 100 && w <= 32767 && h <= 32767) {
            QRect rect(p.m_left, p.m_top, static_cast<int>(w), static_cast<int>(h));
            bool onScreen = false;
            for (QScreen* screen : QGuiApplication::screens())
                onScreen = onScreen || screen->availableGeometry().intersects(rect);
            if (onScreen)
                setGeometry(rect);
            else
                resize(rect.size());
        }
    }
    if (showCmd == WindowPlacement::kShowMaximized)
        showMaximized();
    else
        showNormal();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_dropHandler && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    if (!m_dropHandler)
        return;
    // Take the list first: opening a file may run a dialog that ends the drag.
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile().toStdString());
    event->acceptProposedAction();
    for (const std::string& path : paths)
        m_dropHandler(path);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    SavePlacement();
    // Each document window may refuse (its document asks to save first); then the
    // program stays.
    m_mdi->closeAllSubWindows();
    if (!m_mdi->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
