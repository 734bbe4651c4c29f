#include "app/ContextHelp.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialogButtonBox>
#include <QWidget>

#include <cstring>

namespace {

struct ControlHelp {
    const char* name;
    const char* text;
};

// The texts of the dialogs' controls, by object name.
constexpr ControlHelp kControls[] = {
    // Axis Mapping
    {"XMin", "The graph X value at the left edge of the mapping region."},
    {"XMax", "The graph X value at the right edge of the mapping region."},
    {"YMin", "The graph Y value at the bottom edge of the mapping region."},
    {"YMax", "The graph Y value at the top edge of the mapping region."},
    {"XLog", "X runs logarithmically (base 10) across the region; its limits must be above 0."},
    {"YLog", "Y runs logarithmically (base 10) up the region; its limits must be above 0."},
    // Pixel Mapping
    {"Aspect", "The width of a graph unit divided by its height, on the picture."},
    {"PointsPerUnit", "How many picture pixels make one graph unit of height."},
    {"XOrigin", "The graph X value at the bottom-left corner of the mapping region."},
    {"YOrigin", "The graph Y value at the bottom-left corner of the mapping region."},
    // Grid Snap
    {"SnapX", "Collected points snap to the nearest grid line across X."},
    {"SnapY", "Collected points snap to the nearest grid line across Y."},
    {"OriginX", "An X value on which a grid line lies."},
    {"OriginY", "A Y value on which a grid line lies."},
    {"StepX", "The distance between grid lines across X, in graph units."},
    {"StepY", "The distance between grid lines across Y, in graph units."},
    {"ShowX", "Draws the X grid lines over the picture."},
    {"ShowY", "Draws the Y grid lines over the picture."},
    // Options and the Save dialog
    {"SortData", "Sorts the points of each data set on X when they are saved or copied."},
    {"SaveBitmapCopy",
     "Saves the picture inside the project. Without it the project refers to the picture's "
     "file, which must stay where it is."},
    {"ReuseMappingData", "A pasted picture keeps the mapping region and axis mapping."},
    {"AllowCaching", "Keeps zoomed copies of the picture to redraw faster, at the cost of memory."},
    {"UncertaintyColumns",
     "Text and CSV exports add the columns dX and dY: half an image pixel in graph units at each "
     "point, the resolution the points were digitized with."},
    {"MagnifierFactor", "How many times the magnifier enlarges the spot under the pointer."},
    // Attributes
    {"Name", "The attribute's name, shared by every point that carries it."},
    {"Value", "The attribute's value for the points it is given to."},
    {"CurrentSetOnly", "Gives the attribute to the points of the current data set only."},
    {"AttList", "The attributes of the data sets: double-click one to change it."},
    {"NewAttribute", "Adds an attribute to the points."},
    // Region Nodes
    {"Angle",
     "The region's angle in degrees; a typed angle turns it about its bottom-left corner."},
    // PDF page
    {"Page", "The page of the PDF file to open."},
    {"Resolution", "The resolution the page is drawn at, in dots per inch."},
    // Image information and About
    {"InfoText", "The picture's size, colours, resolution and file."},
    {"AboutVersion", "The program's version."},
    {"AboutCredit", "The version of the TIFF library the program reads TIFF files with."},
};

const char* TextOf(const QString& name)
{
    // The Region Nodes dialog's X1 ... Y8.
    if (name.size() == 2 && name[1].isDigit()) {
        if (name[0] == u'X')
            return "The node's X position in image pixels (pixel i is centred on i).";
        if (name[0] == u'Y')
            return "The node's Y position in image pixels, downward (pixel i is centred on i).";
    }
    for (const ControlHelp& c : kControls)
        if (name == QLatin1String(c.name))
            return c.text;
    return nullptr;
}

const char* ButtonText(QDialogButtonBox::ButtonRole role)
{
    switch (role) {
    case QDialogButtonBox::AcceptRole:
        return "Closes the dialog and keeps what was entered in it.";
    case QDialogButtonBox::RejectRole:
        return "Closes the dialog without changing anything.";
    default:
        return nullptr;
    }
}

} // namespace

void AddContextHelp(QWidget* dialog)
{
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (const char* text = TextOf(w->objectName()))
            w->setWhatsThis(QString::fromUtf8(text));
    }
    for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>()) {
        for (QAbstractButton* button : box->buttons()) {
            if (const char* text = ButtonText(box->buttonRole(button)))
                button->setWhatsThis(QString::fromUtf8(text));
        }
    }
}

void AddContextHelp(QAction* action, const char* title, const char* prompt)
{
    if (!prompt || !*prompt)
        return;
    QString text = QString::fromUtf8(prompt).toHtmlEscaped() + QLatin1Char('.');
    if (title && *title)
        text =
            QStringLiteral("<b>%1</b><br>%2").arg(QString::fromUtf8(title).toHtmlEscaped(), text);
    action->setWhatsThis(text);
}
