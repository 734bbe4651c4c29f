#pragma once

#include <memory>

class PlotData;
class RegGridVw;

// The "Regular Grid Snap" dialog without its form: per axis the snap flag, origin, step and
// show flag. An axis's origin, step and show controls are enabled while it snaps.
class RegGridDlg {
public:
    static constexpr int kTemplateId = 143;
    enum ControlId {
        kIdOriginX = 1019,
        kIdStepY = 1020,
        kIdStepX = 1021,
        kIdOriginY = 1022,
        kIdSnapX = 1023,
        kIdSnapY = 1024,
        kIdShowX = 1025,
        kIdShowY = 1026,
    };

    explicit RegGridDlg(PlotData* data);
    ~RegGridDlg();
    RegGridDlg(const RegGridDlg&) = delete;
    RegGridDlg& operator=(const RegGridDlg&) = delete;

    void LoadFields();
    // Whether the X (or Y) origin, step and show controls are enabled.
    bool XControlsEnabled() const { return m_snapX != 0; }
    bool YControlsEnabled() const { return m_snapY != 0; }
    // A click on the "X:" or "Y:" check box with its new state.
    void OnSnapX(bool checked) { m_snapX = checked; }
    void OnSnapY(bool checked) { m_snapY = checked; }
    // OK: refuses a zero step on either axis with a message and stays open (false);
    // otherwise executes the grid task and closes (true).
    bool OnOK();
    void OnCancel() {}
    bool HasRepresentation() const { return m_rep != nullptr; }

    int m_snapX = 0;
    int m_snapY = 0;
    double m_originX = 0.0;
    double m_stepX = 0.0;
    double m_originY = 0.0;
    double m_stepY = 0.0;
    int m_showX = 1;
    int m_showY = 1;

private:
    PlotData* m_data;
    std::unique_ptr<RegGridVw> m_rep;
};
