#include "image/PictureFile.h"

#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <csetjmp>
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// More scans than this in a progressive file only make the decoder spin.
constexpr long kMaxScans = 1000;
// What the decoder may allocate besides the DIB: a progressive picture at the DIB bound
// keeps two bytes of coefficients per sample.
constexpr long kMaxDecoderMemory = static_cast<long>(3 * kMaxDibImageBytes);

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// libjpeg's errors end the read: back to the setjmp of the function that called libjpeg.
void ExitOnError(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings are silent, but a file that ends early, or whose pixel data runs out before the
// rows its header claims, is refused rather than shown with grey rows.
void OnMessage(j_common_ptr cinfo, int level)
{
    const int code = cinfo->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER))
        ExitOnError(cinfo);
}

void LimitScans(j_common_ptr cinfo)
{
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        ExitOnError(cinfo);
}

// The two halves of a read. Each holds the setjmp its libjpeg calls return to, and no C++
// object with a destructor lives across it. Both return false after an error; the caller
// then destroys the decompressor.
bool ReadHeader(jpeg_decompress_struct* cinfo, ErrorManager* err, jpeg_progress_mgr* progress,
                const std::uint8_t* data, std::size_t length)
{
    if (setjmp(err->jump))
        return false;
    cinfo->err = jpeg_std_error(&err->pub);
    err->pub.error_exit = ExitOnError;
    err->pub.emit_message = OnMessage;
    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = kMaxDecoderMemory;
    progress->progress_monitor = LimitScans;
    cinfo->progress = progress;
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(length));
    jpeg_save_markers(cinfo, JPEG_APP0 + 1, 0xFFFF);
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK)
        return false;
    switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo->out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo->out_color_space = JCS_CMYK;
        break;
    default:
        cinfo->out_color_space = JCS_EXT_BGR;
        break;
    }
    jpeg_calc_output_dimensions(cinfo);
    return true;
}

// Fills the DIB's rows from the top picture row down; CMYK rows pass through ink, one row
// of four samples per pixel, and become blue, green, red.
bool ReadRows(jpeg_decompress_struct* cinfo, ErrorManager* err, std::uint8_t* bits,
              std::size_t rowBytes, std::uint8_t* ink)
{
    if (setjmp(err->jump))
        return false;
    jpeg_start_decompress(cinfo);
    const JDIMENSION width = cinfo->output_width;
    const JDIMENSION height = cinfo->output_height;
    // Adobe's files store the inks inverted: 255 is no ink.
    const bool inverted = cinfo->saw_Adobe_marker;
    while (cinfo->output_scanline < height) {
        std::uint8_t* row = bits + (height - 1 - cinfo->output_scanline) * rowBytes;
        JSAMPROW target = ink ? ink : row;
        if (jpeg_read_scanlines(cinfo, &target, 1) != 1)
            return false;
        if (!ink)
            continue;
        for (JDIMENSION x = 0; x < width; ++x) {
            const std::uint8_t* cmyk = ink + 4 * x;
            int k = cmyk[3];
            if (!inverted)
                k = 255 - k;
            for (int c = 0; c < 3; ++c) {
                const int v = inverted ? cmyk[2 - c] : 255 - cmyk[2 - c];
                row[3 * x + c] = static_cast<std::uint8_t>((v * k + 127) / 255);
            }
        }
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

// Huffman-coded data spends at least a bit on every 8x8 block of a component it codes, so a
// few bytes cannot hold a large picture, and are refused before its DIB is made. Arithmetic
// coding has no such floor and is left to the decoder's limits.
bool DataCanHoldPicture(const jpeg_decompress_struct& cinfo, std::size_t length)
{
    if (cinfo.arith_code)
        return true;
    std::uint64_t fewest = UINT64_MAX;
    for (int i = 0; i < cinfo.num_components; ++i) {
        const jpeg_component_info& c = cinfo.comp_info[i];
        fewest = std::min(fewest, std::uint64_t{c.width_in_blocks} * c.height_in_blocks);
    }
    return fewest <= 8 * static_cast<std::uint64_t>(length);
}

} // namespace

int ExifOrientation(const std::uint8_t* data, std::size_t length)
{
    // "Exif", two zeros, then a TIFF header: the byte order, 42 and where the first
    // directory starts, each offset counted from the header.
    if (length < 14 || std::memcmp(data, "Exif\0\0", 6) != 0)
        return 1;
    const std::uint8_t* tiff = data + 6;
    const std::uint64_t size = length - 6;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if (!little && !(tiff[0] == 'M' && tiff[1] == 'M'))
        return 1;
    const auto u16 = [&](std::uint64_t at) {
        return little ? tiff[at] | tiff[at + 1] << 8 : tiff[at] << 8 | tiff[at + 1];
    };
    const auto u32 = [&](std::uint64_t at) {
        return static_cast<std::uint32_t>(u16(little ? at + 2 : at)) << 16 |
               static_cast<std::uint32_t>(u16(little ? at : at + 2));
    };
    if (u16(2) != 42)
        return 1;
    const std::uint64_t directory = u32(4);
    if (directory + 2 > size)
        return 1;
    // Twelve-byte entries: tag, type, count, value; the orientation is one SHORT.
    const int entries = u16(directory);
    for (int i = 0; i < entries; ++i) {
        const std::uint64_t entry = directory + 2 + 12 * static_cast<std::uint64_t>(i);
        if (entry + 12 > size)
            return 1;
        if (u16(entry) == 0x0112 && u16(entry + 2) == 3 && u32(entry + 4) == 1) {
            const int orientation = u16(entry + 8);
            return orientation >= 1 && orientation <= 8 ? orientation : 1;
        }
    }
    return 1;
}

bool ReadJpegHeader(const std::uint8_t* data, std::size_t length, int* width, int* height,
                    bool* grey, int* orientation)
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_progress_mgr progress;
    std::memset(&cinfo, 0, sizeof cinfo);
    std::memset(&progress, 0, sizeof progress);
    const bool ok = ReadHeader(&cinfo, &err, &progress, data, length);
    if (ok) {
        *width = static_cast<int>(std::min<JDIMENSION>(cinfo.output_width, kMaxDibSide + 1));
        *height = static_cast<int>(std::min<JDIMENSION>(cinfo.output_height, kMaxDibSide + 1));
        *grey = cinfo.out_color_space == JCS_GRAYSCALE;
        *orientation = 1;
        for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next)
            if (m->marker == JPEG_APP0 + 1 && ExifOrientation(m->data, m->data_length) != 1) {
                *orientation = ExifOrientation(m->data, m->data_length);
                break;
            }
    }
    jpeg_destroy_decompress(&cinfo);
    return ok;
}

std::optional<DibBlock> ReadJpegMemory(const std::uint8_t* data, std::size_t length,
                                       int* orientation)
{
    if (orientation)
        *orientation = 1;
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_progress_mgr progress;
    std::memset(&cinfo, 0, sizeof cinfo);
    std::memset(&progress, 0, sizeof progress);
    std::optional<DibBlock> dib;
    if (ReadHeader(&cinfo, &err, &progress, data, length) && DataCanHoldPicture(cinfo, length)) {
        for (jpeg_saved_marker_ptr m = cinfo.marker_list; m && orientation; m = m->next)
            if (m->marker == JPEG_APP0 + 1 && ExifOrientation(m->data, m->data_length) != 1) {
                *orientation = ExifOrientation(m->data, m->data_length);
                break;
            }
        const int width =
            static_cast<int>(std::min<JDIMENSION>(cinfo.output_width, kMaxDibSide + 1));
        const int height =
            static_cast<int>(std::min<JDIMENSION>(cinfo.output_height, kMaxDibSide + 1));
        if (cinfo.out_color_space == JCS_GRAYSCALE)
            dib = NewGreyDib(width, height);
        else
            dib = NewColourDib(width, height);
        std::vector<std::uint8_t> ink;
        if (dib && cinfo.out_color_space == JCS_CMYK)
            ink.resize(4 * static_cast<std::size_t>(width));
        if (dib && !ReadRows(&cinfo, &err, FindDibBits(dib->data()),
                             static_cast<std::size_t>(DibRowBytes(dib->data())),
                             ink.empty() ? nullptr : ink.data()))
            dib.reset();
    }
    jpeg_destroy_decompress(&cinfo);
    return dib;
}
