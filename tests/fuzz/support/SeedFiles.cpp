#include "fuzz/support/SeedFiles.h"

#include "document/CKurvoDoc.h"
#include "document/ProjectFile.h"
#include "image/BmpFile.h"
#include "image/CDib.h"
#include "image/DibUtil.h"
#include "mapping/RegGridData.h"
#include "mapping/TransformData.h"
#include "model/DbPoint.h"
#include "model/DbRefTable.h"
#include "model/DbSetMgr.h"
#include "platform/Archive.h"
#include "platform/CommandIds.h"
#include "platform/HeadlessUiServices.h"
#include "tasks/PlotData.h"
#include "tasks/PrimTask.h"

#include <tiffio.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void Save(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

} // namespace

void Put16(Bytes& b, std::uint32_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& b, std::uint32_t v)
{
    Put16(b, v & 0xFFFFu);
    Put16(b, v >> 16);
}

// A bitmap file: file header, a 40-byte header, the table and the pixel bytes as given.
Bytes BmpFile(std::int32_t width, std::int32_t height, int bitCount, std::uint32_t compression,
              const Bytes& table, const Bytes& pixels, std::uint32_t clrUsed)
{
    Bytes b;
    const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(table.size());
    Put16(b, 0x4D42);
    Put32(b, offset + static_cast<std::uint32_t>(pixels.size()));
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(width));
    Put32(b, static_cast<std::uint32_t>(height));
    Put16(b, 1);
    Put16(b, static_cast<std::uint32_t>(bitCount));
    Put32(b, compression);
    Put32(b, static_cast<std::uint32_t>(pixels.size()));
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, clrUsed);
    Put32(b, clrUsed);
    b.insert(b.end(), table.begin(), table.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

Bytes Grey(int colours)
{
    Bytes t;
    for (int i = 0; i < colours; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 255 / (colours > 1 ? colours - 1 : 1));
        t.insert(t.end(), {v, v, v, 0});
    }
    return t;
}

Bytes Pattern(std::size_t n)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return b;
}

Seeds BmpSeeds()
{
    Seeds s;
    s.push_back({"rgb24.bmp", BmpFile(3, 2, 24, 0, {}, Pattern(24))});
    s.push_back({"rgb24-topdown.bmp", BmpFile(3, -2, 24, 0, {}, Pattern(24))});
    s.push_back({"pal8.bmp", BmpFile(5, 3, 8, 0, Grey(4), Pattern(24), 4)});
    s.push_back({"pal4.bmp", BmpFile(7, 2, 4, 0, Grey(16), Pattern(8))});
    s.push_back({"mono.bmp", BmpFile(9, 3, 1, 0, Grey(2), Pattern(12))});
    s.push_back({"rgb16.bmp", BmpFile(3, 2, 16, 0, {}, Pattern(16))});
    s.push_back({"rgb32.bmp", BmpFile(2, 2, 32, 0, {}, Pattern(16))});
    // Run-length data: runs, an absolute stretch, a delta, line ends and the bitmap end.
    s.push_back({"rle8.bmp",
                 BmpFile(8, 4, 8, 1, Grey(4),
                         {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 1, 4, 2, 0, 0, 8, 3, 0, 1}, 4)});
    s.push_back(
        {"rle4.bmp", BmpFile(8, 3, 4, 2, Grey(16),
                             {4, 0x12, 0, 4, 0x34, 0x56, 0, 0, 8, 0x77, 0, 0, 3, 0xAB, 0, 1})});
    Bytes masks565;
    Put32(masks565, 0xF800);
    Put32(masks565, 0x07E0);
    Put32(masks565, 0x001F);
    s.push_back({"bitfields16.bmp", BmpFile(3, 2, 16, 3, masks565, Pattern(16))});
    Bytes masks888;
    Put32(masks888, 0x00FF0000);
    Put32(masks888, 0x0000FF00);
    Put32(masks888, 0x000000FF);
    s.push_back({"bitfields32-topdown.bmp", BmpFile(2, -3, 32, 3, masks888, Pattern(24))});
    // A core header with 3-byte colour entries.
    Bytes core;
    Put16(core, 0x4D42);
    Put32(core, 14 + 12 + 3 * 16 + 8);
    Put32(core, 0);
    Put32(core, 14 + 12 + 3 * 16);
    Put32(core, 12);
    Put16(core, 5);
    Put16(core, 2);
    Put16(core, 1);
    Put16(core, 4);
    for (int i = 0; i < 16; ++i)
        core.insert(core.end(), {static_cast<std::uint8_t>(i * 16), 0x40, 0x80});
    const Bytes rows = Pattern(8);
    core.insert(core.end(), rows.begin(), rows.end());
    s.push_back({"core4.bmp", core});
    return s;
}

Seeds BlockSeeds()
{
    Seeds s;
    for (const auto& [name, file] : BmpSeeds()) {
        CDib dib;
        const std::optional<DibBlock> block = ReadBmpMemory(file.data(), file.size());
        if (!block || !dib.Assign(block->data(), block->size()))
            continue;
        for (int code : {CDib::kFormatBmp, CDib::kFormatCompressed}) {
            Archive ar;
            if (!dib.WriteBlock(ar, code))
                continue;
            Bytes bytes{static_cast<std::uint8_t>(code == CDib::kFormatBmp ? 0 : 1)};
            bytes.insert(bytes.end(), ar.Bytes().begin(), ar.Bytes().end());
            s.push_back({(code == CDib::kFormatBmp ? "plain-" : "packed-") + name, bytes});
        }
    }
    return s;
}

namespace {

// A TIFF written by libtiff into a file and read back.
Bytes TiffFile(const fs::path& path, std::uint32_t width, std::uint32_t height, int bits,
               int samples, int photometric, int compression, std::uint32_t rowsPerStrip,
               bool tiled = false)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return {};
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    if (photometric == PHOTOMETRIC_PALETTE) {
        std::vector<std::uint16_t> r(1u << bits), g(1u << bits), b(1u << bits);
        for (std::size_t i = 0; i < r.size(); ++i) {
            r[i] = static_cast<std::uint16_t>(i * 4000);
            g[i] = static_cast<std::uint16_t>(65535 - i * 3000);
            b[i] = static_cast<std::uint16_t>(i * 1000);
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
    }
    const Bytes pattern = Pattern(1 << 16);
    if (tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, 16);
        const tmsize_t tile = TIFFTileSize(tif);
        for (ttile_t t = 0; t < TIFFNumberOfTiles(tif); ++t)
            TIFFWriteEncodedTile(tif, t, const_cast<std::uint8_t*>(pattern.data()), tile);
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
        const tmsize_t line = TIFFScanlineSize(tif);
        for (std::uint32_t y = 0; y < height; ++y)
            TIFFWriteScanline(tif, const_cast<std::uint8_t*>(pattern.data() + y * line), y, 0);
    }
    TIFFClose(tif);
    std::ifstream in(path, std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fs::remove(path);
    return bytes;
}

} // namespace

Seeds TiffSeeds(const fs::path& scratch)
{
    Seeds s;
    const fs::path tmp = scratch / "seed.tif";
    s.push_back({"mono-miniswhite.tif",
                 TiffFile(tmp, 13, 5, 1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_NONE, 2)});
    s.push_back({"mono-packbits.tif",
                 TiffFile(tmp, 20, 6, 1, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_PACKBITS, 4)});
    s.push_back({"mono-g3.tif",
                 TiffFile(tmp, 24, 4, 1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX3, 4)});
    s.push_back(
        {"grey8-lzw.tif", TiffFile(tmp, 6, 4, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW, 3)});
    s.push_back({"rgb-deflate.tif",
                 TiffFile(tmp, 5, 3, 8, 3, PHOTOMETRIC_RGB, COMPRESSION_ADOBE_DEFLATE, 1)});
    s.push_back(
        {"palette4.tif", TiffFile(tmp, 7, 3, 4, 1, PHOTOMETRIC_PALETTE, COMPRESSION_NONE, 8)});
    s.push_back({"rgba-tiled.tif",
                 TiffFile(tmp, 20, 17, 8, 4, PHOTOMETRIC_RGB, COMPRESSION_NONE, 0, true)});
    return s;
}

Seeds ProjectSeeds(const fs::path& scratch)
{
    Seeds s;
    auto read = [](const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    const Bytes bmp = BmpFile(12, 9, 8, 0, Grey(4), Pattern(12 * 9), 4);
    const fs::path image = scratch / "plot.bmp";
    Save(image, bmp);

    CKurvoDoc doc;
    if (!doc.OnOpenDocument(image.string()))
        return s;
    PlotData& data = *doc.GetPlotData();
    doc.OnCommand(ID_EDIT_MAP_FULL);
    data.GetTransform()->SetLimits({0, 0}, {10, 5});
    auto collect = [&](double x, double y) {
        doc.ExecuteTask(std::make_unique<PrimTask>(&data, std::make_unique<DbPoint>(DPoint{x, y})));
    };
    collect(1, 2);
    collect(3, 4);
    doc.OnCommand(ID_DATA_NEW_SET);
    collect(5, 6);
    data.SetExportPath("points.csv");

    data.SetSaveReference(false);
    const fs::path project = scratch / "p.kvx";
    if (doc.OnSaveDocument(project.string()))
        s.push_back({"embedded.kvx", read(project)});
    data.SetSaveReference(true);
    data.SetImagePath("plot.bmp");
    if (doc.OnSaveDocument(project.string()))
        s.push_back({"reference.kvx", read(project)});

    // The plain embedded form, and the old flat point list of format 4.
    {
        Archive ar;
        DbRefTable refs;
        ar.WriteU32(kProjectMagic);
        ar.WriteU32(kProjectVersion);
        ar.WriteU32(1);
        data.GetTransform()->Serialize(ar);
        ar.WriteString("");
        ar.WriteString("");
        ar.WriteU32(kTagImagePlain);
        data.GetImage()->WriteBlock(ar, CDib::kFormatBmp);
        ar.WriteU32(kTagGrid);
        data.GetGrid()->Serialize(ar);
        ar.WriteU32(kTagDataSets);
        data.GetSetMgr()->Serialize(ar, refs);
        ar.WriteU32(kTagEnd);
        s.push_back({"plain.kvx", ar.Bytes()});
    }
    {
        Archive ar;
        ar.WriteU32(kProjectMagic);
        ar.WriteU32(4);
        ar.WriteU32(0);
        data.GetTransform()->Serialize(ar);
        ar.WriteString("");
        ar.WriteString("");
        ar.WriteU32(2);
        for (double v : {1.0, 2.0, 7.5, 3.25})
            ar.WriteF64(v);
        ar.WriteU32(kTagEnd);
        s.push_back({"format4.kvx", ar.Bytes()});
    }
    s.push_back({"image.bmp", bmp});
    return s;
}

Seeds StringSeeds()
{
    Seeds s;
    Archive ar;
    ar.WriteString("");
    ar.WriteString("short");
    ar.WriteString(std::string(300, 'x'));
    s.push_back({"narrow", ar.Bytes()});
    Bytes wide{0xFF, 0xFE, 0xFF, 3, 'a', 0, 0xE9, 0, 0x3A, 0x26};
    s.push_back({"wide", wide});
    Bytes long32{0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 'o', 'k'};
    s.push_back({"long", long32});
    return s;
}
