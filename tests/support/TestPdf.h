#pragma once

#include <string>
#include <vector>

// A PDF written by hand: one page per entry, its media box in points, its content stream and
// its /Rotate; the cross-reference table is exact, so poppler reads it without repair.
struct TestPdfPage {
    double width = 612;
    double height = 792;
    std::string content;
    int rotate = 0;
};

std::string MakeTestPdf(const std::vector<TestPdfPage>& pages);
// Writes MakeTestPdf(pages) to path; false when the file cannot be written.
bool WriteTestPdf(const std::string& path, const std::vector<TestPdfPage>& pages);
