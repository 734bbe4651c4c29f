#include "image/TiffFile.h"

#include "platform/UiServices.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// libtiff's errors about one file, kept while it is read. The handlers belong to the handle,
// so a read touches no state shared with other threads (the desktop program reads the file
// named on its command line on a thread of its own), and the messages are shown by the
// reader once libtiff is done with the file.
struct TiffErrors {
    // The file being read, for the title of the messages.
    std::string file;
    std::vector<std::string> texts;
};

// Keeps libtiff's text, preceded by the part of libtiff that reported it when that is not the
// file itself. Without a list the error is dropped. Either way it counts as handled, so that
// the process-wide handler is not called.
int KeepError(TIFF*, void* user, const char* module, const char* format, va_list args)
{
    auto* errors = static_cast<TiffErrors*>(user);
    if (!errors)
        return 1;
    char message[1024];
    std::vsnprintf(message, sizeof message, format, args);
    std::string text = message;
    if (module && *module && errors->file != module)
        text = std::string(module) + ": " + text;
    errors->texts.push_back(std::move(text));
    return 1;
}

int DropWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

struct OptionsFree {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};

struct RasterFree {
    void operator()(void* p) const { _TIFFfree(p); }
};

// The put routine of the black-and-white path: the get routine below writes the rows itself.
void BwPut(TIFFRGBAImage*, std::uint32_t*, std::uint32_t, std::uint32_t, std::uint32_t,
           std::uint32_t, std::int32_t, std::int32_t, unsigned char*)
{
}

// Reads the 1-bit rows strip by strip straight into the raster, laid out as the rows of a
// bottom-up 1-bit DIB padded to 4 bytes.
int BwGet(TIFFRGBAImage* img, std::uint32_t* raster, std::uint32_t w, std::uint32_t h)
{
    TIFF* tif = img->tif;
    const tmsize_t stripSize = TIFFStripSize(tif);
    std::unique_ptr<void, RasterFree> buffer(stripSize > 0 ? _TIFFmalloc(stripSize) : nullptr);
    if (!buffer) {
        TIFFErrorExtR(tif, TIFFFileName(tif), "No space for strip buffer");
        return 0;
    }
    std::memset(buffer.get(), 0, static_cast<std::size_t>(stripSize));
    auto* strip = static_cast<std::uint8_t*>(buffer.get());

    std::int64_t y = 0;
    std::int64_t step = 1;
    switch (img->orientation) {
    case ORIENTATION_TOPLEFT:
        y = static_cast<std::int64_t>(h) - 1;
        step = -1;
        break;
    case ORIENTATION_BOTLEFT:
        break;
    case ORIENTATION_BOTRIGHT:
    case ORIENTATION_RIGHTBOT:
    case ORIENTATION_LEFTBOT:
        TIFFWarningExtR(tif, TIFFFileName(tif), "using bottom-left orientation");
        break;
    default:
        TIFFWarningExtR(tif, TIFFFileName(tif), "using top-left orientation");
        y = static_cast<std::int64_t>(h) - 1;
        step = -1;
        break;
    }
    const std::uint64_t rasterRow = DibRowBytes(w, 1);
    auto* out = reinterpret_cast<std::uint8_t*>(raster);

    std::uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    rowsPerStrip = std::clamp<std::uint32_t>(rowsPerStrip, 1, std::max<std::uint32_t>(h, 1));
    const tmsize_t scanline = TIFFScanlineSize(tif);
    const std::size_t lineBytes = (static_cast<std::size_t>(w) + 7) / 8;
    const std::size_t skew = img->width > w ? (img->width - w) / 8 : 0;
    const std::size_t advance = lineBytes + skew;
    // Bits past the last pixel of a row are padding and stay clear whatever the file holds.
    const std::uint8_t lastByteMask = static_cast<std::uint8_t>(0xFF00u >> (((w - 1) & 7u) + 1));
    if (scanline <= 0 || static_cast<std::size_t>(scanline) < lineBytes)
        return 0;

    for (std::uint32_t row = 0; row < h;) {
        const std::uint32_t fileRow = row + static_cast<std::uint32_t>(img->row_offset);
        const std::uint32_t inStrip = fileRow % rowsPerStrip;
        const std::uint32_t rows = std::min(rowsPerStrip - inStrip, h - row);
        const std::uint64_t need =
            static_cast<std::uint64_t>(inStrip + rows) * static_cast<std::uint64_t>(scanline);
        if (need > static_cast<std::uint64_t>(stripSize))
            return 0;
        if (TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, fileRow, 0), strip,
                                 static_cast<tmsize_t>(need)) < 0 &&
            img->stoponerr)
            return 0;
        const std::uint8_t* src = strip + static_cast<std::uint64_t>(inStrip) * scanline;
        for (std::uint32_t i = 0; i < rows; ++i) {
            std::uint8_t* line = out + static_cast<std::uint64_t>(y) * rasterRow;
            std::memcpy(line, src, lineBytes);
            line[lineBytes - 1] &= lastByteMask;
            y += step;
            src += advance;
        }
        row += rows;
    }
    return 1;
}

// A file held in memory, read through libtiff's client interface.
struct MemoryFile {
    const std::uint8_t* data;
    std::uint64_t size;
    std::uint64_t pos = 0;
};

tmsize_t MemoryRead(thandle_t handle, void* buffer, tmsize_t size)
{
    auto* f = static_cast<MemoryFile*>(handle);
    if (size <= 0 || f->pos >= f->size)
        return 0;
    const std::uint64_t n =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(size), f->size - f->pos);
    std::memcpy(buffer, f->data + f->pos, static_cast<std::size_t>(n));
    f->pos += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t MemoryWrite(thandle_t, void*, tmsize_t)
{
    return -1;
}

toff_t MemorySeek(thandle_t handle, toff_t offset, int whence)
{
    auto* f = static_cast<MemoryFile*>(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = f->pos;
    else if (whence == SEEK_END)
        base = f->size;
    else if (whence != SEEK_SET)
        return static_cast<toff_t>(-1);
    // Offsets are unsigned: one that wraps around is a seek before the start.
    if (offset > UINT64_MAX - base)
        return static_cast<toff_t>(-1);
    f->pos = base + offset;
    return f->pos;
}

int MemoryClose(thandle_t)
{
    return 0;
}

toff_t MemorySize(thandle_t handle)
{
    return static_cast<MemoryFile*>(handle)->size;
}

int MemoryMap(thandle_t, void**, toff_t*)
{
    return 0;
}

void MemoryUnmap(thandle_t, void*, toff_t)
{
}

// Opens the file for reading: from its path, or from memory when data is set. libtiff's errors
// go to errors, or nowhere without it; its warnings are dropped.
TIFF* OpenTiff(const std::string& name, MemoryFile* memory, TiffErrors* errors)
{
    std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), KeepError, errors);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), DropWarning, nullptr);
    // Not mapped: strips are read into libtiff's buffer one at a time, so a large scan costs
    // its DIB and one strip rather than its DIB and the whole file.
    if (!memory)
        return TIFFOpenExt(name.c_str(), "rm", options.get());
    memory->pos = 0;
    return TIFFClientOpenExt(name.c_str(), "rm", memory, MemoryRead, MemoryWrite, MemorySeek,
                             MemoryClose, MemorySize, MemoryMap, MemoryUnmap, options.get());
}

// The most bytes one stored byte of image data can decode to, for the compressions with a
// firm limit; 0 for the others. Deflate stops at 1032, PackBits at 128 (a two-byte run of
// 128), LZW at 4096 (the longest string of a code of at least 9 bits, rounded up).
std::uint64_t MaxExpansion(std::uint16_t compression)
{
    switch (compression) {
    case COMPRESSION_NONE:
        return 1;
    case COMPRESSION_PACKBITS:
        return 128;
    case COMPRESSION_DEFLATE:
    case COMPRESSION_ADOBE_DEFLATE:
        return 1032;
    case COMPRESSION_LZW:
        return 4096;
    default:
        return 0;
    }
}

// Whether the strips or tiles the file holds can be the image its header claims. A few bytes
// that claim a large picture are refused before any room is made for it. The estimate of the
// decoded size is kept low (a sixteenth) so that no readable file is refused.
bool DataCanHoldImage(TIFF* tif)
{
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    const std::uint64_t expansion = MaxExpansion(compression);
    if (expansion == 0)
        return true;
    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 1, samples = 1;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    if (width > kMaxDibSide || height > kMaxDibSide)
        return true; // out of bounds whatever the data: refused further on
    // Capping the bits per pixel keeps the product in range and the estimate low.
    const std::uint64_t pixelBits = std::min<std::uint64_t>(std::uint64_t{bits} * samples, 128);
    const std::uint64_t decoded = std::uint64_t{width} * height * pixelBits / 8 / 16;

    const bool tiled = TIFFIsTiled(tif) != 0;
    const std::uint64_t chunks = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    std::uint64_t* counts = nullptr;
    if (!TIFFGetField(tif, tiled ? TIFFTAG_TILEBYTECOUNTS : TIFFTAG_STRIPBYTECOUNTS, &counts) ||
        !counts)
        return true; // libtiff reports the missing counts itself
    const std::uint64_t fileSize = TIFFGetSizeProc(tif)(TIFFClientdata(tif));
    std::uint64_t stored = 0;
    for (std::uint64_t i = 0; i < chunks && stored < fileSize; ++i)
        stored += std::min(counts[i], fileSize);
    stored = std::min(stored, fileSize);
    return decoded / expansion <= stored;
}

// 8 bits of a 16-bit sample, rounded.
std::uint8_t Scale16(std::uint16_t v)
{
    return static_cast<std::uint8_t>((std::uint32_t{v} * 255 + 32767) / 65535);
}

// The layouts read strip by strip straight into their DIB: top-left rows of unsigned 8- or
// 16-bit samples in strips, as RGB (24-bit DIB), grey or palette (8-bit DIB). Everything else
// takes libtiff's RGBA path.
struct DirectLayout {
    std::uint16_t photometric = 0;
    std::uint16_t bits = 0;
    std::uint16_t samples = 0;
};

std::optional<DirectLayout> FindDirectLayout(TIFF* tif)
{
    DirectLayout l;
    std::uint16_t planar = PLANARCONFIG_CONTIG, format = SAMPLEFORMAT_UINT;
    std::uint16_t orientation = ORIENTATION_TOPLEFT, extra = 0;
    std::uint16_t* extraTypes = nullptr;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &l.bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extra, &extraTypes);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &l.photometric) || TIFFIsTiled(tif) ||
        planar != PLANARCONFIG_CONTIG || format != SAMPLEFORMAT_UINT ||
        orientation != ORIENTATION_TOPLEFT || extra != 0 || (l.bits != 8 && l.bits != 16))
        return std::nullopt;
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    // JPEG data may hold YCbCr under an RGB tag; libtiff's RGBA path converts it.
    if (compression == COMPRESSION_OJPEG || compression == COMPRESSION_JPEG)
        return std::nullopt;
    const bool rgb = l.photometric == PHOTOMETRIC_RGB && l.samples == 3;
    const bool grey =
        (l.photometric == PHOTOMETRIC_MINISBLACK || l.photometric == PHOTOMETRIC_MINISWHITE) &&
        l.samples == 1;
    const bool palette = l.photometric == PHOTOMETRIC_PALETTE && l.samples == 1 && l.bits == 8;
    if (!rgb && !grey && !palette)
        return std::nullopt;
    return l;
}

// Where the strips of a direct layout go: the picture's shape and the DIB's pixel rows.
struct StripRows {
    DirectLayout layout;
    std::uint32_t width, height, rowsPerStrip;
    tmsize_t stripSize, scanline;
    std::uint8_t* bits;
    std::uint64_t dibRow;
};

// Decodes the strips holding rows first ... end - 1 (first at the start of a strip) one at a
// time, each row turned into the DIB's bottom-up, blue-first form.
bool ReadStripRows(TIFF* tif, const StripRows& r, std::uint32_t first, std::uint32_t end)
{
    std::unique_ptr<void, RasterFree> buffer(_TIFFmalloc(r.stripSize));
    if (!buffer)
        return false;
    auto* strip = static_cast<std::uint8_t*>(buffer.get());
    const DirectLayout& l = r.layout;
    const std::size_t values = static_cast<std::size_t>(r.width) * l.samples;
    for (std::uint32_t row = first; row < end; row += r.rowsPerStrip) {
        const std::uint32_t rows = std::min(r.rowsPerStrip, end - row);
        const tmsize_t want = static_cast<tmsize_t>(rows) * r.scanline;
        if (TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, row, 0), strip, want) < 0)
            return false;
        for (std::uint32_t i = 0; i < rows; ++i) {
            const std::uint8_t* src = strip + static_cast<std::uint64_t>(i) * r.scanline;
            std::uint8_t* d =
                r.bits + static_cast<std::uint64_t>(r.height - 1 - row - i) * r.dibRow;
            if (l.bits == 16) {
                // libtiff hands 16-bit samples in the machine's order.
                const auto* s16 = reinterpret_cast<const std::uint16_t*>(src);
                if (l.samples == 1) {
                    for (std::size_t x = 0; x < values; ++x)
                        d[x] = Scale16(s16[x]);
                } else {
                    for (std::size_t x = 0; x < values; x += 3) {
                        d[x] = Scale16(s16[x + 2]);
                        d[x + 1] = Scale16(s16[x + 1]);
                        d[x + 2] = Scale16(s16[x]);
                    }
                }
            } else if (l.samples == 1) {
                std::memcpy(d, src, values);
            } else {
                RgbToBgr(src, d, r.width);
            }
        }
    }
    return true;
}

// Opens another handle on the file being read, its errors going to the list given.
using TiffOpener = std::function<TIFF*(TiffErrors*)>;

// The DIB of a direct layout: its colour table, then the strips. With reopen, a large picture
// is read on two threads.
std::optional<DibBlock> ReadDirect(TIFF* tif, const DirectLayout& l, std::uint32_t width,
                                   std::uint32_t height, const TiffOpener& reopen,
                                   TiffErrors* errors)
{
    BitmapInfoHeader h;
    h.bitCount = l.photometric == PHOTOMETRIC_RGB ? 24 : 8;
    std::uint8_t table[256 * 4] = {};
    if (l.photometric == PHOTOMETRIC_PALETTE) {
        std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue))
            return std::nullopt;
        // Old writers store 8-bit entries in the 16-bit map: then no entry is above 255.
        bool eightBit = true;
        for (int i = 0; i < 256; ++i)
            eightBit = eightBit && red[i] < 256 && green[i] < 256 && blue[i] < 256;
        for (int i = 0; i < 256; ++i) {
            const std::uint16_t c[3] = {blue[i], green[i], red[i]};
            for (int k = 0; k < 3; ++k)
                table[4 * i + k] = eightBit ? static_cast<std::uint8_t>(c[k]) : Scale16(c[k]);
        }
    } else if (h.bitCount == 8) {
        const bool whiteIsZero = l.photometric == PHOTOMETRIC_MINISWHITE;
        for (int i = 0; i < 256; ++i)
            std::memset(table + 4 * i, whiteIsZero ? 255 - i : i, 3);
    }
    if (h.bitCount == 8)
        h.clrUsed = 256;
    std::optional<DibBlock> dib =
        MakeDib(h, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), table);
    if (!dib)
        return std::nullopt;

    const tmsize_t stripSize = TIFFStripSize(tif);
    const tmsize_t scanline = TIFFScanlineSize(tif);
    const std::uint64_t lineBytes = std::uint64_t{width} * l.samples * (l.bits / 8);
    std::uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    rowsPerStrip = std::clamp<std::uint32_t>(rowsPerStrip, 1, height);
    if (stripSize <= 0 || scanline <= 0 || static_cast<std::uint64_t>(scanline) < lineBytes ||
        static_cast<std::uint64_t>(stripSize) < std::uint64_t{rowsPerStrip} * lineBytes)
        return std::nullopt;
    const StripRows rows{l,
                         width,
                         height,
                         rowsPerStrip,
                         stripSize,
                         scanline,
                         FindDibBits(dib->data()),
                         DibRowBytes(dib->data())};

    // A large picture is read in two halves at once, the second through a handle of its own:
    // decoding, turning the rows and the first touch of the DIB's memory share the work.
    constexpr std::uint64_t kSplitAbove = std::uint64_t{16} << 20;
    const std::uint32_t strips = (height - 1) / rowsPerStrip + 1;
    std::uint32_t middle = height; // the rows from here on are read by a second thread
    if (reopen && strips >= 2 && lineBytes * height > kSplitAbove &&
        std::thread::hardware_concurrency() >= 2)
        middle = strips / 2 * rowsPerStrip;
    TiffErrors secondErrors{errors ? errors->file : std::string(), {}};
    bool secondOk = true;
    std::optional<std::thread> second;
    if (middle < height) {
        try {
            second.emplace([&, middle] {
                std::unique_ptr<TIFF, TiffCloser> other(reopen(errors ? &secondErrors : nullptr));
                secondOk = other && ReadStripRows(other.get(), rows, middle, height);
            });
        } catch (const std::system_error&) {
            middle = height; // no thread to spare: this one reads it all
        }
    }
    const bool firstOk = ReadStripRows(tif, rows, 0, middle);
    if (second) {
        second->join();
        if (errors)
            errors->texts.insert(errors->texts.end(), secondErrors.texts.begin(),
                                 secondErrors.texts.end());
    }
    if (!firstOk || !secondOk)
        return std::nullopt;
    return dib;
}

bool ProbeTiff(const std::string& name, MemoryFile* memory)
{
    TIFF* tif = OpenTiff(name, memory, nullptr);
    if (!tif)
        return false;
    TIFFClose(tif);
    return true;
}

std::optional<DibBlock> ReadTiffImage(const std::string& path, MemoryFile* memory,
                                      TiffErrors* errors)
{
    if (!ProbeTiff(path, memory))
        return std::nullopt;
    std::unique_ptr<TIFF, TiffCloser> tif(OpenTiff(path, memory, errors));
    if (!tif)
        return std::nullopt;
    if (!DataCanHoldImage(tif.get()))
        return std::nullopt;
    if (const std::optional<DirectLayout> layout = FindDirectLayout(tif.get())) {
        std::uint32_t width = 0, height = 0;
        TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
        if (width < 1 || height < 1 || width > kMaxDibSide || height > kMaxDibSide)
            return std::nullopt;
        // A file in memory gets a reader of its own for the second handle.
        MemoryFile copy = memory ? *memory : MemoryFile{nullptr, 0};
        const TiffOpener reopen = [&](TiffErrors* e) {
            return OpenTiff(path, memory ? &copy : nullptr, e);
        };
        return ReadDirect(tif.get(), *layout, width, height, reopen, errors);
    }
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif.get(), message))
        return std::nullopt;
    TIFFRGBAImage img;
    if (!TIFFRGBAImageBegin(&img, tif.get(), 1, message))
        return std::nullopt;
    struct ImageEnd {
        TIFFRGBAImage* img;
        ~ImageEnd() { TIFFRGBAImageEnd(img); }
    } end{&img};

    const std::uint32_t width = img.width;
    const std::uint32_t height = img.height;
    if (width < 1 || height < 1 || width > kMaxDibSide || height > kMaxDibSide)
        return std::nullopt;

    const bool blackAndWhite = img.bitspersample == 1 && img.samplesperpixel == 1 &&
                               img.photometric < PHOTOMETRIC_RGB && !TIFFIsTiled(tif.get());
    if (blackAndWhite) {
        img.get = BwGet;
        img.put.contig = BwPut;
    }
    // The raster holds the DIB's pixel rows: one word a pixel, or for black and white the
    // 1-bit rows, a 32nd of that.
    const std::uint64_t imageBytes = blackAndWhite ? DibRowBytes(width, 1) * height
                                                   : static_cast<std::uint64_t>(width) * 4 * height;
    if (imageBytes > kMaxDibImageBytes)
        return std::nullopt;
    const std::size_t words = static_cast<std::size_t>(imageBytes / 4);
    std::unique_ptr<void, RasterFree> buffer(
        _TIFFmalloc(static_cast<tmsize_t>(words * sizeof(std::uint32_t))));
    if (!buffer)
        return std::nullopt;
    auto* raster = static_cast<std::uint32_t*>(buffer.get());
    if (blackAndWhite)
        std::memset(raster, 0, words * sizeof(std::uint32_t));
    if (!TIFFRGBAImageGet(&img, raster, width, height))
        return std::nullopt;

    BitmapInfoHeader h;
    if (blackAndWhite) {
        h.bitCount = 1;
        std::optional<DibBlock> dib = MakeDib(h, static_cast<std::int32_t>(width),
                                              static_cast<std::int32_t>(height), nullptr);
        if (!dib)
            return std::nullopt;
        std::uint8_t* table = dib->data() + kInfoHeaderSize;
        const bool whiteIsZero = img.photometric == PHOTOMETRIC_MINISWHITE;
        std::memset(table + (whiteIsZero ? 0 : 4), 255, 4);
        std::memcpy(FindDibBits(dib->data()), raster,
                    static_cast<std::size_t>(DibImageSize(dib->data())));
        return dib;
    }
    h.bitCount = 32;
    std::optional<DibBlock> dib =
        MakeDib(h, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), nullptr);
    if (!dib)
        return std::nullopt;
    // libtiff hands colours multiplied by their alpha (opaque pictures have alpha 255): over
    // white paper a channel c becomes c + 255 - alpha, so transparent parts come out white.
    auto overWhite = [](std::uint32_t c, std::uint32_t paper) {
        return static_cast<std::uint8_t>(std::min<std::uint32_t>(c + paper, 255));
    };
    std::uint8_t* d = FindDibBits(dib->data());
    for (std::size_t i = 0; i < words; ++i, d += 4) {
        const std::uint32_t v = raster[i];
        const std::uint32_t paper = 255 - TIFFGetA(v);
        d[0] = overWhite(TIFFGetB(v), paper);
        d[1] = overWhite(TIFFGetG(v), paper);
        d[2] = overWhite(TIFFGetR(v), paper);
        d[3] = 0;
    }
    return dib;
}

// Reads the image, then shows libtiff's errors unless quiet: one message box per error,
// titled "<file name> Error".
std::optional<DibBlock> ReadTiff(const std::string& path, MemoryFile* memory, bool quiet)
{
    TiffErrors errors{path, {}};
    std::optional<DibBlock> dib = ReadTiffImage(path, memory, quiet ? nullptr : &errors);
    for (const std::string& text : errors.texts)
        GetUiServices().MessageBox(text, path + " Error", MsgButtons::Ok, MsgIcon::Error);
    return dib;
}

} // namespace

bool ReadTiffHeader(const std::string& path, int* width, int* height, int* bitCount)
{
    std::unique_ptr<TIFF, TiffCloser> tif(OpenTiff(path, nullptr, nullptr));
    if (!tif)
        return false;
    std::uint32_t w = 0, h = 0;
    std::uint16_t bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISWHITE;
    if (!TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &w) ||
        !TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &h) || w < 1 || h < 1 || w > kMaxDibSide ||
        h > kMaxDibSide)
        return false;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tif.get(), TIFFTAG_PHOTOMETRIC, &photometric);
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    if (const std::optional<DirectLayout> layout = FindDirectLayout(tif.get()))
        *bitCount = layout->photometric == PHOTOMETRIC_RGB ? 24 : 8;
    else if (bits == 1 && samples == 1 && photometric < PHOTOMETRIC_RGB && !TIFFIsTiled(tif.get()))
        *bitCount = 1;
    else
        *bitCount = 32;
    return true;
}

bool ProbeTiffFile(const std::string& path)
{
    return ProbeTiff(path, nullptr);
}

std::optional<DibBlock> ReadTiffFile(const std::string& path, bool quiet)
{
    return ReadTiff(path, nullptr, quiet);
}

std::optional<DibBlock> ReadTiffMemory(const std::uint8_t* data, std::size_t length,
                                       const std::string& name)
{
    if (!data)
        return std::nullopt;
    MemoryFile memory{data, length};
    return ReadTiff(name, &memory, false);
}
