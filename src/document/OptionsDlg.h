#pragma once

#include <functional>

class CPreferences;
class PlotData;

// The Options dialog's fields and the Options command: five check boxes exchanged with the
// preferences ("Save Bitmap Copy" is the inverse of SaveReference). The desktop installs
// the runner that shows the form; without one the dialog counts as cancelled.
class OptionsDlg {
public:
    // Shows the dialog on the fields; true when the user confirmed.
    using Runner = std::function<bool(OptionsDlg&)>;

    int m_sortData = 0;
    int m_saveBitmapCopy = 0;
    int m_reuseMappingData = 0;
    int m_allowCaching = 0;
    int m_uncertaintyColumns = 0;
    int m_magnifierFactor = 6;

    void Load(const CPreferences& prefs);
    void Store(CPreferences& prefs) const;

    // The Options command: fills the dialog from the preferences and runs it; on OK writes
    // the values back, applies them to the active document's data (may be null) and
    // notifies the preferences' observers. Returns whether the user confirmed.
    static bool Run(CPreferences& prefs, PlotData* activeData);

    static void SetRunner(Runner runner);
};
