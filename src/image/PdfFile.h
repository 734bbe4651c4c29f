#pragma once

#include "image/DibUtil.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// PDF pages, rendered through poppler onto white paper as 24-bit DIBs.
//
// A picture path names either a file or one page of a PDF file at a resolution, written as
// the file's path followed by "#page=N&dpi=D" (the page counted from 1). Projects keep such a
// path as their image reference, so that they reopen the page they were collected on; a path
// without the suffix is a plain file, as it always was.

constexpr int kPdfDefaultDpi = 300;
constexpr int kPdfMinDpi = 10;
constexpr int kPdfMaxDpi = 2400;

// Whether the first bytes announce a PDF: "%PDF-" within the first kilobyte, as poppler
// accepts it.
bool SniffPdf(const std::uint8_t* data, std::size_t length);
// Whether path names a regular file that is a PDF.
bool IsPdfFile(const std::string& path);

// The pages of a PDF file; 0 when poppler cannot read it or it is locked.
int PdfPageCount(const std::string& path);

// The size in pixels of page (1 ... count) at dpi, as the rendering will have it; false for a
// page that is not there.
bool PdfPageSize(const std::string& path, int page, int dpi, int* width, int* height);

// Page (1 ... count) at dpi (kPdfMinDpi ... kPdfMaxDpi); nothing for a file poppler cannot
// read, a page that is not there, or a picture beyond the DIB bounds (checked before the
// rendering). pageCount, when given, receives the number of pages.
std::optional<DibBlock> RenderPdfFile(const std::string& path, int page, int dpi,
                                      int* pageCount = nullptr);
std::optional<DibBlock> RenderPdfMemory(const std::uint8_t* data, std::size_t length, int page,
                                        int dpi, int* pageCount = nullptr);

// A picture path taken apart: the file, and for a PDF page its page and resolution (0 when
// the path has no page suffix).
struct PicturePath {
    std::string file;
    int page = 0;
    int dpi = 0;
};

// The file named by path itself when it exists; otherwise path with a sound page suffix taken
// apart; otherwise path as it is.
PicturePath SplitPicturePath(const std::string& path);
std::string PdfPagePath(const std::string& file, int page, int dpi);
