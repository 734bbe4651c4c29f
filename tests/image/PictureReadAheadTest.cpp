#include "image/PictureReadAhead.h"
#include "image/BmpFile.h"
#include "image/support/TestDibs.h"
#include "image/support/TestTiff.h"
#include "platform/RecordingUiServices.h"
#include "support/TempDir.h"
#include "support/TestPdf.h"

#include <gtest/gtest.h>

using namespace testdibs;

namespace {

class ReadAhead : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUiServices(&m_ui);
        ASSERT_TRUE(WriteBmpFile(m_bmp, m_dib.data(), m_dib.size()));
    }
    void TearDown() override { SetUiServices(nullptr); }

    TempDir m_dir;
    RecordingUiServices m_ui;
    const DibBlock m_dib = Make(37, 11, 24);
    const std::string m_bmp = m_dir.File("plot.bmp");
};

TEST_F(ReadAhead, GivesThePictureOfTheFileItReadOnce)
{
    PictureReadAhead ahead;
    ahead.Start(m_bmp);
    // The same file under another name is the same file.
    const std::unique_ptr<CDib> dib = ahead.Take(m_dir.File("./plot.bmp"));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->Block(), m_dib);
    EXPECT_FALSE(ahead.Take(m_bmp));
}

// Whenever the picture might not be the file's, there is none: the caller reads the file
// itself and shows what went wrong.
TEST_F(ReadAhead, GivesNothingButThePictureOfTheFileAsItIs)
{
    PictureReadAhead ahead;
    ahead.Start(m_bmp);
    EXPECT_FALSE(ahead.Take(m_dir.File("other.bmp")));

    // Replaced after the read began.
    ahead.Start(m_bmp);
    const DibBlock wider = Make(38, 11, 24);
    ASSERT_TRUE(WriteBmpFile(m_bmp, wider.data(), wider.size()));
    EXPECT_FALSE(ahead.Take(m_bmp));

    // A TIFF libtiff fails on: nothing, and no message from the reading thread.
    const std::string bad = m_dir.File("bad.tif");
    ASSERT_TRUE(WriteUndecodableTiff(bad));
    ahead.Start(bad);
    EXPECT_FALSE(ahead.Take(bad));
    EXPECT_TRUE(m_ui.messages.empty());

    // A PDF the program reads is not read ahead: its page is asked for first.
    const std::string pdf = m_dir.File("page.pdf");
    ASSERT_TRUE(WriteTestPdf(pdf, {{72, 72, ""}}));
    ASSERT_TRUE(CDib().LoadFile(pdf));
    ahead.Start(pdf);
    EXPECT_FALSE(ahead.Take(pdf));
}

} // namespace
