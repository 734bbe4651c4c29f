#include "image/PictureFile.h"

#include <webp/decode.h>

#include <algorithm>
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

// The decoder writes opaque pictures bottom-up straight into the DIB. Pictures with alpha
// come premultiplied into a buffer of their own and are laid over white from there: each
// sample plus the white that shows through, 255 - alpha. That buffer is left unwritten until
// the decoder fills it, and the DIB is made only once the decoding has succeeded, so a few
// bytes claiming a huge picture cost address space, not memory.
std::optional<DibBlock> ReadWebpMemory(const std::uint8_t* data, std::size_t length)
{
    DecoderConfig config;
    if (!config.Ok() || WebPGetFeatures(data, length, &config->input) != VP8_STATUS_OK)
        return std::nullopt;
    const WebPBitstreamFeatures& features = config->input;
    const int width = features.width;
    const int height = features.height;
    WebPRGBABuffer& target = config->output.u.RGBA;
    config->output.is_external_memory = 1;
    config->options.flip = 1;
    std::optional<DibBlock> dib;
    std::unique_ptr<std::uint8_t[]> premultiplied;
    const std::size_t pixelRow = 4 * static_cast<std::size_t>(width);
    if (features.has_alpha) {
        const std::size_t size = pixelRow * static_cast<std::size_t>(height);
        premultiplied.reset(new (std::nothrow) std::uint8_t[size]);
        if (!premultiplied)
            return std::nullopt;
        config->output.colorspace = MODE_bgrA;
        target.rgba = premultiplied.get();
        target.stride = static_cast<int>(pixelRow);
        target.size = size;
    } else {
        dib = NewColourDib(width, height);
        if (!dib)
            return std::nullopt;
        config->output.colorspace = MODE_BGR;
        target.rgba = FindDibBits(dib->data());
        target.stride = static_cast<int>(DibRowBytes(dib->data()));
        target.size = static_cast<std::size_t>(target.stride) * static_cast<std::size_t>(height);
    }
    if (WebPDecode(data, length, config.get()) != VP8_STATUS_OK)
        return std::nullopt;
    if (!features.has_alpha)
        return dib;
    dib = NewColourDib(width, height);
    if (!dib)
        return std::nullopt;
    const std::size_t rowBytes = static_cast<std::size_t>(DibRowBytes(dib->data()));
    std::uint8_t* bits = FindDibBits(dib->data());
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = premultiplied.get() + static_cast<std::size_t>(y) * pixelRow;
        std::uint8_t* out = bits + static_cast<std::size_t>(y) * rowBytes;
        for (int x = 0; x < width; ++x, in += 4, out += 3) {
            const int paper = 255 - in[3];
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<std::uint8_t>(std::min(255, in[c] + paper));
        }
    }
    return dib;
}
