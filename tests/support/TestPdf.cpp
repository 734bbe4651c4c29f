#include "support/TestPdf.h"

#include <cstdio>
#include <fstream>

std::string MakeTestPdf(const std::vector<TestPdfPage>& pages)
{
    std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>", ""};
    std::string kids;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const TestPdfPage& p = pages[i];
        const std::size_t page = objects.size() + 1;
        kids += std::to_string(page) + " 0 R ";
        char box[96];
        std::snprintf(box, sizeof box, "[0 0 %g %g]", p.width, p.height);
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox " + std::string(box) +
                          " /Rotate " + std::to_string(p.rotate) + " /Contents " +
                          std::to_string(page + 1) + " 0 R >>");
        objects.push_back("<< /Length " + std::to_string(p.content.size()) + " >>\nstream\n" +
                          p.content + "\nendstream");
    }
    objects[1] =
        "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>";
    std::string out = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(out.size());
        out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = out.size();
    out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t offset : offsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        out += line;
    }
    out += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return out;
}

bool WriteTestPdf(const std::string& path, const std::vector<TestPdfPage>& pages)
{
    const std::string bytes = MakeTestPdf(pages);
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}
