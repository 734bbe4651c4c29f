#include "DesktopSupport.h"

#include "app/CMainFrame.h"
#include "app/DialogForms.h"
#include "app/DocumentManager.h"
#include "app/ImageViewWidget.h"
#include "document/CKurvoDoc.h"
#include "image/CDib.h"
#include "image/DibUtil.h"
#include "view/CKurvoView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <cmath>

std::vector<std::uint8_t> MakeTestDib(int width, int height)
{
    const std::uint64_t rowBytes = DibRowBytes(width, 24);
    std::vector<std::uint8_t> dib(kInfoHeaderSize + rowBytes * height, 0xFF);
    BitmapInfoHeader h;
    h.width = width;
    h.height = height;
    h.bitCount = 24;
    h.sizeImage = static_cast<std::uint32_t>(rowBytes * height);
    h.Write(dib.data());
    std::uint8_t* bits = dib.data() + kInfoHeaderSize;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bits + (height - 1 - y) * rowBytes;
        const int x = y * width / height;
        row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = 0x20;
    }
    return dib;
}

bool WriteTestBmp(const std::string& path, int width, int height)
{
    const std::vector<std::uint8_t> dib = MakeTestDib(width, height);
    CDib image(dib.data(), dib.size());
    return !image.IsEmpty() && image.SaveFile(path, CDib::kFormatBmp);
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

void ClickView(ImageViewWidget* view, QPoint at)
{
    Click(view->viewport(), at);
}

QPoint WindowPointOf(ImageViewWidget* view, double px, double py)
{
    CKurvoView* v = view->GetView();
    const IPoint off = v->GetCentringOffset();
    const IPoint scroll = v->GetScrollPos();
    return QPoint(static_cast<int>(std::lround(px * v->GetZoom())) + off.x - scroll.x,
                  static_cast<int>(std::lround(py * v->GetZoom())) + off.y - scroll.y);
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

CMainFrame& DesktopTestBase::Frame()
{
    return *m_app->MainFrame();
}

DocumentManager& DesktopTestBase::Docs()
{
    return *m_app->Documents();
}

CKurvoDoc* DesktopTestBase::ActiveDoc()
{
    return Docs().ActiveDocument();
}

ImageViewWidget* DesktopTestBase::ActiveView()
{
    return Docs().ActiveView();
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
