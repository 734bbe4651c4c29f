#pragma once

// The script and the record of the stand-in source manager (libtwaindsm.so built for the
// tests): one source manager with one source behind it, whose behaviour each test sets and
// whose calls each test reads back, through the exported function StandInDsm_State.

#include "scan/TwainDefs.h"

#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

namespace standin {

// One image the source offers: its size and depth, the result its transfer answers with
// (TWRC_XFERDONE, TWRC_CANCEL or TWRC_FAILURE), a seed for its pixels, and whether a native
// transfer hands over a block shorter than its header claims.
struct Image {
    std::int32_t width = 5, height = 3;
    std::uint16_t bits = 8;
    TW_UINT16 result = TWRC_XFERDONE;
    std::uint8_t seed = 0;
    bool truncated = false;
};

// One triplet the source manager received.
struct Call {
    TW_UINT32 dg;
    TW_UINT16 dat, msg;
};

struct State {
    // ---- the script
    std::vector<Image> images;
    // The triplet that fails, and how.
    bool failArmed = false;
    Call fail{};
    TW_UINT16 failResult = TWRC_FAILURE, failCondition = TWCC_BUMMER;
    TW_UINT16 userSelectResult = TWRC_SUCCESS;
    bool hasDefaultSource = true, supportsCallback = true;
    // Announces the transfer through the callback from inside the enable request itself.
    bool readyInsideEnable = false;
    // The answers of DAT_EVENT requests, oldest first; none left answers TWRC_NOTDSEVENT.
    std::deque<TW_UINT16> eventAnswers;
    // The folder the source proposes its files in; memory transfers: rows sent per strip, and
    // how many more a strip claims than it wrote.
    std::string fileFolder;
    TW_UINT32 memRowsPerStrip = 2, memExtraRowsClaimed = 0;

    // ---- the record
    std::vector<Call> calls;
    TW_IDENTITY appIdentity{};
    // The manager's TWAIN state: 2 loaded, 3 open, 4 source open, 5 source enabled.
    int level = 2;
    TW_MEMREF callback = nullptr;
    TW_UINT16 showUI = 0xFFFF, fileFormatSet = 0xFFFF;
    TW_UINT32 xferMech = 0xFFFFFFFFu;
    std::string fileNameSet;
    // The transfers: images pending, the current one, whether it is under way, rows sent.
    int pending = 0, current = 0;
    bool transferring = false;
    TW_UINT32 rowsSent = 0;
    TW_UINT16 condition = TWCC_SUCCESS;

    void FailOn(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_UINT16 result = TWRC_FAILURE,
                TW_UINT16 cc = TWCC_BUMMER)
    {
        failArmed = true;
        fail = {dg, dat, msg};
        failResult = result;
        failCondition = cc;
    }
    std::size_t CountCalls(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg) const
    {
        std::size_t n = 0;
        for (const Call& c : calls)
            n += c.dg == dg && c.dat == dat && c.msg == msg;
        return n;
    }
};

inline std::uint32_t Stride(std::int32_t width, std::uint16_t bits)
{
    return ((std::uint32_t(width) * bits + 31) / 32) * 4;
}

inline void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The pixel byte of a stored row (bottom-up, as the packed bitmap keeps them).
inline std::uint8_t PixelByte(const Image& image, std::uint32_t storedRow, std::uint32_t column)
{
    return static_cast<std::uint8_t>(image.seed + storedRow * 7 + column * 3);
}

// The packed bitmap of an image: header, grey colour table for 8 bits or fewer, pixels.
inline std::vector<std::uint8_t> MakeDib(const Image& image)
{
    const std::uint32_t colours = image.bits <= 8 ? (1u << image.bits) : 0;
    const std::uint32_t stride = Stride(image.width, image.bits);
    const std::uint32_t rows = static_cast<std::uint32_t>(std::abs(image.height));
    std::vector<std::uint8_t> dib(40 + colours * 4 + std::size_t(stride) * rows, 0);
    Put32(dib, 0, 40);
    Put32(dib, 4, static_cast<std::uint32_t>(image.width));
    Put32(dib, 8, static_cast<std::uint32_t>(image.height));
    dib[12] = 1;
    dib[14] = static_cast<std::uint8_t>(image.bits);
    Put32(dib, 20, stride * rows);
    Put32(dib, 32, colours);
    for (std::uint32_t i = 0; i < colours; ++i)
        for (int c = 0; c < 3; ++c)
            dib[40 + i * 4 + c] =
                static_cast<std::uint8_t>(colours > 1 ? i * 255 / (colours - 1) : 0);
    for (std::uint32_t r = 0; r < rows; ++r)
        for (std::uint32_t c = 0; c < stride; ++c)
            dib[40 + colours * 4 + std::size_t(r) * stride + c] = PixelByte(image, r, c);
    return dib;
}

} // namespace standin

// The state; a reset to the defaults; a call of the registered callback with a message, as a
// source announcing an event does (false when none is registered).
extern "C" standin::State* StandInDsm_State();
extern "C" void StandInDsm_Reset();
extern "C" bool StandInDsm_Announce(TW_UINT16 msg);

#ifdef KURVO_STANDIN_DSM
namespace standin {

// The control functions of the test program's own copy of the stand-in, loaded once for the
// whole run so the script survives the program unloading its copy; null when it cannot be
// loaded.
struct Control {
    State* (*state)() = nullptr;
    void (*reset)() = nullptr;
    bool (*announce)(TW_UINT16) = nullptr;
};

inline const Control* Loaded()
{
    static const Control control = [] {
        Control c;
        if (void* handle = ::dlopen(KURVO_STANDIN_DSM, RTLD_NOW | RTLD_LOCAL)) {
            c.state = reinterpret_cast<State* (*)()>(::dlsym(handle, "StandInDsm_State"));
            c.reset = reinterpret_cast<void (*)()>(::dlsym(handle, "StandInDsm_Reset"));
            c.announce =
                reinterpret_cast<bool (*)(TW_UINT16)>(::dlsym(handle, "StandInDsm_Announce"));
        }
        return c;
    }();
    return control.state && control.reset && control.announce ? &control : nullptr;
}

} // namespace standin
#endif
