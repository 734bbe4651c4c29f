#include "image/PdfFile.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>

namespace {

constexpr std::size_t kSniffBytes = 1024;

// poppler reports damaged files on standard error; the program gives its own message.
void Quiet(const std::string&, void*)
{
}

void BeQuiet()
{
    static const bool quiet = [] {
        poppler::set_debug_error_function(Quiet, nullptr);
        return true;
    }();
    (void)quiet;
}

std::unique_ptr<poppler::document> Opened(poppler::document* doc)
{
    std::unique_ptr<poppler::document> owned(doc);
    if (owned && owned->is_locked())
        owned.reset();
    return owned;
}

std::unique_ptr<poppler::document> OpenFile(const std::string& path)
{
    BeQuiet();
    try {
        return Opened(poppler::document::load_from_file(path));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// The pixel size poppler gives a page at dpi: its crop box turned by the page's rotation.
bool PageSize(const poppler::page& page, int dpi, int* width, int* height)
{
    const poppler::rectf box = page.page_rect(poppler::crop_box);
    double w = std::fabs(box.width()) * dpi / 72.0;
    double h = std::fabs(box.height()) * dpi / 72.0;
    const poppler::page::orientation_enum o = page.orientation();
    if (o == poppler::page::landscape || o == poppler::page::seascape)
        std::swap(w, h);
    // Rounded to the nearest as the renderer does.
    const double limit = 1e9;
    *width = static_cast<int>(std::min(std::floor(w + 0.5), limit));
    *height = static_cast<int>(std::min(std::floor(h + 0.5), limit));
    return *width >= 1 && *height >= 1;
}

bool WithinBounds(int width, int height)
{
    return width >= 1 && width <= kMaxDibSide && height >= 1 && height <= kMaxDibSide &&
           DibRowBytes(width, 24) * static_cast<std::uint64_t>(height) <= kMaxDibImageBytes;
}

std::optional<DibBlock> Render(const poppler::document* doc, int page, int dpi, int* pageCount)
{
    if (!doc)
        return std::nullopt;
    const int count = doc->pages();
    if (pageCount)
        *pageCount = count;
    if (page < 1 || page > count || dpi < kPdfMinDpi || dpi > kPdfMaxDpi)
        return std::nullopt;
    try {
        std::unique_ptr<poppler::page> p(doc->create_page(page - 1));
        int width = 0;
        int height = 0;
        if (!p || !PageSize(*p, dpi, &width, &height) || !WithinBounds(width + 1, height + 1))
            return std::nullopt;
        poppler::page_renderer renderer;
        renderer.set_render_hint(poppler::page_renderer::antialiasing);
        renderer.set_render_hint(poppler::page_renderer::text_antialiasing);
        renderer.set_paper_color(0xFFFFFFFF);
        renderer.set_image_format(poppler::image::format_bgr24);
        const poppler::image img = renderer.render_page(p.get(), dpi, dpi);
        p.reset();
        if (!img.is_valid() || img.format() != poppler::image::format_bgr24 ||
            !WithinBounds(img.width(), img.height()))
            return std::nullopt;
        BitmapInfoHeader like;
        like.bitCount = 24;
        like.xPelsPerMeter = like.yPelsPerMeter = static_cast<std::int32_t>(dpi / 0.0254 + 0.5);
        std::optional<DibBlock> dib = MakeDib(like, img.width(), img.height(), nullptr);
        if (!dib)
            return std::nullopt;
        // poppler's rows run top-down, the DIB's bottom-up.
        const std::size_t rowBytes = static_cast<std::size_t>(img.width()) * 3;
        const std::size_t stride = DibRowBytes(img.width(), 24);
        std::uint8_t* bits = FindDibBits(dib->data());
        const char* source = img.const_data();
        for (int y = 0; y < img.height(); ++y)
            std::memcpy(bits + stride * static_cast<std::size_t>(img.height() - 1 - y),
                        source + static_cast<std::size_t>(img.bytes_per_row()) * y, rowBytes);
        return dib;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool ParseNumber(const char* first, const char* last, int* value)
{
    const std::from_chars_result r = std::from_chars(first, last, *value);
    return r.ec == std::errc() && r.ptr == last && *value > 0;
}

} // namespace

bool SniffPdf(const std::uint8_t* data, std::size_t length)
{
    const std::size_t n = std::min(length, kSniffBytes);
    for (std::size_t i = 0; i + 5 <= n; ++i)
        if (data[i] == '%' && std::memcmp(data + i, "%PDF-", 5) == 0)
            return true;
    return false;
}

bool IsPdfFile(const std::string& path)
{
    // Only files are read: a pipe or a device would block.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::uint8_t head[kSniffBytes];
    const std::size_t n = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    return SniffPdf(head, n);
}

int PdfPageCount(const std::string& path)
{
    const std::unique_ptr<poppler::document> doc = OpenFile(path);
    return doc ? doc->pages() : 0;
}

bool PdfPageSize(const std::string& path, int page, int dpi, int* width, int* height)
{
    const std::unique_ptr<poppler::document> doc = OpenFile(path);
    if (!doc || page < 1 || page > doc->pages())
        return false;
    std::unique_ptr<poppler::page> p(doc->create_page(page - 1));
    return p && PageSize(*p, dpi, width, height);
}

std::optional<DibBlock> RenderPdfFile(const std::string& path, int page, int dpi, int* pageCount)
{
    if (pageCount)
        *pageCount = 0;
    return Render(OpenFile(path).get(), page, dpi, pageCount);
}

std::optional<DibBlock> RenderPdfMemory(const std::uint8_t* data, std::size_t length, int page,
                                        int dpi, int* pageCount)
{
    if (pageCount)
        *pageCount = 0;
    if (length > static_cast<std::size_t>(INT32_MAX))
        return std::nullopt;
    BeQuiet();
    std::unique_ptr<poppler::document> doc;
    try {
        doc = Opened(poppler::document::load_from_raw_data(reinterpret_cast<const char*>(data),
                                                           static_cast<int>(length)));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return Render(doc.get(), page, dpi, pageCount);
}

PicturePath SplitPicturePath(const std::string& path)
{
    PicturePath split;
    split.file = path;
    std::error_code ec;
    if (std::filesystem::exists(path, ec))
        return split;
    const std::size_t hash = path.rfind("#page=");
    if (hash == std::string::npos || hash == 0)
        return split;
    const std::size_t amp = path.find("&dpi=", hash);
    if (amp == std::string::npos)
        return split;
    int page = 0;
    int dpi = 0;
    const char* base = path.data();
    if (!ParseNumber(base + hash + 6, base + amp, &page) ||
        !ParseNumber(base + amp + 5, base + path.size(), &dpi))
        return split;
    split.file = path.substr(0, hash);
    split.page = page;
    split.dpi = dpi;
    return split;
}

std::string PdfPagePath(const std::string& file, int page, int dpi)
{
    return file + "#page=" + std::to_string(page) + "&dpi=" + std::to_string(dpi);
}
