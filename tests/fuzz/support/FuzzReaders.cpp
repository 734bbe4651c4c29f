#include "fuzz/support/FuzzReaders.h"

#include "document/CKurvoDoc.h"
#include "image/BmpFile.h"
#include "image/CDib.h"
#include "image/DibUtil.h"
#include "image/PdfFile.h"
#include "image/PictureFile.h"
#include "image/TiffFile.h"
#include "platform/Archive.h"
#include "platform/HeadlessUiServices.h"
#include "tasks/PlotData.h"

#include <cstdio>
#include <optional>

namespace {

// A DIB the program can work on, with no bytes beyond the ones its size rules ask for.
bool SoundBlock(const DibBlock& dib)
{
    return IsSoundDib(dib.data(), dib.size()) && DibSizeOf(dib.data()) == dib.size();
}

FeedResult Judge(const std::optional<DibBlock>& dib)
{
    if (!dib)
        return FeedResult::Rejected;
    return SoundBlock(*dib) ? FeedResult::Accepted : FeedResult::Unsound;
}

// A loaded CDib is sound when its block is and its corner pixels can be asked for.
bool SoundImage(const CDib& image)
{
    if (image.IsEmpty() || !SoundBlock(image.Block()) || image.Width() < 1 || image.Height() < 1)
        return false;
    image.PixelAt(0, 0);
    image.PixelAt(image.Width() - 1, image.Height() - 1);
    return true;
}

} // namespace

void QuietUiServices()
{
    static HeadlessUiServices quiet(nullptr);
    SetUiServices(&quiet);
}

FeedResult FeedBmp(const std::uint8_t* data, std::size_t size)
{
    return Judge(ReadBmpMemory(data, size));
}

FeedResult FeedEmbeddedBlock(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return FeedResult::Rejected;
    const bool compressed = (data[0] & 1u) != 0;
    Archive ar(data + 1, size - 1);
    CDib image;
    bool ok = false;
    try {
        ok = compressed ? image.ReadCompressedBlock(ar) : image.ReadPlainBlock(ar);
    } catch (const ArchiveError&) {
        ok = false;
    }
    if (!ok)
        return image.IsEmpty() ? FeedResult::Rejected : FeedResult::Unsound;
    return SoundImage(image) ? FeedResult::Accepted : FeedResult::Unsound;
}

FeedResult FeedTiff(const std::uint8_t* data, std::size_t size)
{
    return Judge(ReadTiffMemory(data, size, "fuzz.tif"));
}

FeedResult FeedPng(const std::uint8_t* data, std::size_t size)
{
    return Judge(ReadPngMemory(data, size));
}

FeedResult FeedJpeg(const std::uint8_t* data, std::size_t size)
{
    int orientation = 1;
    const std::optional<DibBlock> dib = ReadJpegMemory(data, size, &orientation);
    if (dib && (orientation < 1 || orientation > 8))
        return FeedResult::Unsound;
    return Judge(dib);
}

FeedResult FeedGif(const std::uint8_t* data, std::size_t size)
{
    return Judge(ReadGifMemory(data, size));
}

FeedResult FeedWebp(const std::uint8_t* data, std::size_t size)
{
    return Judge(ReadWebpMemory(data, size));
}

FeedResult FeedPdf(const std::uint8_t* data, std::size_t size)
{
    return Judge(RenderPdfMemory(data, size, 1, 36));
}

FeedResult FeedProject(const std::uint8_t* data, std::size_t size, const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return FeedResult::Rejected;
    const bool written = size == 0 || std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !written)
        return FeedResult::Rejected;
    CKurvoDoc doc;
    const bool opened = doc.OnOpenDocument(path);
    std::remove(path.c_str());
    const PlotData* plot = doc.GetPlotData();
    if (!opened)
        return plot ? FeedResult::Unsound : FeedResult::Rejected;
    if (!plot || (plot->HasImage() && !SoundImage(*plot->GetImage())))
        return FeedResult::Unsound;
    return FeedResult::Accepted;
}

FeedResult FeedArchiveStrings(const std::uint8_t* data, std::size_t size)
{
    Archive ar(data, size);
    std::size_t strings = 0;
    try {
        while (!ar.AtEnd()) {
            const std::size_t before = ar.Position();
            const std::string s = ar.ReadString();
            // Every string takes its prefix and at least one byte per character.
            if (ar.Position() <= before || s.size() > ar.Position() - before)
                return FeedResult::Unsound;
            ++strings;
        }
    } catch (const ArchiveError&) {
        if (ar.Position() > size)
            return FeedResult::Unsound;
    }
    return strings > 0 ? FeedResult::Accepted : FeedResult::Rejected;
}
