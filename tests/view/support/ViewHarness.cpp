#include "ViewHarness.h"

#include <gtest/gtest.h>

#include <vector>

ViewHarness::ViewHarness(int imageW, int imageH, int clientW, int clientH,
                         const ViewSettings& settings, int bitCount)
    : host(clientW, clientH)
{
    SetUiServices(&ui);
    if (imageW > 0 && imageH > 0)
        doc.SetImage(imageW, imageH, bitCount);
    view = std::make_unique<CKurvoView>(&host, &doc);
    host.SetView(view.get());
    doc.AddView(view.get());
    view->OnInitialUpdate(settings);
    host.Flush();
}

ViewHarness::~ViewHarness()
{
    view->OnDestroy();
    doc.RemoveView(view.get());
    view.reset();
    SetUiServices(nullptr);
}

void ViewHarness::Drag(std::initializer_list<IPoint> path)
{
    Press(path.begin()->x, path.begin()->y);
    for (auto p = path.begin() + 1; p != path.end(); ++p)
        Move(p->x, p->y);
    Release((path.end() - 1)->x, (path.end() - 1)->y);
}

CommandState ViewHarness::State(CommandId id)
{
    CommandState st;
    EXPECT_TRUE(view->OnUpdateCommand(id, st)) << id;
    return st;
}

ToolEvent ViewHarness::EventAt(int x, int y)
{
    ToolEvent e;
    view->BuildToolEvent({x, y}, nullptr, e);
    return e;
}

std::vector<std::uint32_t> ViewHarness::Snapshot() const
{
    const PixelCanvas& c = view->GetCanvas();
    return std::vector<std::uint32_t>(c.Bits(), c.Bits() + c.DeviceWidth() * c.DeviceHeight());
}
