#pragma once

#include "platform/Profile.h"
#include "platform/RecordingUiServices.h"
#include "scan/CTwain.h"
#include "scan/dsm/StandInDsmControl.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// The stand-in source manager as the tests see it: the same loaded copy CTwain finds through
// the "TwainDirectory" setting.
standin::State& StandIn();
bool StandInAnnounce(TW_UINT16 msg);
// The folder holding the stand-in libtwaindsm.so.
std::string StandInFolder();

// A session that records what its hooks were told, and whose answers the test can set.
class ProbeTwain : public CTwain {
public:
    ~ProbeTwain() override { DropToState(kPreSession); }

    using CTwain::SetState;

    std::vector<int> states;
    std::vector<int> errors;
    std::vector<std::vector<std::uint8_t>> dibs;
    int closeRequests = 0;
    // File transfers: what FileXferDone was given ("" for none).
    std::vector<std::string> filesDone;
    bool fileReadyAnswer = true;
    TW_UINT16 fileFormatWanted = 0xFFFF; // 0xFFFF keeps the proposed format
    // Memory transfers: the rows received, by row number, per image; and the done flags.
    std::vector<std::map<TW_UINT32, std::vector<std::uint8_t>>> memImages;
    std::vector<bool> memDone;
    TW_MEMORY bufferGiven{};
    bool negotiateAnswer = true;
    // How many container allocations fail before one succeeds (-1: all fail).
    int containerFailures = 0;

    int transfers = 0;

protected:
    // A session that keeps transferring without end fails its test instead of hanging it.
    void CountTransfer()
    {
        if (++transfers > 1000)
            throw std::runtime_error("transfers do not come to an end");
    }
    void NativeXfer() override
    {
        CountTransfer();
        CTwain::NativeXfer();
    }
    void FileXfer() override
    {
        CountTransfer();
        CTwain::FileXfer();
    }
    void MemXfer() override
    {
        CountTransfer();
        CTwain::MemXfer();
    }
    bool NegotiateCapabilities() override { return negotiateAnswer; }
    void CloseSourceRequested() override
    {
        ++closeRequests;
        CTwain::CloseSourceRequested();
    }
    void DibReceived(std::vector<std::uint8_t> dib) override { dibs.push_back(std::move(dib)); }
    bool MemXferReady(const TW_IMAGEINFO& info, const TW_SETUPMEMXFER& setup) override
    {
        memImages.emplace_back();
        return CTwain::MemXferReady(info, setup);
    }
    bool MemXferRow(TW_UINT32 row, const TW_UINT8* data, const TW_IMAGEMEMXFER& xfer,
                    void*) override
    {
        memImages.back()[row].assign(data, data + xfer.BytesPerRow);
        return true;
    }
    void MemXferDone(bool complete) override { memDone.push_back(complete); }
    bool AllocXferBuffer(TW_UINT32 minimum, TW_UINT32 maximum, TW_UINT32 preferred,
                         TW_MEMORY& memory) override
    {
        bool ok = CTwain::AllocXferBuffer(minimum, maximum, preferred, memory);
        bufferGiven = memory;
        return ok;
    }
    bool FileXferReady(TW_UINT16& format, TW_SETUPFILEXFER& setup) override
    {
        if (fileFormatWanted != 0xFFFF)
            format = fileFormatWanted;
        return fileReadyAnswer && CTwain::FileXferReady(format, setup);
    }
    void FileXferDone(const TW_SETUPFILEXFER* setup) override
    {
        filesDone.push_back(setup ? std::string(setup->FileName) : std::string());
    }
    void StateChanged(int state) override { states.push_back(state); }
    void TwainError(int code) override { errors.push_back(code); }
    void* AllocContainer(std::size_t size) override
    {
        if (containerFailures != 0) {
            if (containerFailures > 0)
                --containerFailures;
            return nullptr;
        }
        return CTwain::AllocContainer(size);
    }
};

// Every scanner test starts with a fresh stand-in, settings that point at it, recording user
// services and an empty event queue.
class StandInTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The stand-in offers these images, all of the given size and depth.
    void OfferImages(int count, std::int32_t width = 5, std::int32_t height = 3,
                     std::uint16_t bits = 8);

    MemoryProfile m_settings;
    RecordingUiServices m_ui;
};
