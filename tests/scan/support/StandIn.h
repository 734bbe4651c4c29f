#pragma once

#include "platform/Profile.h"
#include "platform/RecordingUiServices.h"
#include "scan/TwainTransfers.h"
#include "scan/dsm/StandInDsmControl.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// The stand-in source manager as the tests see it: the same loaded copy CTwain finds through
// the "TwainDirectory" setting.
inline const standin::Control& StandInLib()
{
    if (!standin::Loaded())
        throw std::runtime_error("cannot load the stand-in source manager");
    return *standin::Loaded();
}
inline standin::State& StandIn()
{
    return *StandInLib().state();
}
inline bool StandInAnnounce(TW_UINT16 msg)
{
    return StandInLib().announce(msg);
}
inline std::string StandInFolder()
{
    return std::filesystem::path(KURVO_STANDIN_DSM).parent_path().string();
}

// A session that records what its hooks were told, and whose answers the test can set.
class ProbeTwain : public TwainTransfers {
public:
    ~ProbeTwain() override { DropToState(kPreSession); }

    using TwainTransfers::AllocXferBuffer;
    using TwainTransfers::FreeXferBuffer;

    std::vector<int> states, errors;
    std::vector<std::vector<std::uint8_t>> dibs;
    bool negotiateAnswer = true;
    // File transfers: what FileXferDone was given ("" for none); whether TIFF files are asked.
    std::vector<std::string> filesDone;
    bool fileReadyAnswer = true;
    // Memory transfers: the rows received, by row number, per image; and the done flags.
    std::vector<std::map<TW_UINT32, std::vector<std::uint8_t>>> memImages;
    std::vector<bool> memDone;

protected:
    // A session that keeps transferring without end fails its test instead of hanging it.
    void NativeXfer() override { Count(), TwainTransfers::NativeXfer(); }
    void FileXfer() override { Count(), TwainTransfers::FileXfer(); }
    void MemXfer() override { Count(), TwainTransfers::MemXfer(); }
    bool NegotiateCapabilities() override { return negotiateAnswer; }
    void DibReceived(std::vector<std::uint8_t> dib) override { dibs.push_back(std::move(dib)); }
    bool MemXferRow(TW_UINT32 row, const TW_UINT8* data, const TW_IMAGEMEMXFER& xfer,
                    void*) override
    {
        // Copies: the TWAIN structures are packed, their fields may not bind to references.
        const TW_UINT32 strip = xfer.Rows * xfer.BytesPerRow, room = xfer.Memory.Length;
        EXPECT_LE(strip, room) << "a strip beyond the buffer";
        if (row == 0)
            memImages.emplace_back();
        memImages.back()[row].assign(data, data + xfer.BytesPerRow);
        return true;
    }
    void MemXferDone(bool complete) override { memDone.push_back(complete); }
    bool FileXferReady(TW_UINT16& format, TW_SETUPFILEXFER&) override
    {
        format = TWFF_TIFF;
        return fileReadyAnswer;
    }
    void FileXferDone(const TW_SETUPFILEXFER* setup) override
    {
        filesDone.push_back(setup ? std::string(setup->FileName) : std::string());
    }
    void StateChanged(int state) override { states.push_back(state); }
    void TwainError(int code) override { errors.push_back(code); }

private:
    void Count()
    {
        if (++m_transfers > 1000)
            throw std::runtime_error("transfers do not come to an end");
    }
    int m_transfers = 0;
};

// Every scanner test starts with a fresh stand-in, settings that point at it, recording user
// services, an empty event queue and a folder for file transfers.
class StandInTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StandInLib().reset();
        m_settings.WriteString("Settings", "TwainDirectory", StandInFolder());
        CTwain::SetSettings(&m_settings);
        CTwain::ResetAvailability();
        CTwain::SourceEvents().Clear();
        CTwain::SourceEvents().SetNotifier(nullptr);
        SetUiServices(&m_ui);
        StandIn().fileFolder = m_files.Path().string();
    }
    void TearDown() override
    {
        SetUiServices(nullptr);
        CTwain::SetSettings(nullptr);
        CTwain::SourceEvents().SetNotifier(nullptr); // it may see the test's locals
    }
    // The stand-in offers these images, all of the given size and depth.
    void OfferImages(int count, std::int32_t width = 5, std::int32_t height = 3,
                     std::uint16_t bits = 8)
    {
        StandIn().images.clear();
        for (int i = 0; i < count; ++i)
            StandIn().images.push_back(
                {width, height, bits, TWRC_XFERDONE, static_cast<std::uint8_t>(17 * (i + 1))});
    }
    // Opens and enables the source and lets it announce a transfer through the callback.
    void AcquireAndAnnounce(TwainTransfers& twain)
    {
        ASSERT_TRUE(twain.BeginAcquire());
        ASSERT_EQ(twain.GetState(), CTwain::kSourceEnabled);
        ASSERT_TRUE(StandInAnnounce(MSG_XFERREADY));
        twain.DispatchSourceEvents();
    }

    MemoryProfile m_settings;
    RecordingUiServices m_ui;
    TempDir m_files;
};
