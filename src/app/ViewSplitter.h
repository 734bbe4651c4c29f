#pragma once

#include <QSplitter>

class CDataView;
class DbSetMgr;
class ImageViewWidget;

// The splitter of a document window: the image view alone at first, with the split box at
// its left edge; dragging the box splits the window, the data list opening on the left and
// the image view (with its scroll bars) keeping the right. Dragging the split back to the
// edge closes the list again.
class ViewSplitter : public QSplitter {
    Q_OBJECT
public:
    static constexpr int kMinPane = 10;

    ViewSplitter(ImageViewWidget* imageView, DbSetMgr* setMgr, QWidget* parent = nullptr);
    ~ViewSplitter() override;

    // Splits at x (splitter coordinates): false, and nothing changes, when either side would
    // be narrower than the minimum pane or the window is already split.
    bool SplitColumn(int x);
    // Closes the data list.
    void Unsplit();
    bool IsSplit() const { return m_dataView != nullptr; }
    CDataView* DataView() const { return m_dataView; }
    ImageViewWidget* ImageView() const { return m_imageView; }

signals:
    // The data list opened or closed.
    void SplitChanged();

private:
    void OnMoved(int pos, int index);

    ImageViewWidget* m_imageView;
    DbSetMgr* m_setMgr;
    QWidget* m_left;
    CDataView* m_dataView = nullptr;
    bool m_adjusting = false;
};
