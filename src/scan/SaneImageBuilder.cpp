#include "scan/SaneImageBuilder.h"

#include "image/DibUtil.h"
#include "image/PictureFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The 8-bit value of sample index of a row of the given depth.
inline std::uint8_t Sample(const std::uint8_t* row, std::size_t index, int depth, bool oneIsDark)
{
    if (depth == 8)
        return row[index];
    if (depth == 16) {
        std::uint16_t value;
        std::memcpy(&value, row + 2 * index, 2);
        return static_cast<std::uint8_t>(value >> 8);
    }
    const bool set = (row[index / 8] >> (7 - index % 8)) & 1;
    return set == oneIsDark ? 0 : 255;
}

// One grey line into a DIB row: 1-bit lines keep their bits, others become 8-bit.
void GreyRow(std::uint8_t* out, const std::uint8_t* row, int width, int depth)
{
    if (depth == 1) {
        std::memcpy(out, row, (static_cast<std::size_t>(width) + 7) / 8);
        if (width % 8)
            out[width / 8] &= static_cast<std::uint8_t>(0xFF << (8 - width % 8));
    } else if (depth == 8) {
        std::memcpy(out, row, static_cast<std::size_t>(width));
    } else {
        for (int x = 0; x < width; ++x)
            out[x] = Sample(row, static_cast<std::size_t>(x), 16, true);
    }
}

// One colour line into a 24-bit DIB row (blue first): from one interleaved RGB line, or from
// the red, green and blue lines of a three-pass scan.
void ColourRow(std::uint8_t* out, const std::uint8_t* const rows[3], bool interleaved, int width,
               int depth)
{
    if (interleaved && depth == 8) {
        RgbToBgr(rows[0], out, static_cast<std::size_t>(width));
        return;
    }
    for (int x = 0; x < width; ++x, out += 3)
        for (int c = 0; c < 3; ++c) {
            const std::size_t index =
                interleaved ? 3 * static_cast<std::size_t>(x) + c : static_cast<std::size_t>(x);
            out[2 - c] = Sample(rows[c], index, depth, false);
        }
}

void SetResolution(DibBlock& dib, double resolution)
{
    if (resolution <= 0)
        return;
    const auto perMetre = static_cast<std::uint32_t>(std::lround(resolution / 0.0254));
    PutLE32(dib.data() + 24, perMetre);
    PutLE32(dib.data() + 28, perMetre);
}

} // namespace

bool SaneImageBuilder::BeginFrame(const SANE_Parameters& p)
{
    const bool single = p.format == SANE_FRAME_GRAY || p.format == SANE_FRAME_RGB;
    const bool channel =
        p.format == SANE_FRAME_RED || p.format == SANE_FRAME_GREEN || p.format == SANE_FRAME_BLUE;
    if (!single && !channel) {
        m_error = "The scanner sends a kind of picture the program cannot take.";
        return false;
    }
    if (p.depth != 1 && p.depth != 8 && p.depth != 16) {
        m_error = "The scanner sends samples of " + std::to_string(p.depth) +
                  " bits; the program takes 1, 8 or 16.";
        return false;
    }
    const std::uint64_t samples = static_cast<std::uint64_t>(std::max(p.pixels_per_line, 0)) *
                                  (p.format == SANE_FRAME_RGB ? 3 : 1);
    if (p.pixels_per_line < 1 || p.pixels_per_line > kMaxDibSide || p.lines > kMaxDibSide ||
        p.bytes_per_line < 1 ||
        static_cast<std::uint64_t>(p.bytes_per_line) * 8 < samples * p.depth) {
        m_error = "The scanner announces a picture of an impossible size.";
        return false;
    }
    if (channel)
        m_threePass = true;
    else
        m_frames.clear();
    Frame frame;
    frame.format = p.format;
    frame.depth = p.depth;
    frame.pixels = p.pixels_per_line;
    frame.lines = p.lines;
    frame.bytesPerLine = static_cast<std::size_t>(p.bytes_per_line);
    m_direct.reset();
    m_carry.clear();
    m_linesDone = 0;
    if (single && p.lines > 0) {
        m_direct = NewPicture(frame, p.lines);
        if (!m_direct) {
            m_error = "The scanned picture is too large.";
            return false;
        }
    } else if (p.lines > 0) {
        frame.bytes.reserve(frame.bytesPerLine * static_cast<std::size_t>(p.lines));
    }
    m_frames.push_back(std::move(frame));
    return true;
}

void SaneImageBuilder::Append(const std::uint8_t* data, std::size_t length)
{
    if (m_frames.empty())
        return;
    if (!m_direct) {
        m_frames.back().bytes.insert(m_frames.back().bytes.end(), data, data + length);
        return;
    }
    const std::size_t line = m_frames.back().bytesPerLine;
    while (length > 0) {
        if (m_carry.empty() && length >= line) {
            WriteLine(data);
            data += line;
            length -= line;
            continue;
        }
        const std::size_t take = std::min(line - m_carry.size(), length);
        m_carry.insert(m_carry.end(), data, data + take);
        data += take;
        length -= take;
        if (m_carry.size() == line) {
            WriteLine(m_carry.data());
            m_carry.clear();
        }
    }
}

void SaneImageBuilder::WriteLine(const std::uint8_t* line)
{
    const Frame& frame = m_frames.back();
    // Lines beyond the announced count are dropped.
    if (m_linesDone >= frame.lines)
        return;
    DibBlock& dib = *m_direct;
    std::uint8_t* out =
        FindDibBits(dib.data()) +
        static_cast<std::size_t>(frame.lines - 1 - m_linesDone) * DibRowBytes(dib.data());
    if (frame.format == SANE_FRAME_GRAY) {
        GreyRow(out, line, frame.pixels, frame.depth);
    } else {
        const std::uint8_t* const rows[3] = {line, line, line};
        ColourRow(out, rows, true, frame.pixels, frame.depth);
    }
    ++m_linesDone;
}

bool SaneImageBuilder::EndFrame()
{
    if (m_frames.empty())
        return false;
    Frame& frame = m_frames.back();
    if (m_direct) {
        if (m_linesDone < 1) {
            m_error = "The scanner sent no picture.";
            return false;
        }
        return true;
    }
    // A frame may come short (or, with an unknown count, be any length): whole lines count.
    const std::size_t whole = frame.bytes.size() / frame.bytesPerLine;
    frame.lines = static_cast<int>(std::min<std::size_t>(whole, kMaxDibSide));
    if (frame.lines < 1) {
        m_error = "The scanner sent no picture.";
        return false;
    }
    return true;
}

std::uint64_t SaneImageBuilder::ExpectedFrameBytes() const
{
    if (m_frames.empty() || m_frames.back().lines < 0)
        return 0;
    return static_cast<std::uint64_t>(m_frames.back().lines) * m_frames.back().bytesPerLine;
}

std::optional<DibBlock> SaneImageBuilder::NewPicture(const Frame& frame, int lines)
{
    if (frame.format == SANE_FRAME_GRAY && frame.depth == 1) {
        // Line art keeps its bits: index 1, a set bit, is black.
        BitmapInfoHeader like;
        like.bitCount = 1;
        like.clrUsed = 2;
        const std::uint8_t table[8] = {255, 255, 255, 0, 0, 0, 0, 0};
        return MakeDib(like, frame.pixels, lines, table);
    }
    return frame.format == SANE_FRAME_GRAY ? NewGreyDib(frame.pixels, lines)
                                           : NewColourDib(frame.pixels, lines);
}

std::optional<DibBlock> SaneImageBuilder::Finish(double resolution)
{
    std::optional<DibBlock> dib;
    if (m_direct) {
        dib = std::move(m_direct);
        const int announced = m_frames.back().lines;
        if (m_linesDone < announced) {
            // A short frame: its lines are the top rows of the picture, which shrinks to them.
            const std::size_t stride = DibRowBytes(dib->data());
            std::uint8_t* bits = FindDibBits(dib->data());
            std::memmove(bits, bits + (announced - m_linesDone) * stride, m_linesDone * stride);
            PutLE32(dib->data() + 8, static_cast<std::uint32_t>(m_linesDone));
            dib->resize(static_cast<std::size_t>(DibSize(dib->data())));
        }
    } else if (!m_threePass && !m_frames.empty()) {
        const Frame& frame = m_frames.back();
        if (frame.format == SANE_FRAME_GRAY) {
            dib = Grey(frame);
        } else {
            const Frame* channels[3] = {&frame, &frame, &frame};
            dib = Colour(channels, true);
        }
    } else if (m_threePass) {
        const Frame* channels[3] = {nullptr, nullptr, nullptr};
        for (const Frame& frame : m_frames)
            channels[frame.format - SANE_FRAME_RED] = &frame;
        if (channels[0] && channels[1] && channels[2])
            dib = Colour(channels, false);
        else
            m_error = "The scanner did not send all three colours.";
    }
    if (!dib && m_error.empty())
        m_error = "The scanned picture is too large.";
    if (dib)
        SetResolution(*dib, resolution);
    m_frames.clear();
    m_direct.reset();
    m_threePass = false;
    return dib;
}

std::optional<DibBlock> SaneImageBuilder::Grey(const Frame& frame)
{
    std::optional<DibBlock> dib = NewPicture(frame, frame.lines);
    if (!dib)
        return dib;
    std::uint8_t* bits = FindDibBits(dib->data());
    const std::size_t stride = DibRowBytes(dib->data());
    for (int y = 0; y < frame.lines; ++y)
        GreyRow(bits + static_cast<std::size_t>(frame.lines - 1 - y) * stride,
                frame.bytes.data() + static_cast<std::size_t>(y) * frame.bytesPerLine, frame.pixels,
                frame.depth);
    return dib;
}

std::optional<DibBlock> SaneImageBuilder::Colour(const Frame* channels[3], bool interleaved)
{
    const int width = channels[0]->pixels;
    int height = channels[0]->lines;
    for (int c = 1; c < 3; ++c) {
        if (channels[c]->pixels != width || channels[c]->depth != channels[0]->depth) {
            m_error = "The scanner's colour frames do not match.";
            return std::nullopt;
        }
        height = std::min(height, channels[c]->lines);
    }
    std::optional<DibBlock> dib = NewColourDib(width, height);
    if (!dib)
        return dib;
    std::uint8_t* bits = FindDibBits(dib->data());
    const std::size_t stride = DibRowBytes(dib->data());
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* rows[3];
        for (int c = 0; c < 3; ++c)
            rows[c] =
                channels[c]->bytes.data() + static_cast<std::size_t>(y) * channels[c]->bytesPerLine;
        ColourRow(bits + static_cast<std::size_t>(height - 1 - y) * stride, rows, interleaved,
                  width, channels[0]->depth);
    }
    return dib;
}
