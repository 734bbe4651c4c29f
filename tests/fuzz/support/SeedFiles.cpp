#include "fuzz/support/SeedFiles.h"
#include "image/support/TestTiff.h"
#include "support/TestPdf.h"

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

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using testdibs::BmpFile;
using testdibs::Grey;

Bytes Pattern(std::size_t n)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return b;
}

Seeds BmpSeeds()
{
    const Bytes masks = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    // A core header (5 x 2, 4 bits) with 3-byte colour entries.
    Bytes core = {12, 0, 0, 0, 5, 0, 2, 0, 1, 0, 4, 0};
    for (int i = 0; i < 16; ++i)
        core.insert(core.end(), {static_cast<std::uint8_t>(i * 16), 0x40, 0x80});
    const Bytes rows = Pattern(8);
    core.insert(core.end(), rows.begin(), rows.end());
    return {
        {"rgb24.bmp", BmpFile(3, 2, 24, 0, {}, Pattern(24))},
        {"rgb24-topdown.bmp", BmpFile(3, -2, 24, 0, {}, Pattern(24))},
        {"pal8.bmp", BmpFile(5, 3, 8, 0, Grey(4), Pattern(24), 4)},
        {"pal4.bmp", BmpFile(7, 2, 4, 0, Grey(16), Pattern(8))},
        {"mono.bmp", BmpFile(9, 3, 1, 0, Grey(2), Pattern(12))},
        {"rgb16.bmp", BmpFile(3, 2, 16, 0, {}, Pattern(16))},
        {"rgb32.bmp", BmpFile(2, 2, 32, 0, {}, Pattern(16))},
        // Run-length data: runs, an absolute stretch, a delta, line ends and the bitmap end.
        {"rle8.bmp",
         BmpFile(8, 4, 8, kBiRle8, Grey(4),
                 {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 1, 4, 2, 0, 0, 8, 3, 0, 1}, 4)},
        {"rle4.bmp", BmpFile(8, 3, 4, kBiRle4, Grey(16),
                             {4, 0x12, 0, 4, 0x34, 0x56, 0, 0, 8, 0x77, 0, 0, 3, 0xAB, 0, 1})},
        {"bitfields16-topdown.bmp", BmpFile(3, -2, 16, kBiBitFields, masks, Pattern(16))},
        {"core4.bmp", testdibs::Wrap(core, kFileHeaderSize + 12 + 48)},
    };
}

Seeds BlockSeeds()
{
    Seeds s;
    for (const auto& [name, file] : BmpSeeds()) {
        const std::optional<DibBlock> block = ReadBmpMemory(file.data(), file.size());
        const CDib dib = block ? CDib(block->data(), block->size()) : CDib();
        for (const bool packed : {false, true}) {
            Archive ar;
            ar.WriteU8(packed ? 1 : 0);
            if (dib.WriteBlock(ar, packed ? CDib::kFormatCompressed : CDib::kFormatBmp))
                s.push_back({(packed ? "packed-" : "plain-") + name, ar.Bytes()});
        }
    }
    return s;
}

Seeds TiffSeeds(const fs::path& scratch)
{
    using testdibs::TiffImage;
    constexpr int kTop = ORIENTATION_TOPLEFT;
    std::vector<std::uint16_t> map(3 * 16);
    for (std::size_t i = 0; i < map.size(); ++i)
        map[i] = static_cast<std::uint16_t>(i * 1300);
    std::pair<const char*, TiffImage> kinds[] = {
        {"mono-miniswhite.tif", {13, 5, 1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_NONE, kTop, 2}},
        {"mono-packbits.tif", {20, 6, 1, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_PACKBITS, kTop, 4}},
        {"mono-g3.tif", {24, 4, 1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX3, kTop, 4}},
        {"grey8-lzw.tif", {6, 4, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW, kTop, 3}},
        {"rgb-deflate.tif", {5, 3, 8, 3, PHOTOMETRIC_RGB, COMPRESSION_ADOBE_DEFLATE, kTop, 1}},
        {"palette4.tif", {7, 3, 4, 1, PHOTOMETRIC_PALETTE, COMPRESSION_NONE, kTop, 8}},
        {"rgba-tiled.tif", {20, 17, 8, 4, PHOTOMETRIC_RGB, COMPRESSION_NONE, kTop, 0, true}},
    };
    kinds[5].second.colourMap = map;
    Seeds s;
    const std::string path = (scratch / "seed.tif").string();
    for (const auto& [name, image] : kinds) {
        fs::remove(path);
        const bool written = testdibs::WriteTiff(path, image, testdibs::TiffRows(image));
        s.push_back({name, written ? testdibs::ReadFile(path) : Bytes()});
    }
    fs::remove(path);
    return s;
}

Seeds ProjectSeeds(const fs::path& scratch)
{
    Seeds s;
    const auto read = [](const fs::path& p) { return testdibs::ReadFile(p.string()); };
    const Bytes bmp = BmpFile(12, 9, 8, 0, Grey(4), Pattern(12 * 9), 4);
    const fs::path image = scratch / "plot.bmp";
    testdibs::WriteFile(image.string(), bmp);

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

Seeds PngSeeds(const std::filesystem::path& scratch)
{
    Seeds s;
    for (const int bits : {1, 4, 8, 24, 32}) {
        const DibBlock dib = testdibs::Make(9, 5, bits);
        const std::string path = (scratch / "seed.png").string();
        if (CDib(dib.data(), dib.size()).SaveFile(path, CDib::kFormatPng))
            s.emplace_back("depth" + std::to_string(bits) + ".png", testdibs::ReadFile(path));
    }
    return s;
}

Seeds PdfSeeds()
{
    const auto bytes = [](const std::vector<TestPdfPage>& pages) {
        const std::string pdf = MakeTestPdf(pages);
        return Bytes(pdf.begin(), pdf.end());
    };
    const TestPdfPage drawn{
        100, 80,
        "0 0 1 rg 10 10 30 20 re f 1 0 0 RG 2 w 5 5 m 90 70 l S BT /F1 12 Tf 20 40 Td (x) Tj ET"};
    return {{"one.pdf", bytes({{72, 144, "1 0 0 rg 0 0 36 72 re f"}})},
            {"two.pdf", bytes({drawn, {144, 72, ""}})},
            {"turned.pdf", bytes({{72, 144, "0 1 0 rg 0 0 36 72 re f", 90}})}};
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
