#pragma once

#include <memory>

class PlotData;
class TransformAxisVw;

// The "Axis Mapping" dialog without its form: the limits of the region's corners and the
// logarithmic flags, checked on OK and applied as one undoable mapping task.
class TransDlg {
public:
    static constexpr int kTemplateId = 132;
    enum ControlId {
        kIdXMin = 1000,
        kIdXMax = 1001,
        kIdYMin = 1002,
        kIdYMax = 1003,
        kIdXLog = 1004,
        kIdYLog = 1005,
    };

    explicit TransDlg(PlotData* data);
    ~TransDlg();
    TransDlg(const TransDlg&) = delete;
    TransDlg& operator=(const TransDlg&) = delete;

    // The fields from the document's current mapping (done when the dialog opens).
    void LoadFields();
    // OK: refuses non-positive limits on a logarithmic axis with a message and stays open
    // (false); otherwise executes the mapping task and closes (true).
    bool OnOK();
    // Nothing reaches the document.
    void OnCancel() {}
    // Whether the dialog still holds its representation (until OK hands it on).
    bool HasRepresentation() const { return m_rep != nullptr; }

    double m_xMin = 0.0;
    double m_xMax = 0.0;
    double m_yMin = 0.0;
    double m_yMax = 0.0;
    int m_xLog = 0;
    int m_yLog = 0;

private:
    PlotData* m_data;
    std::unique_ptr<TransformAxisVw> m_rep;
};
