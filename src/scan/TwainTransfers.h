#pragma once

#include "scan/CTwain.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The image transfers of a TWAIN session: once the source has images ready, takes them one
// after another by the mechanism chosen (native, file or memory) and hands each over through
// the hooks below. A transfer the source cancels is skipped and the next one follows; one that
// never starts gives up the images still pending, so a source that keeps offering them cannot
// hold the program in a loop.
//
// Memory: transfer buffers are heap blocks the program allocates and frees itself. A native
// transfer hands over a heap block allocated by the source (malloc or calloc, as the Linux
// source manager's memory functions do); the program checks the packed bitmap in it against
// the block's size, copies it out and frees the block with free().
class TwainTransfers : public CTwain {
public:
    // Size in bytes of the packed bitmap (header, colour table, pixels) at the start of a
    // block of `available` bytes, or 0 when it is not a sound bitmap or does not fit.
    static std::size_t PackedDibSize(const void* block, std::size_t available);

protected:
    void DoTransfers(TW_UINT16 message) override;

    // One transfer each, by mechanism.
    virtual void NativeXfer();
    virtual void FileXfer();
    virtual void MemXfer();

    // A native transfer delivered an image: the packed bitmap, owned by the receiver.
    virtual void DibReceived(std::vector<std::uint8_t> dib);
    // File transfers: the program may change the format the source proposes, or refuse the
    // file; FileXferDone gets the file written, or null when the transfer failed.
    virtual bool FileXferReady(TW_UINT16& format, TW_SETUPFILEXFER& setup);
    virtual void FileXferDone(const TW_SETUPFILEXFER* setup);
    // Memory transfers: the image's description, then its strips (by default split into
    // rows), then whether every row arrived.
    virtual bool MemXferReady(const TW_IMAGEINFO& info, const TW_SETUPMEMXFER& setup);
    virtual bool MemXferBuffer(TW_UINT32 firstRow, const TW_IMAGEMEMXFER& xfer);
    virtual bool MemXferRow(TW_UINT32 row, const TW_UINT8* data, const TW_IMAGEMEMXFER& xfer,
                            void* reserved);
    virtual void MemXferDone(bool complete);
    // The buffer the strips are written into: the source's preferred size when it names a
    // sensible one; false when none could be had.
    virtual bool AllocXferBuffer(TW_UINT32 minimum, TW_UINT32 maximum, TW_UINT32 preferred,
                                 TW_MEMORY& memory);
    virtual void FreeXferBuffer(TW_MEMORY& memory);
};
