#pragma once

#include <string>

// The "PDF Page" dialog's model: which page of a PDF to open and at what resolution. A PDF of
// one page asks only for the resolution.
class PdfPageDlg {
public:
    // Counts the pages of file; a file poppler cannot read has none.
    explicit PdfPageDlg(std::string file);

    int PageCount() const { return m_pageCount; }
    bool AsksForPage() const { return m_pageCount > 1; }
    // The picture the fields give, as "W x H pixels"; empty while they name no page.
    std::string SizeText() const;
    // Checks the fields, telling the user what is wrong; true when they name a page whose
    // picture the program can hold.
    bool OnOK() const;
    // The picture path of the chosen page (image/PdfFile.h).
    std::string PagePath() const;

    int m_page = 1;
    int m_dpi;

private:
    std::string m_file;
    int m_pageCount = 0;
};
