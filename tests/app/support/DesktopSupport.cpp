#include "DesktopSupport.h"

#include "app/DialogForms.h"
#include "app/ImageViewWidget.h"
#include "view/CKurvoView.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <cmath>

bool WriteTestBmp(const std::string& path, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < height; ++y)
        image.setPixel(y * width / height, y, qRgb(0x20, 0x20, 0x20));
    return image.save(QString::fromStdString(path), "BMP");
}

void Click(QWidget* target, QPoint at)
{
    const QPointF local(at);
    const QPointF global(target->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

QPoint WindowPointOf(ImageViewWidget* view, double px, double py)
{
    CKurvoView* v = view->GetView();
    const IPoint off = v->GetCentringOffset();
    const IPoint scroll = v->GetScrollPos();
    return QPoint(ToolEvent::WindowOf(px, v->GetZoom()) + off.x - scroll.x,
                  ToolEvent::WindowOf(py, v->GetZoom()) + off.y - scroll.y);
}

void ProcessEvents()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

DesktopTestBase::DesktopTestBase()
{
    auto profile = std::make_unique<MemoryProfile>();
    m_profile = profile.get();
    m_app = std::make_unique<CKurvoApp>(std::move(profile), &m_ui);
}

DesktopTestBase::~DesktopTestBase()
{
    m_app.reset();
    ProcessEvents();
}

void DesktopTestBase::Start(const QStringList& arguments)
{
    ASSERT_TRUE(m_app->InitInstance(arguments));
    // The tests answer the dialogs themselves: no modal form may open.
    RemoveDialogForms();
    ProcessEvents();
}

bool DesktopTestBase::Command(int id)
{
    const bool routed = Frame().RouteCommand(static_cast<CommandId>(id));
    ProcessEvents();
    return routed;
}

bool DesktopTestBase::Enabled(int id)
{
    return Frame().QueryCommand(static_cast<CommandId>(id)).enabled;
}
