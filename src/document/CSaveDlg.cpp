#include "document/CSaveDlg.h"

#include "document/SaveFormat.h"
#include "model/DbSetMgr.h"
#include "platform/Document.h"
#include "platform/UiServices.h"
#include "tasks/PlotData.h"

namespace {

int g_rememberedEntry = 0;
SaveDialogRunner g_runner;

const char* const kNames[] = {"Kurvo Files (*.kvx)", "Points Only (*.txt)",
                              "Comma Separated Variables (*.csv)", "BMP Only (*.bmp)",
                              "PNG Only (*.png)"};
const char* const kPatterns[] = {"*.kvx", "*.txt", "*.csv", "*.bmp", "*.png"};

int ClampEntry(int entry)
{
    return entry < 1 || entry > CSaveDlg::kEntryCount ? 1 : entry;
}

} // namespace

const char* CSaveDlg::FilterName(int entry)
{
    return kNames[ClampEntry(entry) - 1];
}
const char* CSaveDlg::FilterPattern(int entry)
{
    return kPatterns[ClampEntry(entry) - 1];
}
const char* CSaveDlg::FilterExtension(int entry)
{
    return FormatExtension(ClampEntry(entry) - 1);
}

int CSaveDlg::RememberedEntry()
{
    return g_rememberedEntry;
}
void CSaveDlg::ForgetRememberedEntry()
{
    g_rememberedEntry = 0;
}

CSaveDlg::CSaveDlg(PlotData* data, const std::string& proposal, const std::string& title)
    : m_title(title), m_data(data)
{
    if (g_rememberedEntry) {
        m_entry = g_rememberedEntry;
    } else if (data->GetSetMgr()->GetTotalCount() > 0) {
        m_entry = 3;
    } else {
        m_entry =
            (data->IsImageEdited() || data->IsDataEdited() || data->IsImageReplaced()) ? 1 : 4;
    }
    const std::string name = FileNameOfPath(proposal);
    m_folder = proposal.substr(0, proposal.size() - name.size());
    m_fileTitle = StripKnownExtension(name);
    m_sortData = data->GetSortFlag();
    m_saveBitmapCopy = !data->GetSaveReference() || !data->ImageMatchesPath();
    OnFilterChanged(m_entry);
}

void CSaveDlg::OnFilterChanged(int entry)
{
    m_entry = ClampEntry(entry);
    m_fileName = m_fileTitle + FilterExtension(m_entry);
}

void CSaveDlg::OnFilterChanged(int entry, const std::string& typedName)
{
    if (!typedName.empty())
        m_fileTitle = StripKnownExtension(typedName);
    OnFilterChanged(entry);
}

bool CSaveDlg::SortEnabled() const
{
    return m_entry == 2 || m_entry == 3;
}

bool CSaveDlg::BitmapCopyEnabled() const
{
    // Where a reference would not give back this picture the copy is always saved.
    return m_entry == 1 && !m_data->GetImagePath().empty() && m_data->ImageMatchesPath();
}

std::string CSaveDlg::OnOK(const std::string& chosenPath)
{
    m_data->SetSortFlag(m_sortData);
    m_data->SetSaveReference(!m_saveBitmapCopy);
    // A typed extension of a save format chooses that format.
    const int typed = FormatFromPath(chosenPath, -1);
    if (typed >= 0) {
        m_entry = typed + 1;
        g_rememberedEntry = m_entry;
        return chosenPath;
    }
    g_rememberedEntry = m_entry;
    return StripKnownExtension(chosenPath) + FilterExtension(m_entry);
}

void SetSaveDialogRunner(SaveDialogRunner runner)
{
    g_runner = std::move(runner);
}

bool RunSaveDialog(CSaveDlg& dlg, std::string& path)
{
    if (g_runner)
        return g_runner(dlg, path);
    FilePrompt prompt;
    prompt.save = true;
    prompt.title = dlg.m_title;
    for (int entry = 1; entry <= CSaveDlg::kEntryCount; ++entry)
        prompt.filters.push_back(std::string(CSaveDlg::FilterName(entry)) + "|" +
                                 CSaveDlg::FilterPattern(entry));
    prompt.filterIndex = dlg.m_entry;
    prompt.fileName = dlg.m_folder + dlg.m_fileName;
    prompt.defaultExtension = CSaveDlg::FilterExtension(dlg.m_entry);
    if (!GetUiServices().PromptFileName(prompt))
        return false;
    dlg.OnFilterChanged(prompt.filterIndex);
    path = dlg.OnOK(prompt.fileName);
    return true;
}
