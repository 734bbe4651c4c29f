#include "document/PdfPageDlg.h"

#include "image/DibUtil.h"
#include "image/PdfFile.h"
#include "platform/UiServices.h"

#include <cstdint>
#include <utility>

PdfPageDlg::PdfPageDlg(std::string file)
    : m_dpi(kPdfDefaultDpi), m_file(std::move(file)), m_pageCount(PdfPageCount(m_file))
{
}

std::string PdfPageDlg::SizeText() const
{
    int width = 0;
    int height = 0;
    if (m_dpi < kPdfMinDpi || m_dpi > kPdfMaxDpi ||
        !PdfPageSize(m_file, m_page, m_dpi, &width, &height))
        return {};
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

bool PdfPageDlg::OnOK() const
{
    UiServices& ui = GetUiServices();
    if (m_page < 1 || m_page > m_pageCount) {
        ui.MessageBox("Enter a page from 1 to " + std::to_string(m_pageCount) + ".");
        return false;
    }
    if (m_dpi < kPdfMinDpi || m_dpi > kPdfMaxDpi) {
        ui.MessageBox("Enter a resolution from " + std::to_string(kPdfMinDpi) + " to " +
                      std::to_string(kPdfMaxDpi) + " dpi.");
        return false;
    }
    int width = 0;
    int height = 0;
    if (!PdfPageSize(m_file, m_page, m_dpi, &width, &height) || width > kMaxDibSide ||
        height > kMaxDibSide ||
        DibRowBytes(width, 24) * static_cast<std::uint64_t>(height) > kMaxDibImageBytes) {
        ui.MessageBox("The page is too large at this resolution: choose a lower one.");
        return false;
    }
    return true;
}

std::string PdfPageDlg::PagePath() const
{
    return PdfPagePath(m_file, m_page, m_dpi);
}
