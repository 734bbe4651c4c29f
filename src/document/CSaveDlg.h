#pragma once

#include <functional>
#include <string>

class PlotData;

// The save dialog without its form: a file prompt with four filter entries (project, points
// text, comma separated, bitmap) and the check boxes "Sort Data Points" and "Save Bitmap
// Copy". The filter entry the user chose last is remembered for the whole run.
class CSaveDlg {
public:
    static constexpr int kEntryCount = 5;
    static constexpr int kIdSortData = 1009;
    static constexpr int kIdSaveBitmapCopy = 1013;
    // "Kurvo Files (*.kvx)", ...; patterns "*.kvx", ...; 1-based entries.
    static const char* FilterName(int entry);
    static const char* FilterPattern(int entry);
    static const char* FilterExtension(int entry);

    // title: the prompt's caption; proposal: the proposed file name (a path).
    CSaveDlg(PlotData* data, const std::string& proposal, const std::string& title);

    // Picks another filter entry: the name takes that entry's extension.
    // The filter changed after the user typed a name: that name, without a known extension,
    // keeps its place with the new entry's extension.
    void OnFilterChanged(int entry, const std::string& typedName);
    void OnFilterChanged(int entry);
    bool SortEnabled() const;
    bool BitmapCopyEnabled() const;
    // OK with the path the user chose (folder and name) in the current entry: applies the
    // check boxes to the data and remembers the entry. Returns the path to save to: a name
    // typed with the extension of a save format keeps it and chooses that format; otherwise
    // a known extension of the name is replaced by the entry's.
    std::string OnOK(const std::string& chosenPath);

    // The process-wide remembered entry (0: none chosen yet).
    static int RememberedEntry();
    static void ForgetRememberedEntry();

    std::string m_title;
    std::string m_folder;   // where the proposal lies
    std::string m_fileName; // the name shown: file title plus the entry's extension
    int m_entry;
    bool m_sortData;
    bool m_saveBitmapCopy;

private:
    PlotData* m_data;
    std::string m_fileTitle;
};

// Runs the prompt: true with the chosen path in path when the user confirmed. The desktop
// program installs its form; without one the prompt goes through the plain file prompt of
// UiServices.
using SaveDialogRunner = std::function<bool(CSaveDlg& dlg, std::string& path)>;
void SetSaveDialogRunner(SaveDialogRunner runner);
bool RunSaveDialog(CSaveDlg& dlg, std::string& path);
