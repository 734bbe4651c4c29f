#include "document/CKurvoDoc.h"
#include "image/CDib.h"
#include "platform/Archive.h"
#include "platform/RecordingUiServices.h"
#include "support/TempDir.h"
#include "tasks/PlotData.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A named pipe nobody writes to: a reader that opens it waits for ever. Each open is run on
// a thread of its own so that a blocked read fails the test instead of hanging it; the pipe's
// writing end is then opened again and again to release such reads.
class NonRegularFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUiServices(&m_ui);
        ASSERT_EQ(::mkfifo(m_fifo.c_str(), 0600), 0);
    }
    void TearDown() override { SetUiServices(nullptr); }

    // Whether f returned promptly with false.
    bool FailsPromptly(std::function<bool()> f)
    {
        auto done = std::async(std::launch::async, std::move(f));
        const bool prompt = done.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
            const int fd = ::open(m_fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
        return prompt && !done.get();
    }

    RecordingUiServices m_ui;
    TempDir m_dir;
    const std::string m_fifo = m_dir.File("pipe.bmp");
};

TEST_F(NonRegularFiles, APipeIsNoImageAndAProjectReferringToOneFailsToOpen)
{
    EXPECT_TRUE(FailsPromptly([&] { return CDib().LoadFile(m_fifo); }));

    // A project without an image whose reference names the pipe.
    CKurvoDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    doc.GetPlotData()->SetImagePath(m_fifo);
    doc.GetPlotData()->SetSaveReference(true);
    const std::string project = m_dir.File("p.kvx");
    Archive ar;
    ASSERT_NO_THROW(doc.Serialize(ar));
    ASSERT_TRUE(ar.SaveFile(project));
    EXPECT_TRUE(FailsPromptly([&] { return CKurvoDoc().OnOpenDocument(project); }));
}

} // namespace
