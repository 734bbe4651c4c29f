#pragma once

#include "image/DibPalette.h"
#include "image/DibUtil.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Archive;
class DeviceContext;

// One packed device-independent bitmap with the palette that shows it and a cache of copies
// scaled for display. The document's picture, the display copies, the clipboard picture and
// the image of a project file are all CDibs.
class CDib {
public:
    // Where the current DIB came from; also the output forms of SaveFile and WriteBlock.
    enum Format {
        kFormatNone = 0,
        kFormatBmp = 1,
        kFormatGif = 2,
        kFormatJpeg = 5,
        kFormatTiff = 6,
        kFormatCompressed = 7,
        kFormatPng = 8,
        kFormatWebp = 9,
        kFormatPdf = 10,
    };

    struct Info {
        int width = 0;
        int height = 0;
        int planes = 0;
        int bitCount = 0;
        int colours = 0;
    };

    CDib();
    CDib(const CDib& other);
    // A copy of a bare DIB block; stays empty when the bytes do not hold a sound DIB.
    CDib(const std::uint8_t* dib, std::size_t length);
    // Takes a bare DIB block over without copying it; stays empty when it is not sound.
    explicit CDib(DibBlock&& dib);
    CDib& operator=(const CDib& other);
    ~CDib();

    // Copies the DIB (not the cache), rebuilds the palette; format 0. Copying an empty CDib
    // empties this one. False when there was nothing sound to copy.
    bool Assign(const CDib& other);
    // Exchanges the pictures of two CDibs (with their formats, palettes and display copies)
    // without copying pixels; each keeps its own drawing handle.
    void Swap(CDib& other) noexcept;
    bool Assign(const std::uint8_t* dib, std::size_t length);
    // Releases the DIB, the palette's entries and every cached display copy.
    void Clear();

    // Tries the Windows bitmap reader, then the PNG, JPEG, GIF and WebP readers (the file's
    // first bytes choose), then PDF, then the TIFF reader; anything but a regular file fails.
    // A PDF gives its first page at the default resolution, or the page and resolution a
    // picture path names (image/PdfFile.h). Quiet, no reader shows a message (a read on a
    // thread without windows); otherwise libtiff's errors are shown once the read is over.
    bool LoadFile(const std::string& path, bool quiet = false);
    // What the reader adds about where the picture came from ("page 2 of 5 at 300 dpi");
    // empty for most pictures.
    const std::string& GetSourceNote() const { return m_sourceNote; }
    // Code 1 writes a Windows bitmap file, code 8 a PNG; other codes write nothing and fail.
    bool SaveFile(const std::string& path, int code) const;

    // The embedded blocks of project files. A failed read leaves the CDib empty.
    bool ReadPlainBlock(Archive& ar);
    bool ReadCompressedBlock(Archive& ar);
    bool WriteBlock(Archive& ar, int code) const;

    bool MakePalette();
    Info GetInfo() const;

    bool IsEmpty() const { return m_dib.empty(); }
    const std::uint8_t* GetDib() const { return m_dib.empty() ? nullptr : m_dib.data(); }
    std::size_t GetDibLength() const { return m_dib.size(); }
    const DibBlock& Block() const { return m_dib; }
    int GetFormat() const { return m_format; }
    void SetFormat(int format) { m_format = format; }
    const DibPalette& GetPalette() const { return m_palette; }
    int Width() const;
    int Height() const;
    int BitCount() const;

    // ---- pixel operations: each empties the display cache and fails without an image.
    bool FlipHorizontal();
    bool FlipVertical();
    // 90 clockwise, 180, 270 (counter-clockwise); other angles fail and change nothing.
    bool Rotate(int angle);
    // Clips the rectangle (image pixels from the top-left) to the image and keeps that part.
    bool Crop(int x, int y, int width, int height);
    // Nearest-neighbour resampling of the DIB in place.
    bool Scale(int width, int height);

    // ---- display cache
    // The copy of the image scaled to width x height, owned by the cache (valid until the
    // image changes or the copy is evicted); null without an image, for an empty size, or
    // when the copy would hold more than kMaxScaledBytes of pixels.
    CDib* GetBitmap(DeviceContext* dc, int width, int height);
    static void SetCacheSize(int n);
    static int GetCacheSize();
    static constexpr std::uint64_t kMaxScaledBytes = std::uint64_t{256} << 20;
    // Copies in the cache list (most recently used last) and the reduced slot; for tests.
    int CachedCount() const { return static_cast<int>(m_cache.size()); }
    const CDib* CachedAt(int i) const { return m_cache[static_cast<std::size_t>(i)].get(); }
    const CDib* ReducedCopy() const { return m_reduced.get(); }

    // Draws the DIB 1:1 at the logical origin. This platform always draws in true colour, so
    // the dithered path gives the same pixels.
    bool Draw(DeviceContext& dc, bool dithered, bool noHalftone);

    // The screen colour (0xFFRRGGBB) of pixel (x, y) counted from the top-left; 0 outside.
    std::uint32_t PixelAt(int x, int y) const;

private:
    bool LoadPdfPage(const std::string& path, int page, int dpi);
    // The DIB resampled to width x height by the nearest-neighbour rule; nothing when the
    // size is out of bounds or the memory cannot be had.
    static std::optional<DibBlock> ScaledBlock(const DibBlock& dib, int width, int height);
    void ClearCache();
    void Install(DibBlock&& dib);

    DibBlock m_dib;
    int m_format = kFormatNone;
    std::string m_sourceNote;
    DibPalette m_palette;
    std::vector<std::unique_ptr<CDib>> m_cache;
    std::unique_ptr<CDib> m_reduced;
};
