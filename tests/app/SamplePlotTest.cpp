#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

#include <tiffio.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

const std::string kSample = std::string(KURVO_SOURCE_DIR) + "/examples/sample-plot.tif";

// The bundled sample is what run.sh opens: it must be a small, decodable greyscale scan
// with paper, ink and a frame that is not axis-aligned (the page lies crooked).
TEST(SamplePlot, IsASmallDecodableScanOfAPlot)
{
    ASSERT_TRUE(std::filesystem::exists(kSample));
    EXPECT_LT(std::filesystem::file_size(kSample), 400u * 1024u);

    TIFFSetWarningHandler(nullptr);
    TIFF* tif = TIFFOpen(kSample.c_str(), "r");
    ASSERT_NE(tif, nullptr);
    std::uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    ASSERT_GT(w, 600u);
    ASSERT_GT(h, 400u);
    std::vector<std::uint32_t> raster(static_cast<std::size_t>(w) * h);
    ASSERT_EQ(TIFFReadRGBAImageOriented(tif, w, h, raster.data(), ORIENTATION_TOPLEFT, 0), 1);
    TIFFClose(tif);

    std::size_t dark = 0, paper = 0;
    for (std::uint32_t p : raster) {
        const unsigned grey = TIFFGetR(p);
        dark += grey < 80;
        paper += grey > 220;
    }
    EXPECT_GT(dark, raster.size() / 100); // lines, ticks, labels
    EXPECT_GT(paper, raster.size() / 2);  // mostly paper

    // The frame's top edge: the darkest row near the top differs between the left and the
    // right part of the picture, because the page is turned.
    auto darkestRow = [&](std::uint32_t x) {
        std::uint32_t best = 0;
        unsigned bestGrey = 256;
        for (std::uint32_t y = h / 20; y < h / 4; ++y) {
            unsigned g = TIFFGetR(raster[static_cast<std::size_t>(y) * w + x]);
            if (g < bestGrey) {
                bestGrey = g;
                best = y;
            }
        }
        return best;
    };
    const int left = static_cast<int>(darkestRow(w / 3));
    const int right = static_cast<int>(darkestRow(w * 9 / 10));
    EXPECT_GE(std::abs(right - left), 5);
}

TEST(DesktopFiles, EntryAndMimeTypeAgree)
{
    QSettings entry(QStringLiteral(KURVO_SOURCE_DIR "/resources/kurvo.desktop"),
                    QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    EXPECT_EQ(entry.value("Exec").toString(), "kurvo %f");
    EXPECT_EQ(entry.value("Icon").toString(), "kurvo");
    const QString mimeTypes = entry.value("MimeType").toStringList().join(u';');
    EXPECT_TRUE(mimeTypes.contains("application/x-kurvo")) << mimeTypes.toStdString();

    QFile xml(QStringLiteral(KURVO_SOURCE_DIR "/resources/kurvo-mime.xml"));
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    const QByteArray text = xml.readAll();
    EXPECT_TRUE(text.contains("type=\"application/x-kurvo\""));
    EXPECT_TRUE(text.contains("pattern=\"*.kvx\""));
    EXPECT_TRUE(text.contains("value=\"0x4B52564F\""));
    EXPECT_TRUE(QFile::exists(QStringLiteral(KURVO_SOURCE_DIR "/resources/icons/kurvo.svg")));
}

} // namespace
