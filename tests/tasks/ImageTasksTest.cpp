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
        void Restore() override
        {
            owner->value = value;
            owner->defined = defined;
        }
        void Reset() override
        {
            owner->value = 0;
            owner->defined = false;
            value = 0;
            defined = false;
        }
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
        data->ClearChangeFlags();
    }
    void Collect(double x, double y)
    {
        ASSERT_TRUE(data->Execute(
            std::make_unique<PrimTask>(data.get(), std::make_unique<DbPoint>(DPoint{x, y}))));
    }
    int Points() const { return data->GetSetMgr()->GetTotalCount(); }
    DibBlock Image() const { return data->GetImage()->Block(); }
    CDib Cropped() const
    {
        CDib copy(*data->GetImage());
        copy.Crop(2, 1, 4, 3);
        return copy;
    }

    Document doc;
    // Declared before the data, so that the tasks' snapshots go first.
    FakeMapping mapping;
    std::unique_ptr<PlotData> data;
};

// Flips (0 mirrors left to right, 1 top to bottom) and turns change only the pixels, and
// undo gives the image back byte for byte.
TEST_F(ImageTasks, FlipAndRotateChangeOnlyPixelsAndUndoRestoresThem)
{
    Collect(1, 2);
    const DibBlock before = Image();
    for (int direction : {0, 1}) {
        ASSERT_TRUE(data->Execute(std::make_unique<ImageFlipTask>(data.get(), direction)));
        EXPECT_EQ(testdibs::Get(data->GetImage()->GetDib(), 0, 0),
                  direction == 0 ? testdibs::Pattern(8, 0, 24) : testdibs::Pattern(0, 4, 24));
        EXPECT_EQ(Points(), 1);
        EXPECT_TRUE(data->IsImageEdited());
        EXPECT_EQ(data->GetViewHint(), PlotData::kHintImage);
        EXPECT_EQ(data->UndoName(), "Flip");
        ASSERT_TRUE(data->Undo());
        EXPECT_EQ(Image(), before);
        ASSERT_TRUE(data->Redo());
        EXPECT_NE(Image(), before);
        ASSERT_TRUE(data->Undo());
    }
    for (int angle : {90, 180, 270}) {
        ASSERT_TRUE(data->Execute(std::make_unique<ImageRotateTask>(data.get(), angle)));
        EXPECT_EQ(data->GetImage()->Width(), angle == 180 ? 9 : 5);
        EXPECT_EQ(data->UndoName(), "Rotate");
        ASSERT_TRUE(data->Undo());
        EXPECT_EQ(Image(), before) << angle;
        ASSERT_TRUE(data->Redo());
        ASSERT_TRUE(data->Undo());
        EXPECT_EQ(Image(), before) << angle;
    }
    EXPECT_EQ(Points(), 1);
}

// A crop to the full image still clears the points and resets the mapping.
TEST_F(ImageTasks, CropClearsPointsResetsTheMappingAndUndoRestoresAll)
{
    CDib full(*data->GetImage());
    ASSERT_TRUE(full.Crop(0, 0, 9, 5));
    for (const CDib& cropped : {Cropped(), full}) {
        SetUp();
        mapping.value = 42;
        mapping.defined = true;
        Collect(1, 1);
        Collect(3, 2);
        const DibBlock before = Image();

        ASSERT_TRUE(data->Execute(std::make_unique<ImageCropTask>(data.get(), cropped, &mapping)));
        EXPECT_EQ(Image(), cropped.Block());
        EXPECT_EQ(Points(), 0);
        EXPECT_EQ(mapping.value, 0);
        EXPECT_FALSE(mapping.defined);
        EXPECT_TRUE(data->IsImageReplaced());
        EXPECT_EQ(data->GetViewHint(), PlotData::kHintImage);
        EXPECT_EQ(data->UndoName(), "Crop Image");

        ASSERT_TRUE(data->Undo());
        EXPECT_EQ(Image(), before);
        EXPECT_EQ(Points(), 2);
        EXPECT_EQ(mapping.value, 42);
        EXPECT_TRUE(mapping.defined);

        // Redo shows exactly what the first crop left, even if the mapping changed meanwhile.
        mapping.value = 7;
        ASSERT_TRUE(data->Redo());
        EXPECT_EQ(Image(), cropped.Block());
        EXPECT_EQ(Points(), 0);
        EXPECT_EQ(mapping.value, 0);
        EXPECT_FALSE(mapping.defined);
        data.reset();
        EXPECT_EQ(mapping.liveStates, 0);
    }
}

TEST_F(ImageTasks, PasteResetsTheMappingUnlessItIsReused)
{
    const DibBlock pic = testdibs::Make(4, 4, 8);
    const CDib picture(pic.data(), pic.size());
    for (bool reuse : {false, true}) {
        SetUp();
        mapping.value = 9;
        mapping.defined = true;
        Collect(2, 2);
        ASSERT_TRUE(
            data->Execute(std::make_unique<ImagePasteTask>(data.get(), picture, &mapping, reuse)));
        EXPECT_EQ(Image(), pic);
        EXPECT_EQ(Points(), 0) << reuse;
        EXPECT_EQ(mapping.defined, reuse);
        EXPECT_EQ(mapping.value, reuse ? 9 : 0);
        EXPECT_EQ(data->GetViewHint(), PlotData::kHintImageReplaced);
        EXPECT_EQ(data->UndoName(), "Paste Image");
        ASSERT_TRUE(data->Undo());
        EXPECT_EQ(Points(), 1);
        EXPECT_EQ(mapping.value, 9);
        EXPECT_EQ(data->GetViewHint(), PlotData::kHintImageReplaced);
        ASSERT_TRUE(data->Redo());
        EXPECT_EQ(Image(), pic);
        data.reset();
        EXPECT_EQ(mapping.liveStates, 0);
    }
}

// Without a mapping a crop replaces only the image and the points; a task never executed
// owns only its image; flipping or turning no image at all is no failure.
TEST_F(ImageTasks, WithoutAMappingOrAnImage)
{
    Collect(1, 1);
    const DibBlock before = Image();
    ImageCropTask task(data.get(), Cropped());
    ASSERT_TRUE(task.Execute());
    EXPECT_EQ(Points(), 0);
    ASSERT_TRUE(task.Undo());
    EXPECT_EQ(Image(), before);
    EXPECT_EQ(Points(), 1);
    {
        ImagePasteTask unused(data.get(), Cropped(), &mapping);
    }
    EXPECT_EQ(mapping.liveStates, 0);

    PlotData empty(&doc);
    EXPECT_TRUE(ImageFlipTask(&empty, 0).Execute());
    EXPECT_TRUE(ImageRotateTask(&empty, 90).Execute());
    EXPECT_TRUE(empty.GetImage()->IsEmpty());
}

} // namespace
