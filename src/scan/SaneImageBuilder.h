#pragma once

#include "image/DibUtil.h"

#include <sane/sane.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Gathers the frames of one SANE image and makes a DIB of them. A frame is grey, RGB, or one
// colour of a three-pass scan (red, green and blue frames in any order); samples have 1, 8 or
// 16 bits (16-bit samples in the machine's byte order are cut to 8 bits). A frame whose line
// count is unknown (-1) ends where its data ends. Grey frames of 1 bit become 1-bit DIBs
// (a set bit is black), other grey frames 8-bit grey DIBs, colour 24-bit DIBs. A one-pass
// frame of known length is written into its DIB line by line as the data comes; the others
// are gathered first.
class SaneImageBuilder {
public:
    // Starts a frame; false (with Error set) for parameters the program cannot take.
    bool BeginFrame(const SANE_Parameters& parameters);
    // The frame's bytes, in the order sane_read delivers them.
    void Append(const std::uint8_t* data, std::size_t length);
    // Ends the frame; false when it brought no complete line.
    bool EndFrame();
    // The DIB of the frames so far; resolution in dots per inch (0 unknown). Nothing (with
    // Error set) when colour frames are missing or the picture is beyond the DIB bounds.
    std::optional<DibBlock> Finish(double resolution);

    // The bytes the current frame announces (0 while its line count is unknown).
    std::uint64_t ExpectedFrameBytes() const;
    // Whether the frames form a three-pass scan.
    bool IsThreePass() const { return m_threePass; }
    const std::string& Error() const { return m_error; }

private:
    struct Frame {
        SANE_Frame format = SANE_FRAME_GRAY;
        int depth = 8;
        int pixels = 0;
        int lines = 0;
        std::size_t bytesPerLine = 0;
        std::vector<std::uint8_t> bytes;
    };

    static std::optional<DibBlock> NewPicture(const Frame& frame, int lines);
    std::optional<DibBlock> Grey(const Frame& frame);
    std::optional<DibBlock> Colour(const Frame* channels[3], bool interleaved);
    void WriteLine(const std::uint8_t* line);

    std::vector<Frame> m_frames;
    // The picture written line by line, the part of a line not yet whole, the lines written.
    std::optional<DibBlock> m_direct;
    std::vector<std::uint8_t> m_carry;
    int m_linesDone = 0;
    bool m_threePass = false;
    std::string m_error;
};
