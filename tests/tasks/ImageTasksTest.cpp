#include "image/CDib.h"
#include "image/support/TestDibs.h"
#include "model/DbPoint.h"
#include "model/DbSetMgr.h"
#include "platform/Document.h"
#include "tasks/ImageCropTask.h"
#include "tasks/ImageFlipTask.h"
#include "tasks/ImagePasteTask.h"
#include "tasks/ImageRotateTask.h"
#include "tasks/PlotData.h"
#include "tasks/PrimTask.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// A mapping reduced to one number and a defined flag, with snapshots that count themselves.
struct FakeMapping : MappingSource {
    int value = 0;
    bool defined = false;
    int liveStates = 0;

    struct State : MappingState {
        FakeMapping* owner;
        int value;
        bool defined;
        explicit State(FakeMapping* m) : owner(m), value(m->value), defined(m->defined)
        {
            ++owner->liveStates;
        }
        ~State() override { --owner->liveStates; }
        void Restore() override { owner->value = value, owner->defined = defined; }
        void Reset() override { owner->value = value = 0, owner->defined = defined = false; }
    };
    std::unique_ptr<MappingState> Snapshot() override { return std::make_unique<State>(this); }
};

class ImageTasks : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = std::make_unique<PlotData>(&doc);
        data->NewSet();
        const DibBlock dib = testdibs::Make(9, 5, 24);
        ASSERT_TRUE(data->GetImage()->Assign(dib.data(), dib.size()));
        Collect(1, 1);
        Collect(3, 2);
    }
    void Collect(double x, double y)
    {
        ASSERT_TRUE(data->Execute(
            std::make_unique<PrimTask>(data.get(), std::make_unique<DbPoint>(DPoint{x, y}))));
    }
    int Points() const { return data->GetSetMgr()->GetTotalCount(); }
    DibBlock Image() const { return data->GetImage()->Block(); }
    CDib Cropped(int width, int height) const
    {
        CDib copy(*data->GetImage());
        copy.Crop(9 - width, 5 - height, width, height);
        return copy;
    }

    Document doc;
    // Declared before the data, so that the tasks' snapshots go first.
    FakeMapping mapping;
    std::unique_ptr<PlotData> data;
};

// Flips and turns change only the pixels, and undo gives the image back byte for byte.
TEST_F(ImageTasks, FlipAndRotateKeepThePointsAndUndoRestoresThePixels)
{
    const DibBlock before = Image();
    const auto flip = [](int how) {
        return [how](PlotData* d) { return std::make_unique<ImageFlipTask>(d, how); };
    };
    const auto turn = [](int angle) {
        return [angle](PlotData* d) { return std::make_unique<ImageRotateTask>(d, angle); };
    };
    // The flips: 0 mirrors left to right, 1 top to bottom; the pixel that comes to the corner.
    const struct {
        std::string name;
        std::function<std::unique_ptr<Task>(PlotData*)> make;
        int cornerX, cornerY;
    } cases[] = {{"Flip", flip(0), 8, 0},
                 {"Flip", flip(1), 0, 4},
                 {"Rotate", turn(90), 0, 0},
                 {"Rotate", turn(180), 8, 4},
                 {"Rotate", turn(270), 0, 0}};
    for (const auto& [name, make, x, y] : cases) {
        ASSERT_TRUE(data->Execute(make(data.get())));
        EXPECT_EQ(data->UndoName(), name);
        if (x != 0 || y != 0) {
            EXPECT_EQ(testdibs::Get(data->GetImage()->GetDib(), 0, 0), testdibs::Pattern(x, y, 24));
        }
        const DibBlock done = Image();
        EXPECT_NE(done, before);
        EXPECT_TRUE(data->IsImageEdited());
        ASSERT_TRUE(data->Undo());
        EXPECT_EQ(Image(), before);
        ASSERT_TRUE(data->Redo());
        EXPECT_EQ(Image(), done);
        ASSERT_TRUE(data->Undo());
    }
    EXPECT_EQ(Points(), 2);
}

// A crop (to the full image too) and a paste clear the points and reset the mapping, unless a
// paste reuses it; undo restores all, and redo shows exactly what the task first left.
TEST_F(ImageTasks, CropAndPasteClearPointsAndResetTheMappingUndoRestoresAll)
{
    const DibBlock pic = testdibs::Make(4, 4, 8);
    const CDib picture(pic.data(), pic.size());
    for (int kind = 0; kind < 4; ++kind) {
        SCOPED_TRACE(kind);
        SetUp();
        const bool crop = kind < 2, reuse = kind == 3;
        const CDib cropped = Cropped(kind == 0 ? 4 : 9, kind == 0 ? 3 : 5);
        const DibBlock after = crop ? cropped.Block() : pic, before = Image();
        mapping.value = 42;
        mapping.defined = true;
        ASSERT_TRUE(data->Execute(
            crop ? std::unique_ptr<Task>(
                       std::make_unique<ImageCropTask>(data.get(), cropped, &mapping))
                 : std::make_unique<ImagePasteTask>(data.get(), picture, &mapping, reuse)));
        EXPECT_EQ(Image(), after);
        EXPECT_EQ(Points(), 0);
        EXPECT_EQ(mapping.value, reuse ? 42 : 0);
        EXPECT_EQ(mapping.defined, reuse);
        EXPECT_EQ(data->GetViewHint(), crop ? PlotData::kHintImage : PlotData::kHintImageReplaced);
        ASSERT_TRUE(data->Undo());
        EXPECT_EQ(Image(), before);
        EXPECT_EQ(Points(), 2);
        EXPECT_EQ(mapping.value, 42);
        EXPECT_TRUE(mapping.defined);
        mapping.value = 7;
        ASSERT_TRUE(data->Redo());
        EXPECT_EQ(Image(), after);
        EXPECT_EQ(Points(), 0);
        if (!reuse) {
            EXPECT_EQ(mapping.value, 0);
        }
        data.reset();
        EXPECT_EQ(mapping.liveStates, 0);
    }
}

} // namespace
