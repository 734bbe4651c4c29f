#include "ViewTestDoc.h"

#include "image/DibUtil.h"
#include "mapping/RegGridVw.h"
#include "mapping/TransformMan.h"
#include "mapping/TransformMemento.h"
#include "model/Task.h"
#include "platform/ToolEvent.h"

#include <cmath>

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

namespace {

// Installs the manipulator's region; the state before is kept in a memento.
class StandInTransTask : public Task {
public:
    StandInTransTask(TransformData* transform, std::unique_ptr<TransformMan> man)
        : m_transform(transform), m_man(std::move(man))
    {
    }
    ~StandInTransTask() override
    {
        if (m_before)
            m_before->Detach(m_transform);
    }
    bool Execute() override
    {
        m_before = NewRep<TransformMemento>(*m_transform);
        m_man->Notify(0);
        return true;
    }
    bool Undo() override
    {
        m_before->Notify(0);
        return true;
    }
    bool Redo() override
    {
        m_man->Notify(0);
        return true;
    }

private:
    TransformData* m_transform;
    std::unique_ptr<TransformMan> m_man;
    std::unique_ptr<TransformMemento> m_before;
};

} // namespace

ViewTestDoc::ViewTestDoc() : data(this), grid(&transform)
{
}

ISize ViewTestDoc::GetImageSize()
{
    if (image.IsEmpty())
        return {1, 1};
    return {image.Width(), image.Height()};
}

void ViewTestDoc::OnAxisMapping()
{
    ++axisMappingCalls;
    if (onAxisMapping)
        onAxisMapping();
}

bool ViewTestDoc::GetPixelResolution(const ToolEvent& e, DPoint& extent)
{
    DPoint a;
    DPoint b;
    const double step = 1.0 / e.scale;
    if (!transform.PixelToGraph(e.scaled, a) ||
        !transform.PixelToGraph({e.scaled.x + step, e.scaled.y + step}, b))
        return false;
    extent = {std::fabs(b.x - a.x), std::fabs(b.y - a.y)};
    return true;
}

std::unique_ptr<Task> ViewTestDoc::MakeTransTask(std::unique_ptr<TransformMan> manipulator)
{
    return std::make_unique<StandInTransTask>(&transform, std::move(manipulator));
}

std::unique_ptr<Task> ViewTestDoc::MakeCropTask(const CropBox&)
{
    return nullptr; // cropping is tried through the program's document
}

void ViewTestDoc::SetImage(int width, int height, int bitCount)
{
    const std::vector<std::uint8_t> dib = MakeDibBlock(width, height, bitCount, PatternColour);
    image.Assign(dib.data(), dib.size());
}

void ViewTestDoc::DefineRegion(DPoint topLeft, DPoint bottomRight, DPoint graphMin, DPoint graphMax)
{
    std::unique_ptr<TransformMan> man = NewRep<TransformMan>(transform);
    man->GetBox().SetPixelRect(topLeft, bottomRight);
    man->Notify(0);
    man->Detach(&transform);
    transform.SetLimits(graphMin, graphMax);
}

void ViewTestDoc::SetGridSnap(double stepX, double stepY)
{
    std::unique_ptr<RegGridVw> vw = NewRep<RegGridVw>(grid);
    RegGridSettings s = grid.GetSettings();
    s.snapX = s.snapY = 1;
    s.stepX = stepX;
    s.stepY = stepY;
    s.originX = s.originY = 0.0;
    vw->m_settings = s;
    vw->Notify(0);
    vw->Detach(&grid);
}
