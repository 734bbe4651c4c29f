#pragma once

#include <QFileDialog>

#include <string>

class CSaveDlg;
class QCheckBox;

// The save prompt: a file dialog with the four save formats as its filters and the check
// boxes "Sort Data Points" and "Save Bitmap Copy" below, each enabled for the formats it
// applies to. The chosen filter decides the format and the extension of the saved file.
class CSaveDlgForm : public QFileDialog {
    Q_OBJECT
public:
    CSaveDlgForm(CSaveDlg& dlg, QWidget* parent = nullptr);

    // Picks a filter entry (1-based) as if the user had chosen it.
    void SelectEntry(int entry);
    // OK with the name the user chose: the path the file would get; when that file exists
    // the user is asked whether to replace it, and a "No" keeps the dialog open (false).
    // Otherwise the check boxes are applied through the dialog model (true).
    bool Finish(const QString& chosen);
    // The path to save to, after Finish.
    const std::string& Path() const { return m_path; }

    void accept() override;

    // The runner the program installs for the document's save prompt.
    static bool RunModal(CSaveDlg& dlg, std::string& path, QWidget* parent);

private:
    void OnFilterSelected(const QString& filter);
    void EnableChecks();

    CSaveDlg& m_dlg;
    QCheckBox* m_sortData;
    QCheckBox* m_saveBitmapCopy;
    std::string m_path;
};
