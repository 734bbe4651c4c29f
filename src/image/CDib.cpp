#include "image/CDib.h"

#include "image/BmpFile.h"
#include "image/PdfFile.h"
#include "image/PictureFile.h"
#include "image/PictureHeader.h"
#include "image/TiffFile.h"
#include "platform/Archive.h"
#include "platform/PagePrefault.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace {

constexpr std::uint32_t kCompressedMagic = 0x01020304;
// Larger compressed or uncompressed lengths than this cannot belong to a sound DIB.
constexpr std::uint64_t kMaxBlockLength = kMaxDibImageBytes + (std::uint64_t{1} << 20);
constexpr std::uint64_t kMaxInflateRatio = 1040;

// The room a compressed copy of length bytes is given: 1 % more plus 12 bytes, and never less
// than zlib's own bound.
std::uint64_t CompressRoom(std::uint64_t length)
{
    const std::uint64_t room = length + length / 100 + 12;
    return std::max<std::uint64_t>(room, compressBound(static_cast<uLong>(length)));
}

// Inflates a zlib stream that must hold exactly length bytes into block. A scan is a hundred
// megabytes and more: the block grows a slice at a time, each slice cleared while it is still
// in the cache and filled at once, while a helper brings in the pages ahead of it. Clearing and
// faulting in the whole block first would cost a third as much again as the inflation itself.
bool Inflate(const std::uint8_t* source, std::uint32_t packed, std::uint32_t length,
             DibBlock& block)
{
    constexpr std::size_t kSlice = std::size_t{256} << 10;
    try {
        block.reserve(length);
    } catch (const std::bad_alloc&) {
        return false;
    }
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    PagePrefault prefault(block.data(), length);
    stream.next_in = const_cast<Bytef*>(source);
    stream.avail_in = packed;
    int rc = Z_OK;
    while (rc == Z_OK && block.size() < length) {
        const std::size_t done = block.size();
        block.resize(std::min<std::size_t>(length, done + kSlice));
        stream.next_out = block.data() + done;
        stream.avail_out = static_cast<uInt>(block.size() - done);
        rc = inflate(&stream, Z_NO_FLUSH);
        block.resize(done + (block.size() - done - stream.avail_out));
    }
    // A stream that ends exactly at the length is whole; one that wants more room holds more
    // than the header claims, and one that stops short or is damaged holds less.
    if (rc == Z_OK && block.size() == length) {
        Bytef probe;
        stream.next_out = &probe;
        stream.avail_out = 1;
        rc = inflate(&stream, Z_NO_FLUSH);
        if (rc == Z_STREAM_END && stream.avail_out == 0)
            rc = Z_BUF_ERROR;
    }
    inflateEnd(&stream);
    return rc == Z_STREAM_END && block.size() == length;
}

// Takes the DIB of a block read from a project file: it has to be sound (a 40-byte header,
// which also rules out core headers, compression 0) and is cut to its DIB size.
bool TakeBlock(DibBlock& block)
{
    if (!IsSoundDib(block.data(), block.size()))
        return false;
    block.resize(static_cast<std::size_t>(DibSize(block.data())));
    return true;
}

} // namespace

CDib::CDib() = default;

CDib::CDib(const CDib& other)
{
    Assign(other);
}

CDib::CDib(const std::uint8_t* dib, std::size_t length)
{
    Assign(dib, length);
}

CDib::CDib(DibBlock&& dib)
{
    if (!IsSoundDib(dib.data(), dib.size()))
        return;
    dib.resize(static_cast<std::size_t>(DibSize(dib.data())));
    Install(std::move(dib));
    m_format = kFormatNone;
    MakePalette();
}

CDib& CDib::operator=(const CDib& other)
{
    if (this != &other)
        Assign(other);
    return *this;
}

CDib::~CDib()
{
    Clear();
}

bool CDib::Assign(const CDib& other)
{
    if (this == &other)
        return !IsEmpty();
    if (other.IsEmpty()) {
        Clear();
        m_format = kFormatNone;
        return false;
    }
    return Assign(other.m_dib.data(), other.m_dib.size());
}

bool CDib::Assign(const std::uint8_t* dib, std::size_t length)
{
    if (!IsSoundDib(dib, length)) {
        Clear();
        m_format = kFormatNone;
        return false;
    }
    DibBlock copy(dib, dib + static_cast<std::size_t>(DibSizeOf(dib)));
    DibSize(copy.data());
    Install(std::move(copy));
    m_format = kFormatNone;
    MakePalette();
    return true;
}

void CDib::Swap(CDib& other) noexcept
{
    std::swap(m_dib, other.m_dib);
    std::swap(m_format, other.m_format);
    std::swap(m_palette, other.m_palette);
    std::swap(m_cache, other.m_cache);
    std::swap(m_reduced, other.m_reduced);
}

void CDib::Install(DibBlock&& dib)
{
    Clear();
    m_dib = std::move(dib);
}

void CDib::Clear()
{
    m_sourceNote.clear();
    m_dib.clear();
    m_dib.shrink_to_fit();
    m_palette.Delete();
    ClearCache();
}

void CDib::ClearCache()
{
    m_cache.clear();
    m_reduced.reset();
}

bool CDib::LoadFile(const std::string& path, bool quiet)
{
    Clear();
    m_format = kFormatNone;
    // Only files hold images: a pipe or a device named by a project file would block the read.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        // A page of a PDF, named by its page suffix.
        const PicturePath page = SplitPicturePath(path);
        return page.page > 0 && std::filesystem::is_regular_file(page.file, ec) &&
               IsPdfFile(page.file) && LoadPdfPage(page.file, page.page, page.dpi);
    }
    if (std::optional<DibBlock> dib = ReadBmpFile(path)) {
        m_dib = std::move(*dib);
        m_format = kFormatBmp;
        return true;
    }
    if (std::optional<Picture> picture = ReadPictureFile(path)) {
        static const int formats[] = {kFormatNone, kFormatPng, kFormatJpeg, kFormatGif,
                                      kFormatWebp};
        m_dib = std::move(picture->dib);
        // Turned upright as the camera saw it: first the quarter or half turn, then the mirror.
        static const int turns[9] = {0, 0, 0, 180, 180, 90, 90, 270, 270};
        const int o = picture->orientation;
        if ((turns[o] && !Rotate(turns[o])) ||
            ((o == 2 || o == 4 || o == 5 || o == 7) && !FlipHorizontal())) {
            Clear();
            return false;
        }
        m_format = formats[static_cast<int>(picture->kind)];
        m_sourceNote = ExifNote(o);
        return true;
    }
    // "%PDF-" may also stand in the first kilobyte of a TIFF: one poppler cannot read is
    // tried as a TIFF.
    if (IsPdfFile(path) && LoadPdfPage(path, 1, kPdfDefaultDpi))
        return true;
    if (std::optional<DibBlock> dib = ReadTiffFile(path, quiet)) {
        m_dib = std::move(*dib);
        m_format = kFormatTiff;
        return true;
    }
    return false;
}

bool CDib::LoadPdfPage(const std::string& path, int page, int dpi)
{
    int count = 0;
    std::optional<DibBlock> dib = RenderPdfFile(path, page, dpi, &count);
    if (!dib)
        return false;
    m_dib = std::move(*dib);
    m_format = kFormatPdf;
    m_sourceNote = "page " + std::to_string(page) + " of " + std::to_string(count) + " at " +
                   std::to_string(dpi) + " dpi";
    return true;
}

bool CDib::SaveFile(const std::string& path, int code) const
{
    if (IsEmpty())
        return false;
    if (code == kFormatPng)
        return WritePngFile(path, *this);
    if (code != kFormatBmp)
        return false;
    return WriteBmpFile(path, m_dib.data(), m_dib.size());
}

bool CDib::ReadPlainBlock(Archive& ar)
{
    Clear();
    m_format = kFormatNone;
    if (ar.Remaining() < kFileHeaderSize)
        return false;
    std::uint8_t header[kFileHeaderSize];
    ar.ReadBytes(header, sizeof header);
    if (GetLE16(header) != kBmpType)
        return false;
    const std::uint32_t fileSize = GetLE32(header + 2);
    if (fileSize < kFileHeaderSize + kInfoHeaderSize || fileSize - kFileHeaderSize > ar.Remaining())
        return false;
    DibBlock block = ar.ReadBlock(fileSize - kFileHeaderSize);
    if (!TakeBlock(block))
        return false;
    m_dib = std::move(block);
    m_format = kFormatBmp;
    MakePalette();
    return true;
}

bool CDib::ReadCompressedBlock(Archive& ar)
{
    Clear();
    m_format = kFormatNone;
    if (ar.Remaining() < 12)
        return false;
    const std::uint32_t magic = ar.ReadU32();
    const std::uint32_t length = ar.ReadU32();
    const std::uint32_t packed = ar.ReadU32();
    if (magic != kCompressedMagic || length < kInfoHeaderSize || length > kMaxBlockLength ||
        packed > ar.Remaining())
        return false;
    // zlib cannot expand a stream more than about 1032 times: a larger claimed length is a lie,
    // refused before the room for it is allocated.
    if (length > static_cast<std::uint64_t>(packed) * kMaxInflateRatio + 64)
        return false;
    const std::uint8_t* source = ar.Bytes().data() + ar.Position();
    ar.Skip(packed);
    DibBlock block;
    if (!Inflate(source, packed, length, block) || !TakeBlock(block))
        return false;
    m_dib = std::move(block);
    m_format = kFormatBmp;
    MakePalette();
    return true;
}

bool CDib::WriteBlock(Archive& ar, int code) const
{
    if (IsEmpty() || (code != kFormatBmp && code != kFormatCompressed))
        return false;
    const std::uint64_t size = DibSizeOf(m_dib.data());
    if (code == kFormatBmp) {
        ar.WriteU16(kBmpType);
        ar.WriteU32(static_cast<std::uint32_t>(size + kFileHeaderSize));
        ar.WriteU16(0);
        ar.WriteU16(0);
        ar.WriteU32(kFileHeaderSize + kInfoHeaderSize + DibPaletteSize(m_dib.data()));
        ar.WriteBytes(m_dib.data(), static_cast<std::size_t>(size));
        return true;
    }
    DibBlock packed;
    try {
        packed.resize(static_cast<std::size_t>(CompressRoom(size)));
    } catch (const std::bad_alloc&) {
        return false;
    }
    uLongf packedLength = static_cast<uLongf>(packed.size());
    if (compress(packed.data(), &packedLength, m_dib.data(), static_cast<uLong>(size)) != Z_OK)
        return false;
    ar.WriteU32(kCompressedMagic);
    ar.WriteU32(static_cast<std::uint32_t>(size));
    ar.WriteU32(static_cast<std::uint32_t>(packedLength));
    ar.WriteBytes(packed.data(), packedLength);
    return true;
}

bool CDib::MakePalette()
{
    if (IsEmpty())
        return false;
    m_palette.Delete();
    const std::uint32_t colours = DibNumColors(m_dib.data());
    if (colours < 1) {
        m_palette.SetHalftone();
        return true;
    }
    // The colour table may be shorter than the count claims only for a 24-bit DIB, whose
    // table has no room at all; entries past the table are black.
    const std::uint32_t tableBytes = DibPaletteSize(m_dib.data());
    const std::uint8_t* table = m_dib.data() + kInfoHeaderSize;
    std::vector<Colour> entries(colours, kBlack);
    for (std::uint32_t i = 0; i < colours && 4 * i + 3 < tableBytes; ++i)
        entries[i] = MakeColour(table[4 * i + 2], table[4 * i + 1], table[4 * i]);
    m_palette.SetEntries(std::move(entries));
    return true;
}

CDib::Info CDib::GetInfo() const
{
    Info info;
    if (IsEmpty())
        return info;
    const BitmapInfoHeader h = BitmapInfoHeader::Read(m_dib.data());
    info.width = h.width;
    info.height = h.height;
    info.planes = 1;
    info.bitCount = h.bitCount;
    info.colours = static_cast<int>(DibNumColors(m_dib.data()));
    return info;
}

int CDib::Width() const
{
    return IsEmpty() ? 0 : static_cast<int>(GetLE32(m_dib.data() + 4));
}

int CDib::Height() const
{
    return IsEmpty() ? 0 : static_cast<int>(GetLE32(m_dib.data() + 8));
}

int CDib::BitCount() const
{
    return IsEmpty() ? 0 : GetLE16(m_dib.data() + 14);
}
