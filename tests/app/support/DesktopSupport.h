#pragma once

#include "app/CKurvoApp.h"
#include "app/CMainFrame.h"
#include "app/DocumentManager.h"
#include "platform/Profile.h"
#include "platform/RecordingUiServices.h"

#include <QApplication>
#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class CKurvoDoc;
class ImageViewWidget;

// Writes a white BMP picture with a dark diagonal from the top-left; false when it cannot.
bool WriteTestBmp(const std::string& path, int width, int height);

// Left button press and release at a position of a widget.
void Click(QWidget* target, QPoint at);
// The point of the image view's client area that shows the image pixel (px, py).
QPoint WindowPointOf(ImageViewWidget* view, double px, double py);
// Runs the event loop until nothing is left to do now (posted events, deferred deletes,
// zero timers).
void ProcessEvents();

// Runs check on the first visible top-level widget of type T once a modal loop has shown it.
template <typename T> void WhenShown(std::function<void(T*)> check)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [check, poll] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<T*>(w); dialog && dialog->isVisible()) {
                check(dialog);
                return;
            }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

// The whole desktop program on an empty profile and recording services, started without a
// file. Documents, windows and bars are the real ones.
class DesktopTestBase {
protected:
    DesktopTestBase();
    ~DesktopTestBase();

    void Start(const QStringList& arguments = {QStringLiteral("kurvo")});
    CMainFrame& Frame() { return *m_app->MainFrame(); }
    DocumentManager& Docs() { return *m_app->Documents(); }
    CKurvoDoc* ActiveDoc() { return Docs().ActiveDocument(); }
    ImageViewWidget* ActiveView() { return Docs().ActiveView(); }
    // Sends a command along the frame's route, as a menu entry would.
    bool Command(int id);
    bool Enabled(int id);

    RecordingUiServices m_ui;
    MemoryProfile* m_profile = nullptr;
    std::unique_ptr<CKurvoApp> m_app;
};
