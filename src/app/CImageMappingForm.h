#pragma once

#include <QDialog>

class CImageMapping;
class QLineEdit;

// The "Pixel Mapping" form: aspect ratio, points per unit length and the origin of a
// CImageMapping. The boxes take number characters only.
class CImageMappingForm : public QDialog {
    Q_OBJECT
public:
    explicit CImageMappingForm(CImageMapping& dlg, QWidget* parent = nullptr);

    void accept() override;

    static bool RunModal(CImageMapping& dlg, QWidget* parent);

private:
    CImageMapping& m_dlg;
    QLineEdit* m_aspect;
    QLineEdit* m_pointsPerUnit;
    QLineEdit* m_xOrigin;
    QLineEdit* m_yOrigin;
};
