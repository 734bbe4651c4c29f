#pragma once

#include "document/KurvoViewDocument.h"
#include "model/Observer.h"
#include "platform/Command.h"
#include "view/ViewHost.h"

#include <QAbstractScrollArea>

#include <memory>

class CKurvoDoc;
template <class Target> class CommandMap;
class CKurvoView;
class QPrinter;

// The window of an image view: hosts a CKurvoView, shows its canvas (a QImage over the
// canvas's own pixels), keeps the scroll bars in step with the view and forwards mouse,
// wheel, key, resize and paint events to it. Also prints the view.
class ImageViewWidget : public QAbstractScrollArea, public ViewHost, public CommandTarget {
    Q_OBJECT
public:
    // The view is attached to the document at once and detached when the widget goes.
    explicit ImageViewWidget(CKurvoDoc* doc, QWidget* parent = nullptr);
    ~ImageViewWidget() override;

    CKurvoView* GetView() const { return m_view.get(); }
    CKurvoDoc* GetDocument() const { return m_doc; }
    // The first showing: settings from the preferences, tools wired, fitted to the window.
    // Runs by itself when the widget is first shown; later calls do nothing.
    void InitialUpdate();
    // The document window became active (or stopped being).
    void Activate(bool active, bool otherViewActive);

    // Prints the view's picture with its overlays on one page; false when nothing was
    // printed (no image).
    bool PrintTo(QPrinter& printer);

    // ---- ViewHost
    ISize GetClientSize() const override;
    void ScrollBarsChanged() override;
    void Invalidate(bool erase) override;
    void UpdateNow() override;
    void CanvasChanged() override;
    void SetCapture() override { m_capture = true; }
    void ReleaseCapture() override { m_capture = false; }
    bool HasCapture() const override { return m_capture; }
    bool HasFocus() const override;
    void SetCursor(CursorShape shape) override;
    void SetStatusText(int pane, const std::string& text) override;
    bool IsKeyDown(KeyCode key) const override;
    int StartTimer(int periodMs, std::function<void()> callback) override;
    void KillTimer(int id) override;

    // ---- CommandTarget: the view's commands, the zoom-rate preference and printing.
    bool OnCommand(CommandId id) override;
    bool OnUpdateCommand(CommandId id, CommandState& state) override;

signals:
    // The view's state may have changed (tool, zoom, position): after a click, a key, a
    // zoom or a scroll.
    void StateChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Printing and the zoom rates; the view answers for the rest.
    static const CommandMap<ImageViewWidget>& Commands();
    void Print();
    void PrintPreview();

    CKurvoDoc* m_doc;
    KurvoViewDocument m_bridge;
    std::unique_ptr<CKurvoView> m_view;
    bool m_initialized = false;
    // Applies the user's options to the view as soon as the Options dialog changes them.
    struct PreferencesWatch : Observer {
        explicit PreferencesWatch(ImageViewWidget* w) : widget(w) {}
        void Update(Observer*, std::intptr_t) override { widget->ApplyPreferences(); }
        ImageViewWidget* widget;
    } m_preferencesWatch{this};
    ViewSettings CurrentSettings() const;
    void ApplyPreferences();
    bool m_dirty = true;
    bool m_capture = false;
    // Set while the scroll bars are being moved to the view's position.
    bool m_syncingBars = false;
    CursorShape m_cursor = CursorShape::Arrow;
};
