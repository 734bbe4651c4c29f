#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// One entry per reader of outside data, shared by the fuzz programs and the replay of kept
// findings. Each hands the bytes to its reader and checks what the reader made of them.
enum class FeedResult {
    Rejected, // the reader refused the input and left nothing behind
    Accepted, // the reader took the input and what it made is sound
    Unsound,  // the reader took the input but what it made breaks the program's rules
};

// A whole Windows bitmap file.
FeedResult FeedBmp(const std::uint8_t* data, std::size_t size);
// An embedded block of a project file: the first byte chooses the plain (even) or the
// compressed (odd) form, the rest is the archive the block is read from.
FeedResult FeedEmbeddedBlock(const std::uint8_t* data, std::size_t size);
// A whole TIFF file.
FeedResult FeedTiff(const std::uint8_t* data, std::size_t size);
// A whole file opened as a document (image or project) after being written to path.
FeedResult FeedProject(const std::uint8_t* data, std::size_t size, const std::string& path);
// A whole PNG, JPEG, GIF or WebP file, each to its own reader.
FeedResult FeedPng(const std::uint8_t* data, std::size_t size);
FeedResult FeedJpeg(const std::uint8_t* data, std::size_t size);
FeedResult FeedGif(const std::uint8_t* data, std::size_t size);
FeedResult FeedWebp(const std::uint8_t* data, std::size_t size);
// A whole PDF file, its first page rendered at 36 dpi.
FeedResult FeedPdf(const std::uint8_t* data, std::size_t size);
// An archive read string after string until it ends.
FeedResult FeedArchiveStrings(const std::uint8_t* data, std::size_t size);

// Makes message boxes silent for the rest of the process.
void QuietUiServices();
