#include "app/CImageMappingForm.h"
#include "app/COptions.h"
#include "app/RegGridDlgForm.h"
#include "app/RegionNodesForm.h"
#include "app/TransDlgForm.h"
#include "document/CImageMapping.h"
#include "document/OptionsDlg.h"
#include "document/RegGridDlg.h"
#include "document/RegionNodesDlg.h"
#include "document/TransDlg.h"
#include "tasks/PlotData.h"

#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// The named controls Tab visits from the one with the focus, in order.
std::vector<std::string> TabOrder(QDialog& dialog)
{
    std::vector<std::string> names;
    QWidget* first = dialog.focusWidget();
    for (QWidget* w = first; w && (names.empty() || w != first); w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty() &&
            w->window() == &dialog && !w->objectName().startsWith(QLatin1String("qt_")))
            names.push_back(w->objectName().toStdString());
    return names;
}

// Every dialog opens with its first control focused (an edit box's text selected, so that
// typing replaces it), Tab moves in reading order, and each control has its What's This.
TEST(DialogFocus, FirstControlFocusedTabInReadingOrderAndContextHelp)
{
    PlotData data;
    data.NewSet();
    TransDlg axis(&data);
    axis.LoadFields();
    CImageMapping pixel(&data);
    pixel.LoadFields();
    RegGridDlg grid(&data);
    grid.LoadFields();
    OptionsDlg options;
    RegionNodesDlg nodes(&data);
    struct Case {
        const char* name;
        std::function<std::unique_ptr<QDialog>()> make;
        std::vector<std::string> order;
    };
    const Case cases[] = {
        {"Axis Mapping",
         [&] { return std::make_unique<TransDlgForm>(axis); },
         {"XMin", "XMax", "XLog", "YMin", "YMax", "YLog"}},
        {"Pixel Mapping",
         [&] { return std::make_unique<CImageMappingForm>(pixel); },
         {"Aspect", "PointsPerUnit", "XOrigin", "YOrigin"}},
        {"Grid Snap",
         [&] { return std::make_unique<RegGridDlgForm>(grid); },
         {"SnapX", "OriginX", "StepX", "ShowX", "SnapY", "OriginY", "StepY", "ShowY"}},
        {"Options",
         [&] { return std::make_unique<COptions>(options); },
         {"SortData", "SaveBitmapCopy", "ReuseMappingData", "AllowCaching"}},
        {"Region Nodes",
         [&] { return std::make_unique<RegionNodesForm>(nodes); },
         {"X1", "Y1", "X2", "Y2", "X3", "Y3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<QDialog> dialog = c.make();
        dialog->show();
        QApplication::processEvents();
        const std::vector<std::string> order = TabOrder(*dialog);
        ASSERT_GE(order.size(), c.order.size());
        EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + c.order.size()), c.order);
        if (auto* edit = qobject_cast<QLineEdit*>(dialog->focusWidget())) {
            EXPECT_EQ(edit->selectedText(), edit->text());
        }
        for (QWidget* w : dialog->findChildren<QWidget*>()) {
            const bool part = w->objectName().startsWith(QLatin1String("qt_")); // of a control
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && !part) {
                EXPECT_FALSE(w->whatsThis().isEmpty()) << w->metaObject()->className();
            }
        }
    }
}

} // namespace
