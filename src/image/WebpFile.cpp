#include "image/PictureFile.h"

#include <webp/decode.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

// Frees what the decoder keeps of its output (nothing when it wrote to memory of ours).
class DecoderConfig {
public:
    DecoderConfig() : m_ok(WebPInitDecoderConfig(&m_config) != 0) {}
    ~DecoderConfig() { WebPFreeDecBuffer(&m_config.output); }
    DecoderConfig(const DecoderConfig&) = delete;
    DecoderConfig& operator=(const DecoderConfig&) = delete;
    bool Ok() const { return m_ok; }
    WebPDecoderConfig* operator->() { return &m_config; }
    WebPDecoderConfig* get() { return &m_config; }

private:
    WebPDecoderConfig m_config;
    bool m_ok;
};

} // namespace

// The decoder writes opaque lossy pictures of some 1000 pixels a byte at most (a page of plot
// at the lowest quality is a few hundred) bottom-up straight into the DIB. Other pictures, and
// pictures with alpha, come into a buffer of their own, left unwritten until the decoder fills
// it, and the DIB is made only once the decoding has succeeded: a few bytes claiming a huge
// picture cost address space, not memory. Alpha comes premultiplied and is laid over white:
// each sample plus the white that shows through, 255 - alpha.
std::optional<DibBlock> ReadWebpMemory(const std::uint8_t* data, std::size_t length)
{
    DecoderConfig config;
    if (!config.Ok() || WebPGetFeatures(data, length, &config->input) != VP8_STATUS_OK)
        return std::nullopt;
    const WebPBitstreamFeatures& features = config->input;
    const int width = features.width;
    const int height = features.height;
    const bool alpha = features.has_alpha != 0;
    // Lossy data that could hold the picture at any likely quality is decoded in place.
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * height;
    const bool direct = !alpha && features.format == 1 && pixels <= 1024 * std::uint64_t{length};
    // The DIB's rows: blue, green, red, padded to four bytes. An extended file's canvas may
    // claim more than a DIB may hold.
    if (width < 1 || height < 1 || width > kMaxDibSide || height > kMaxDibSide)
        return std::nullopt;
    const std::size_t rowBytes = static_cast<std::size_t>(DibRowBytes(width, 24));
    if (rowBytes * static_cast<std::size_t>(height) > kMaxDibImageBytes)
        return std::nullopt;
    WebPRGBABuffer& target = config->output.u.RGBA;
    config->output.is_external_memory = 1;
    config->options.flip = 1;
    config->output.colorspace = alpha ? MODE_bgrA : MODE_BGR;
    target.stride = static_cast<int>(alpha ? 4 * static_cast<std::size_t>(width) : rowBytes);
    target.size = static_cast<std::size_t>(target.stride) * static_cast<std::size_t>(height);
    std::optional<DibBlock> dib;
    std::unique_ptr<std::uint8_t[]> buffer;
    if (direct) {
        dib = NewColourDib(width, height);
        if (!dib)
            return std::nullopt;
        target.rgba = FindDibBits(dib->data());
    } else {
        buffer.reset(new (std::nothrow) std::uint8_t[target.size]);
        if (!buffer)
            return std::nullopt;
        target.rgba = buffer.get();
    }
    if (WebPDecode(data, length, config.get()) != VP8_STATUS_OK)
        return std::nullopt;
    if (direct)
        return dib;
    dib = NewColourDib(width, height);
    if (!dib)
        return std::nullopt;
    std::uint8_t* bits = FindDibBits(dib->data());
    if (!alpha) {
        std::memcpy(bits, buffer.get(), target.size);
        return dib;
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = buffer.get() + static_cast<std::size_t>(y) * target.stride;
        std::uint8_t* out = bits + static_cast<std::size_t>(y) * rowBytes;
        for (int x = 0; x < width; ++x, in += 4, out += 3) {
            const int paper = 255 - in[3];
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<std::uint8_t>(std::min(255, in[c] + paper));
        }
    }
    return dib;
}
