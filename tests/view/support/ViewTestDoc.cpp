#include "ViewTestDoc.h"

#include "image/DibUtil.h"
#include "mapping/RegGridVw.h"
#include "mapping/TransformMan.h"
#include "model/Task.h"
#include "platform/ToolEvent.h"
#include "tasks/TransTask.h"
#include "view/CropBox.h"

std::vector<std::uint8_t> MakeDibBlock(int width, int height, int bitCount,
                                       const std::function<Colour(int, int)>& colourOf)
{
    BitmapInfoHeader h;
    h.bitCount = static_cast<std::uint16_t>(bitCount);
    h.clrUsed = bitCount == 8 ? 256 : 0;
    std::uint8_t grey[1024] = {};
    for (int i = 0; i < 1024; ++i)
        grey[i] = static_cast<std::uint8_t>(i % 4 == 3 ? 0 : i / 4);
    DibBlock dib = *MakeDib(h, width, height, grey);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Colour c = colourOf(x, y);
            std::uint8_t* p = FindDibBits(dib.data()) + (height - 1 - y) * DibRowBytes(dib.data()) +
                              x * bitCount / 8;
            if (bitCount == 8)
                p[0] = RedOf(c);
            else
                p[0] = BlueOf(c), p[1] = GreenOf(c), p[2] = RedOf(c);
        }
    return dib;
}

Colour PatternColour(int x, int y)
{
    return MakeColour(static_cast<std::uint8_t>(x * 7 + 3), static_cast<std::uint8_t>(y * 5 + 1),
                      static_cast<std::uint8_t>((x + y) * 3 + 64));
}

bool ViewTestDoc::GetPixelResolution(const ToolEvent& e, DPoint& extent)
{
    DPoint graph;
    if (!transform().PixelToGraph(e.scaled, graph))
        return false;
    extent = data.PixelResolution(e, 2);
    return true;
}

std::unique_ptr<Task> ViewTestDoc::MakeTransTask(std::unique_ptr<TransformMan> manipulator)
{
    return std::make_unique<TransTask>(&data, std::move(manipulator));
}

std::unique_ptr<Task> ViewTestDoc::MakeCropTask(const CropBox& box)
{
    return box.CreateCropTask(&data);
}

void ViewTestDoc::SetImage(int width, int height, int bitCount)
{
    const std::vector<std::uint8_t> dib = MakeDibBlock(width, height, bitCount, PatternColour);
    data.SetImage(std::make_unique<CDib>(dib.data(), dib.size()));
}

void ViewTestDoc::DefineRegion(DPoint topLeft, DPoint bottomRight, DPoint graphMin, DPoint graphMax)
{
    std::unique_ptr<TransformMan> man = data.FindRep<TransformMan>();
    man->GetBox().SetPixelRect(topLeft, bottomRight);
    man->Notify(0);
    man->Detach(&transform());
    transform().SetLimits(graphMin, graphMax);
}

void ViewTestDoc::SetGridSnap(double stepX, double stepY)
{
    std::unique_ptr<RegGridVw> vw = data.FindRep<RegGridVw>();
    RegGridSettings& s = vw->m_settings;
    s = data.GetGrid()->GetSettings();
    s.snapX = s.snapY = 1;
    s.stepX = stepX;
    s.stepY = stepY;
    s.originX = s.originY = 0.0;
    vw->Notify(0);
    vw->Detach(data.GetGrid());
}
