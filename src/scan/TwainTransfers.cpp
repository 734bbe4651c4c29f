#include "scan/TwainTransfers.h"

#include "image/DibUtil.h"

#include <malloc.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

void TwainTransfers::DoTransfers(TW_UINT16)
{
    for (;;) {
        ForgetReachedTransferring();
        switch (GetTransferMechanism()) {
        case TWSX_FILE:
            FileXfer();
            break;
        case TWSX_MEMORY:
            MemXfer();
            break;
        default:
            NativeXfer();
            break;
        }
        if (GetState() == kTransferReady) {
            if (ReachedTransferring())
                continue;
            // The transfer never started and the source still offers it: trying again
            // would go round for ever, so the pending transfers are given up.
            if (!CancelXfers())
                return;
        } else if (GetState() == kTransferring) {
            DropToState(kSourceEnabled);
            return;
        }
        return;
    }
}

void TwainTransfers::NativeXfer()
{
    TW_HANDLE handle = nullptr;
    if (!CallSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle))
        Trace("TWAIN:NativeXfer failed.\n");
    // Only a completed transfer hands over a block.
    bool received = GetLastResult() == TWRC_XFERDONE && handle != nullptr;
    EndXfer();
    PumpPendingMessages();
    if (!received)
        return;
    std::vector<std::uint8_t> dib;
    std::size_t size = PackedDibSize(handle, ::malloc_usable_size(handle));
    if (size != 0) {
        const auto* bytes = static_cast<const std::uint8_t*>(handle);
        dib.assign(bytes, bytes + size);
    } else {
        Trace("TWAIN:NativeXfer delivered no usable bitmap.\n");
    }
    std::free(handle);
    if (!dib.empty())
        DibReceived(std::move(dib));
}

void TwainTransfers::FileXfer()
{
    TW_SETUPFILEXFER setup{};
    if (!CallSource(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &setup)) {
        FileXferDone(nullptr);
        return;
    }
    setup.FileName[sizeof setup.FileName - 1] = '\0';
    TW_UINT16 format = setup.Format;
    if (!FileXferReady(format, setup))
        return;
    setup.Format = format;
    if (!CallSource(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup)) {
        FileXferDone(nullptr);
        return;
    }
    if (!CallSource(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr)) {
        FileXferDone(nullptr);
        // A cancelled file still ends its transfer, so the next pending image can follow.
        if (GetState() == kTransferring)
            EndXfer();
        return;
    }
    EndXfer();
    PumpPendingMessages();
    FileXferDone(&setup);
}

void TwainTransfers::MemXfer()
{
    TW_IMAGEINFO info{};
    TW_SETUPMEMXFER setup{};
    if (!CallSource(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) ||
        !CallSource(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup))
        return;
    if (!MemXferReady(info, setup))
        return;
    TW_MEMORY memory{};
    if (!AllocXferBuffer(setup.MinBufSize, setup.MaxBufSize, setup.Preferred, memory) ||
        !memory.TheMem) {
        MemXferDone(false);
        return;
    }
    const TW_MEMORY buffer = memory;
    std::int64_t rowsDone = 0;
    const std::int64_t imageLength = info.ImageLength > 0 ? info.ImageLength : 0;
    bool done = false;
    for (;;) {
        TW_IMAGEMEMXFER strip{};
        strip.Compression = 0xFFFF;
        strip.BytesPerRow = 0xFFFFFFFFu;
        strip.Columns = 0xFFFFFFFFu;
        strip.Rows = 0xFFFFFFFFu;
        strip.XOffset = 0xFFFFFFFFu;
        strip.YOffset = 0xFFFFFFFFu;
        strip.BytesWritten = 0xFFFFFFFFu;
        strip.Memory = buffer;
        if (!CallSource(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip))
            break;
        bool last = GetLastResult() == TWRC_XFERDONE;
        // The strip is read from the program's own buffer, never further than it reaches.
        strip.Memory = buffer;
        std::int64_t rows = std::min<std::int64_t>(strip.Rows, imageLength - rowsDone);
        if (strip.BytesPerRow > 0)
            rows = std::min<std::int64_t>(rows, buffer.Length / strip.BytesPerRow);
        if (rows > 0) {
            strip.Rows = static_cast<TW_UINT32>(rows);
            if (!MemXferBuffer(static_cast<TW_UINT32>(rowsDone), strip))
                break;
            rowsDone += rows;
        }
        if (last) {
            done = true;
            break;
        }
    }
    FreeXferBuffer(memory);
    EndXfer();
    PumpPendingMessages();
    MemXferDone(done && rowsDone == imageLength);
}

std::size_t TwainTransfers::PackedDibSize(const void* block, std::size_t available)
{
    // A source may hand over any header from 40 bytes up, a colour table, bit fields or run
    // lengths; what the document can take is its own affair.
    constexpr std::uint32_t kLargestHeader = 1024;
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 31;
    if (!block || available < kInfoHeaderSize)
        return 0;
    const auto* dib = static_cast<const std::uint8_t*>(block);
    const BitmapInfoHeader h = BitmapInfoHeader::Read(dib);
    if (h.size < kInfoHeaderSize || h.size > kLargestHeader || h.planes != 1)
        return 0;
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN || !IsDibBitCount(h.bitCount))
        return 0;

    std::uint64_t colours = 0;
    if (h.bitCount <= 8) {
        const std::uint32_t most = 1u << h.bitCount;
        colours = h.clrUsed != 0 ? h.clrUsed : most;
        if (colours > most)
            return 0;
    } else if (h.clrUsed != 0) {
        if (h.clrUsed > 256)
            return 0;
        colours = h.clrUsed;
    }
    const std::uint64_t stride = DibRowBytes(dib);
    std::uint64_t pixels = DibImageSize(dib);
    std::uint64_t masks = 0;
    switch (h.compression) {
    case kBiRgb:
        break;
    case kBiBitFields:
        if (h.bitCount != 16 && h.bitCount != 32)
            return 0;
        if (h.size == kInfoHeaderSize)
            masks = 12;
        break;
    case kBiRle8:
    case kBiRle4:
        if (h.bitCount != (h.compression == kBiRle8 ? 8 : 4) || h.sizeImage == 0 || h.height < 0)
            return 0;
        pixels = h.sizeImage;
        break;
    default:
        return 0;
    }
    const std::uint64_t total = h.size + masks + colours * 4 + pixels;
    if (stride > kLimit || pixels > kLimit || total > kLimit || total > available)
        return 0;
    return static_cast<std::size_t>(total);
}

// ---- default hooks

void TwainTransfers::DibReceived(std::vector<std::uint8_t>)
{
}

bool TwainTransfers::MemXferReady(const TW_IMAGEINFO&, const TW_SETUPMEMXFER&)
{
    return true;
}

bool TwainTransfers::MemXferBuffer(TW_UINT32 firstRow, const TW_IMAGEMEMXFER& xfer)
{
    const auto* data = static_cast<const TW_UINT8*>(xfer.Memory.TheMem);
    for (TW_UINT32 i = 0; i < xfer.Rows; ++i) {
        MemXferRow(firstRow + i, data, xfer, nullptr);
        data += xfer.BytesPerRow;
    }
    return true;
}

bool TwainTransfers::MemXferRow(TW_UINT32, const TW_UINT8*, const TW_IMAGEMEMXFER&, void*)
{
    return true;
}

void TwainTransfers::MemXferDone(bool)
{
}

bool TwainTransfers::AllocXferBuffer(TW_UINT32 minimum, TW_UINT32 maximum, TW_UINT32 preferred,
                                     TW_MEMORY& memory)
{
    constexpr TW_UINT32 kDontCare = 0xFFFFFFFFu;
    constexpr TW_UINT32 kFallback = 64 * 1024;
    constexpr TW_UINT32 kLargest = 64 * 1024 * 1024;
    // A source that does not care about the size, or names an absurd one, gets a sensible
    // buffer within its limits rather than whatever the number says.
    TW_UINT32 size = preferred;
    if (size == 0 || size == kDontCare) {
        size = (minimum != 0 && minimum != kDontCare) ? std::max(minimum, kFallback) : kFallback;
        if (maximum != 0 && maximum != kDontCare)
            size = std::min(size, maximum);
    }
    memory = TW_MEMORY{};
    if (size == 0 || size > kLargest)
        return false;
    memory.TheMem = std::malloc(size);
    if (!memory.TheMem)
        return false;
    memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
    memory.Length = size;
    return true;
}

void TwainTransfers::FreeXferBuffer(TW_MEMORY& memory)
{
    std::free(memory.TheMem);
    memory.TheMem = nullptr;
    memory.Length = 0;
}

bool TwainTransfers::FileXferReady(TW_UINT16&, TW_SETUPFILEXFER&)
{
    return true;
}

void TwainTransfers::FileXferDone(const TW_SETUPFILEXFER*)
{
}
