#pragma once

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CKurvoDoc;
class ExtractPreview;
class ImageViewWidget;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTimer;
struct ToolEvent;

// Data > Extract...: the modeless panel that finds points by colour in the active document.
// Each change of a parameter runs the extraction again off the user-interface thread and shows
// the matching pixels and the candidate points in the view; "Add to Current Set" adds the
// points as one undoable task.
class ExtractPanel : public QWidget {
    Q_OBJECT
public:
    // activeView answers the view of the active document window (null when there is none).
    ExtractPanel(std::function<ImageViewWidget*()> activeView, QWidget* parent = nullptr);
    ~ExtractPanel() override;

    // Shows the panel for the active view and previews at once.
    void Open();
    // The active document window changed.
    void ActiveViewChanged();

    // For tests: the state of the last finished run.
    int CandidateCount() const;
    bool IsRunning() const { return static_cast<bool>(m_running); }
    QString StatusText() const;
    void SetColour(std::uint32_t rgb);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Run;
    void Schedule();
    void Start();
    void Finished(const std::shared_ptr<Run>& run);
    void Poll();
    void Cancel();
    void AddToSet();
    void TogglePick(bool on);
    // While on, a drag in the view lays the box (the area becomes the box).
    void ToggleBoxDrag(bool on);
    // The box outline over the view while the area is the box.
    void DrawBox(ToolEvent& e) const;
    void Attach(ImageViewWidget* view);
    void Detach();
    void ShowColour();
    // What the preview was made from: the mapping as the project writes it, the place in
    // the undo history and the picture's size. A change shows when the view repaints.
    std::vector<std::uint8_t> Signature() const;
    void CheckStale();

    std::function<ImageViewWidget*()> m_activeView;
    QPointer<ImageViewWidget> m_view;
    std::uint32_t m_colour = 0x000000;
    std::shared_ptr<Run> m_running;
    std::shared_ptr<ExtractPreview> m_shown;
    CKurvoDoc* m_shownDoc = nullptr;
    std::vector<std::uint8_t> m_signature;

    QPushButton* m_colourButton;
    QPushButton* m_pickButton;
    QPushButton* m_dragBoxButton;
    QSpinBox* m_tolerance;
    QComboBox* m_method;
    QStackedWidget* m_pages;
    QLineEdit* m_step;
    QCheckBox* m_logStep;
    QSpinBox* m_join;
    QSpinBox* m_windowW;
    QSpinBox* m_windowH;
    QSpinBox* m_minArea;
    QSpinBox* m_maxArea;
    QComboBox* m_area;
    QSpinBox* m_box[4];
    QLabel* m_status;
    QProgressBar* m_progress;
    QPushButton* m_cancel;
    QPushButton* m_add;
    QTimer* m_debounce;
    QTimer* m_poll;
};
