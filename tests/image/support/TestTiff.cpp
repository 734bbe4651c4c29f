#include "image/support/TestTiff.h"

#include <cstdio>
#include <cstring>

namespace testdibs {

std::vector<std::vector<std::uint8_t>> TiffRows(const TiffImage& s)
{
    const std::size_t bytes =
        (static_cast<std::size_t>(s.width) * s.bitsPerSample * s.samplesPerPixel + 7) / 8;
    std::vector<std::vector<std::uint8_t>> rows(static_cast<std::size_t>(s.height));
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t i = 0; i < bytes; ++i)
            rows[y].push_back(static_cast<std::uint8_t>(
                s.compression == COMPRESSION_JPEG ? y * 8 : (y * 31 + i * 17) ^ (y * i)));
    return rows;
}

bool WriteTiff(const std::string& path, const TiffImage& s,
               const std::vector<std::vector<std::uint8_t>>& rows)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, s.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, s.height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, s.bitsPerSample);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, s.samplesPerPixel);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, s.photometric);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, s.compression);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, s.orientation);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    if (s.compression == COMPRESSION_JPEG) {
        TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 95);
        if (s.samplesPerPixel == 3)
            TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
    if (s.extraSample >= 0) {
        const std::uint16_t extra = static_cast<std::uint16_t>(s.extraSample);
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    if (!s.colourMap.empty()) {
        const std::size_t n = s.colourMap.size() / 3;
        TIFFSetField(tif, TIFFTAG_COLORMAP, s.colourMap.data(), s.colourMap.data() + n,
                     s.colourMap.data() + 2 * n);
    }
    // Orientation 4 stores the bottom row first.
    const auto fileRow = [&](int i) -> const std::vector<std::uint8_t>& {
        return rows[static_cast<std::size_t>(s.orientation == ORIENTATION_BOTLEFT ? s.height - 1 - i
                                                                                  : i)];
    };
    bool ok = true;
    if (s.tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, 16);
        const std::size_t pixel = static_cast<std::size_t>(s.bitsPerSample) * s.samplesPerPixel / 8;
        for (int ty = 0; ty < s.height; ty += 16)
            for (int tx = 0; tx < s.width; tx += 16) {
                std::vector<std::uint8_t> tile(16 * 16 * pixel, 0);
                for (int y = 0; y < 16 && ty + y < s.height; ++y)
                    for (int x = 0; x < 16 && tx + x < s.width; ++x)
                        std::memcpy(&tile[(y * 16 + x) * pixel], &fileRow(ty + y)[(tx + x) * pixel],
                                    pixel);
                ok = ok && TIFFWriteTile(tif, tile.data(), static_cast<std::uint32_t>(tx),
                                         static_cast<std::uint32_t>(ty), 0, 0) >= 0;
            }
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, s.rowsPerStrip);
        for (int i = 0; i < s.height && ok; ++i) {
            std::vector<std::uint8_t> row = fileRow(i);
            ok = TIFFWriteScanline(tif, row.data(), static_cast<std::uint32_t>(i), 0) == 1;
        }
    }
    TIFFClose(tif);
    return ok;
}

bool WriteUndecodableTiff(const std::string& path)
{
    const TiffImage s{64, 64, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW};
    if (!WriteTiff(path, s, TiffRows(s)))
        return false;
    std::FILE* f = std::fopen(path.c_str(), "r+b");
    if (!f)
        return false;
    const unsigned char garbage[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const bool written = std::fseek(f, 8, SEEK_SET) == 0 && std::fwrite(garbage, 1, 6, f) == 6;
    return std::fclose(f) == 0 && written;
}

} // namespace testdibs
