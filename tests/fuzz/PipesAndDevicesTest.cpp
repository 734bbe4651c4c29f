#include "fuzz/support/SeedFiles.h"

#include "document/CKurvoDoc.h"
#include "image/CDib.h"
#include "platform/Archive.h"
#include "platform/RecordingUiServices.h"
#include "support/TempDir.h"
#include "tasks/PlotData.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
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
        m_fifo = m_dir.File("pipe.bmp");
        ASSERT_EQ(::mkfifo(m_fifo.c_str(), 0600), 0);
    }
    void TearDown() override { SetUiServices(nullptr); }

    template <typename F> bool FinishesPromptly(F&& f)
    {
        auto done = std::async(std::launch::async, std::forward<F>(f));
        const bool prompt = done.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        // Releases every read that waits on the pipe until the work is over.
        while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
            const int fd = ::open(m_fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
        return prompt;
    }

    RecordingUiServices m_ui;
    TempDir m_dir;
    std::string m_fifo;
};

TEST_F(NonRegularFiles, APipeIsNoImage)
{
    bool loaded = true;
    EXPECT_TRUE(FinishesPromptly([&] {
        CDib image;
        loaded = image.LoadFile(m_fifo);
    }));
    EXPECT_FALSE(loaded);
}

TEST_F(NonRegularFiles, AProjectReferringToAPipeFailsToOpenWithoutWaiting)
{
    // A project without an image, then the reference rewritten to name the pipe.
    CKurvoDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    doc.GetPlotData()->SetImagePath(m_fifo);
    doc.GetPlotData()->SetSaveReference(true);
    const std::string project = m_dir.File("p.kvx");
    Archive ar;
    ASSERT_NO_THROW(doc.Serialize(ar));
    ASSERT_TRUE(ar.SaveFile(project));

    bool opened = true;
    EXPECT_TRUE(FinishesPromptly([&] {
        CKurvoDoc back;
        opened = back.OnOpenDocument(project);
    }));
    EXPECT_FALSE(opened);
}

} // namespace
