#pragma once

#include <QToolBar>

class DataSetsBox;
class QToolButton;

// The Data Sets toolbar: Attribute List and New Data Set buttons (added by the frame) and
// the drop-down list of the active document's sets, 5 pixels past the buttons. Laid out
// vertically (docked at a side) the list gives way to a disabled button, and comes back when
// the bar is horizontal again.
class CDataSetsBar : public QToolBar {
    Q_OBJECT
public:
    explicit CDataSetsBar(const QString& title, QWidget* parent = nullptr);

    // Puts the list in at the current end of the bar (once).
    DataSetsBox* AddSetsBox();
    DataSetsBox* Box() const { return m_box; }
    bool IsVertical() const { return m_vertical; }
    // The button that stands in for the list on a vertical bar.
    QToolButton* StandInButton() const { return m_standIn; }

private:
    void Layout(Qt::Orientation orientation);

    QWidget* m_holder = nullptr;
    DataSetsBox* m_box = nullptr;
    QToolButton* m_standIn = nullptr;
    bool m_vertical = false;
};
