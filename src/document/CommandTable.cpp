#include "document/CommandTable.h"

#include "platform/CommandIds.h"

#include <algorithm>

namespace {

using MenuItem = CommandTable::MenuItem;

// One row per command: everything the shell shows of it apart from where it sits in the
// menus and toolbars. The menu entry of a command with keys names its first one.
struct CommandRow {
    CommandId id;
    const char* text;      // "prompt\ntool tip"
    const char* icon = ""; // the toolbar icon's name
    std::vector<const char*> keys = {};
    int count = 1; // a run of consecutive ids sharing the row (the recent files)
};

const std::vector<CommandRow>& Rows()
{
    static const std::vector<CommandRow> rows = {
        {ID_FILE_NEW, "Create a new document\nNew", "", {"Ctrl+N"}},
        {ID_FILE_OPEN, "Open an existing document\nOpen", "open", {"Ctrl+O"}},
        {ID_FILE_CLOSE, "Close the active document\nClose"},
        {ID_FILE_SAVE, "Save the active document\nSave", "save", {"Ctrl+S"}},
        {ID_FILE_SAVE_AS, "Save the active document with a new name\nSave As"},
        {ID_FILE_PRINT_SETUP, "Change the printer and printing options\nPrint Setup"},
        {ID_FILE_PRINT, "Print the active document\nPrint", "print", {"Ctrl+P"}},
        {ID_FILE_PRINT_DIRECT, "Print the active document using current options\nQuick Print"},
        {ID_FILE_PRINT_PREVIEW, "Display full pages\nPrint Preview", "print-preview"},
        {ID_FILE_MRU_FILE1, "Open this document", "", {}, kRecentFileCount},
        {ID_EDIT_COPY,
         "Copy the data points and the image to the Clipboard\nCopy",
         "copy",
         {"Ctrl+C"}},
        {ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut", "cut", {"Ctrl+X"}},
        {ID_EDIT_PASTE, "Replace the image by the Clipboard picture\nPaste", "paste", {"Ctrl+V"}},
        {ID_EDIT_UNDO, "Undo the last action\nUndo", "undo", {"Ctrl+Z"}},
        {ID_EDIT_REDO, "Redo the previously undone action\nRedo", "redo", {"Ctrl+Y"}},
        {ID_WINDOW_NEW, "Open another window for the active document\nNew Window"},
        {ID_WINDOW_ARRANGE, "Arrange icons at the bottom of the window\nArrange Icons"},
        {ID_WINDOW_CASCADE, "Arrange windows so they overlap\nCascade Windows"},
        {ID_WINDOW_TILE_HORZ, "Arrange windows as non-overlapping tiles\nTile Windows"},
        {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
        {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
        {ID_HELP_FINDER, "List Help topics\nHelp Topics"},
        {ID_CONTEXT_HELP,
         "Display help for clicked on buttons, menus and windows\nHelp",
         "context-help",
         {"Shift+F1"}},
        {ID_HELP, "Display help for current task or command\nHelp", "", {"F1"}},
        {ID_NEXT_PANE, "Switch to the next window pane\nNext Pane", "", {"F6"}},
        {ID_PREV_PANE, "Switch back to the previous window pane\nPrevious Pane", "", {"Shift+F6"}},
        {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
        {ID_VIEW_ZOOMIN, "Zoom in on the window data\nZoom In", "zoom-in", {"Ctrl++", "Ctrl+="}},
        {ID_VIEW_ZOOMOUT, "Zoom out on the window data\nZoom Out", "zoom-out", {"Ctrl+-"}},
        {ID_EDIT_AXIS_MAPPING,
         "Define mapping using the axis limits of the mapping region\nAxis Mapping",
         "axis-mapping"},
        {ID_TOOL_COLLECT, "Digitize points using the defined mapping region\nCollect Points",
         "collect-points"},
        {ID_VIEW_FIT, "Fit the image to the window\nFit To Window", "fit-window", {"Ctrl+F"}},
        {ID_VIEW_ACTUAL,
         "Show the image at its actual pixel size\nActual Pixels",
         "actual-pixels",
         {"Ctrl+0"}},
        {ID_TOOL_MAP, "Define the mapping region on the bitmap\nDefine Mapping Region",
         "define-region"},
        {ID_EDIT_DELETE_ALL, "Delete all data sets and their points\nDelete All Data"},
        {ID_DATA_SORT, "Sort the data points on X before output\nSort Data"},
        {ID_IMAGE_FLIP_HORZ, "Flip the image left to right\nFlip Horizontal"},
        {ID_IMAGE_FLIP_VERT, "Flip the image top to bottom\nFlip Vertical"},
        {ID_IMAGE_ROTATE_CW, "Rotate the image 90 degrees clockwise\nRotate Clockwise"},
        {ID_IMAGE_ROTATE_CCW,
         "Rotate the image 90 degrees counter clockwise\nRotate Counter Clockwise"},
        {ID_IMAGE_ROTATE_180, "Rotate the image 180 degrees\nRotate 180"},
        {ID_IMAGE_INFO, "Show information about the image\nImage Info"},
        {ID_VIEW_ZOOM_FAST, "Zoom in large steps\nZoom Fast"},
        {ID_VIEW_ZOOM_MEDIUM, "Zoom in medium steps\nZoom Medium"},
        {ID_VIEW_ZOOM_SLOW, "Zoom in small steps\nZoom Slow"},
        {ID_VIEW_DITHERED, "Draw the image dithered\nDraw Dithered"},
        {ID_TOOL_ROTATE, "Rotate the mapping region to match plot axes\nRotate Mapping Region",
         "rotate-region"},
        {ID_EDIT_OPTIONS, "Change the default user defined options\nOptions"},
        {ID_TOOL_COLLECT_LINES,
         "Digitize line segments using the defined mapping region\nCollect Lines",
         "collect-lines",
         {"Ctrl+L"}},
        {ID_EDIT_MAP_FULL, "Make the whole image the mapping region\nDefine Mapping Full Sized"},
        {ID_VIEW_REFRESH, "Redraw the window\nRefresh"},
        {ID_EDIT_PIXEL_MAPPING,
         "Define mapping using points per inch and aspect ratio\nPixel Mapping"},
        {ID_EDIT_GRID_SNAP, "Snap collected points to a regular grid\nGrid Snap"},
        {ID_SCAN_SELECT_SOURCE, "Select the scanner to acquire images from\nSelect Source"},
        {ID_SCAN_ACQUIRE, "Acquire an image from the scanner\nScanner Acquire"},
        {ID_TOOL_PAN, "Drag (scroll) the image to a new location\nPan", "pan"},
        {ID_TOOL_ZOOMIN, "Zoom in and recenter the image\nZoom In - Recenter"},
        {ID_TOOL_ZOOMOUT, "Zoom out and recenter the image\nZoom Out - Recenter"},
        {ID_TOOL_CROP, "Crop the image to the specified box\nCrop", "crop"},
        {ID_VIEW_STANDARD_BAR, "Show or hide the standard toolbar\nToggle Standard Toolbar"},
        {ID_VIEW_DIGITIZE_BAR, "Show or hide the digitize toolbar\nToggle Digitize Toolbar"},
        {ID_DATA_NEW_SET, "Start a new data set\nNew Data Set", "new-data-set"},
        {ID_DATA_EXTRACT, "Find the points of a curve or the markers of one colour\nExtract"},
        {ID_DATA_SELECT_SET, "Select the current data set\nSelect Data Set"},
        {ID_VIEW_DATASETS_BAR, "Show or hide the data sets bar\nToggle Data Sets"},
        {ID_DATA_CLEAR_SET, "Remove all points of the current data set\nClear Current Set"},
        {ID_DATA_DELETE_SET, "Delete the current data set\nDelete Current Set"},
        {ID_VIEW_SAVE,
         "Remember the current zoom and position\nSave View",
         "save-view",
         {"Ctrl+B"}},
        {ID_VIEW_ATTRIBUTES_BAR, "Show or hide the attributes toolbar\nToggle Attributes"},
        {ID_ATTRIBUTE_LIST, "Show or hide the attribute list\nAttribute List", "attribute-list"},
        {ID_VIEW_NEXT_SAVED,
         "Go to the next saved view\nNext Saved View",
         "next-view",
         {"Alt+Right"}},
        {ID_VIEW_PREV_SAVED,
         "Go to the previous saved view\nPrevious Saved View",
         "prev-view",
         {"Alt+Left"}},
        {ID_VIEW_VIEW_BAR, "Show or hide the view toolbar\nToggle View Toolbar"},
        {ID_TOOL_EDIT_POINTS,
         "Select, move and delete collected points\nEdit Points",
         "edit-points",
         {"E"}},
        {ID_EDIT_DELETE_POINTS, "Delete the selected points\nDelete Points", "", {"Del"}},
        {ID_VIEW_ZOOM_25, "Show the image at a quarter of its size\nZoom 25%"},
        {ID_VIEW_ZOOM_50, "Show the image at half its size\nZoom 50%"},
        {ID_VIEW_ZOOM_100, "Show the image at its actual pixel size\nZoom 100%"},
        {ID_VIEW_ZOOM_200, "Show the image at twice its size\nZoom 200%"},
        {ID_VIEW_ZOOM_400, "Show the image at four times its size\nZoom 400%"},
        {ID_VIEW_ZOOM_800, "Show the image at eight times its size\nZoom 800%"},
        {ID_VIEW_MAGNIFIER,
         "Show an enlarged view of the spot under the pointer with its plot position\nMagnifier",
         "",
         {"M"}},
        {ID_EDIT_REGION_NODES,
         "Show and type the pixel positions of the mapping region's nodes and its angle\nRegion "
         "Nodes"},
    };
    return rows;
}

const CommandRow* Row(CommandId id)
{
    const auto& rows = Rows();
    auto it = std::find_if(rows.begin(), rows.end(), [id](const CommandRow& row) {
        return id >= row.id && id < row.id + row.count;
    });
    return it == rows.end() ? nullptr : &*it;
}

MenuItem Cmd(const char* label, CommandId id)
{
    std::string text = label;
    const CommandRow* row = Row(id);
    if (row && !row->keys.empty())
        text += std::string("\t") + row->keys.front();
    return MenuItem{MenuItem::Command, text, id, {}};
}
MenuItem Sep()
{
    return MenuItem{MenuItem::Separator, "", 0, {}};
}
MenuItem Recent()
{
    return MenuItem{MenuItem::RecentFiles, "", ID_FILE_MRU_FILE1, {}};
}
MenuItem Popup(const char* text, std::vector<MenuItem> items)
{
    return MenuItem{MenuItem::Popup, text, 0, std::move(items)};
}

std::vector<MenuItem> HelpMenu()
{
    return {Cmd("&Help Topics", ID_HELP_FINDER), Sep(), Cmd("&About Kurvo...", ID_APP_ABOUT)};
}

} // namespace

std::string CommandTable::Text(CommandId id)
{
    const CommandRow* row = Row(id);
    return row ? row->text : std::string();
}

std::string CommandTable::Prompt(CommandId id)
{
    std::string text = Text(id);
    return text.substr(0, text.find('\n'));
}

std::string CommandTable::ToolTip(CommandId id)
{
    std::string text = Text(id);
    std::size_t nl = text.find('\n');
    return nl == std::string::npos ? std::string() : text.substr(nl + 1);
}

std::string CommandTable::IconName(CommandId id)
{
    const CommandRow* row = Row(id);
    return row ? row->icon : std::string();
}

const std::vector<CommandTable::Accelerator>& CommandTable::Accelerators()
{
    static const std::vector<Accelerator> table = [] {
        std::vector<Accelerator> out;
        for (const CommandRow& row : Rows())
            for (const char* keys : row.keys)
                out.push_back({row.id, keys});
        return out;
    }();
    return table;
}

const std::vector<CommandTable::MenuItem>& CommandTable::NoDocumentMenu()
{
    static const std::vector<MenuItem> menu = {
        Popup("&File", {Cmd("&New", ID_FILE_NEW), Cmd("&Open...", ID_FILE_OPEN), Sep(),
                        Cmd("Scanner Select Source...", ID_SCAN_SELECT_SOURCE),
                        Cmd("Scanner Acquire...", ID_SCAN_ACQUIRE), Sep(),
                        Cmd("P&rint Setup...", ID_FILE_PRINT_SETUP), Sep(), Recent(), Sep(),
                        Cmd("E&xit", ID_APP_EXIT)}),
        Popup("&View", {Popup("Toolbars", {Cmd("&Standard Toolbar", ID_VIEW_STANDARD_BAR),
                                           Cmd("&Digitize Toolbar", ID_VIEW_DIGITIZE_BAR),
                                           Cmd("Data Sets", ID_VIEW_DATASETS_BAR)}),
                        Cmd("&Status Bar", ID_VIEW_STATUS_BAR)}),
        Popup("&Help", HelpMenu()),
    };
    return menu;
}

const std::vector<CommandTable::MenuItem>& CommandTable::DocumentMenu()
{
    static const std::vector<MenuItem> menu = {
        Popup("&File",
              {Cmd("&New", ID_FILE_NEW), Cmd("&Open...", ID_FILE_OPEN),
               Cmd("&Close", ID_FILE_CLOSE), Cmd("&Save", ID_FILE_SAVE),
               Cmd("Save &As...", ID_FILE_SAVE_AS), Sep(),
               Cmd("Scanner Select Source...", ID_SCAN_SELECT_SOURCE),
               Cmd("Scanner Acquire...", ID_SCAN_ACQUIRE), Sep(), Cmd("&Print...", ID_FILE_PRINT),
               Cmd("Print Pre&view", ID_FILE_PRINT_PREVIEW),
               Cmd("P&rint Setup...", ID_FILE_PRINT_SETUP), Sep(), Recent(), Sep(),
               Cmd("E&xit", ID_APP_EXIT)}),
        Popup("&Edit",
              {Cmd("&Undo", ID_EDIT_UNDO), Cmd("&Redo", ID_EDIT_REDO), Sep(),
               Cmd("Cu&t", ID_EDIT_CUT), Cmd("&Copy", ID_EDIT_COPY), Cmd("&Paste", ID_EDIT_PASTE),
               Sep(), Cmd("Define Mapping Full Sized", ID_EDIT_MAP_FULL),
               Cmd("&Axis Mapping...", ID_EDIT_AXIS_MAPPING),
               Cmd("P&ixel Mapping...", ID_EDIT_PIXEL_MAPPING),
               Cmd("Region &Nodes...", ID_EDIT_REGION_NODES),
               Cmd("Grid Snap...", ID_EDIT_GRID_SNAP), Sep(),
               Cmd("Delete All Data", ID_EDIT_DELETE_ALL),
               Cmd("Delete Current Set", ID_DATA_DELETE_SET),
               Cmd("Clear Current Set", ID_DATA_CLEAR_SET),
               Cmd("Delete Points", ID_EDIT_DELETE_POINTS), Sep(),
               Cmd("Options...", ID_EDIT_OPTIONS)}),
        Popup("&View",
              {Popup("Toolbars", {Cmd("Standard &Toolbar", ID_VIEW_STANDARD_BAR),
                                  Cmd("View Toolbar", ID_VIEW_VIEW_BAR),
                                  Cmd("&Digitize Toolbar", ID_VIEW_DIGITIZE_BAR),
                                  Cmd("Data Sets", ID_VIEW_DATASETS_BAR)}),
               Cmd("&Status Bar", ID_VIEW_STATUS_BAR),
               Popup("Tools", {Cmd("&Define Mapping Region", ID_TOOL_MAP),
                               Cmd("&Rotate Mapping Region", ID_TOOL_ROTATE),
                               Cmd("&Collect Points", ID_TOOL_COLLECT),
                               Cmd("Collect &Lines", ID_TOOL_COLLECT_LINES),
                               Cmd("&Edit Points", ID_TOOL_EDIT_POINTS),
                               Cmd("Zoom In - Recenter", ID_TOOL_ZOOMIN),
                               Cmd("Zoom Out - Recenter", ID_TOOL_ZOOMOUT), Cmd("Pan", ID_TOOL_PAN),
                               Cmd("Crop", ID_TOOL_CROP), Cmd("Attributes", ID_ATTRIBUTE_LIST)}),
               Sep(),
               Cmd("Zoom &In", ID_VIEW_ZOOMIN),
               Cmd("Zoom &Out", ID_VIEW_ZOOMOUT),
               Popup("&Zoom", {Cmd("25%", ID_VIEW_ZOOM_25), Cmd("50%", ID_VIEW_ZOOM_50),
                               Cmd("100%", ID_VIEW_ZOOM_100), Cmd("200%", ID_VIEW_ZOOM_200),
                               Cmd("400%", ID_VIEW_ZOOM_400), Cmd("800%", ID_VIEW_ZOOM_800)}),
               Cmd("&Magnifier", ID_VIEW_MAGNIFIER),
               Cmd("Fit To Window", ID_VIEW_FIT),
               Cmd("Actual Pixels", ID_VIEW_ACTUAL),
               Cmd("Refresh", ID_VIEW_REFRESH),
               Cmd("Draw Dithered", ID_VIEW_DITHERED),
               Sep(),
               Cmd("Save View", ID_VIEW_SAVE),
               Cmd("Previous Saved View", ID_VIEW_PREV_SAVED),
               Cmd("Next Saved View", ID_VIEW_NEXT_SAVED),
               Sep(),
               Cmd("Zoom Fast", ID_VIEW_ZOOM_FAST),
               Cmd("Zoom Medium", ID_VIEW_ZOOM_MEDIUM),
               Cmd("Zoom Slow", ID_VIEW_ZOOM_SLOW)}),
        Popup("&Data", {Cmd("&New Data Set", ID_DATA_NEW_SET), Cmd("&Sort Data", ID_DATA_SORT),
                        Sep(), Cmd("&Extract...", ID_DATA_EXTRACT)}),
        Popup("&Image",
              {Cmd("Flip Horizontal", ID_IMAGE_FLIP_HORZ), Cmd("Flip Vertical", ID_IMAGE_FLIP_VERT),
               Cmd("Rotate 90\xC2\xB0 Clockwise", ID_IMAGE_ROTATE_CW),
               Cmd("Rotate 90\xC2\xB0 Counter Clockwise", ID_IMAGE_ROTATE_CCW),
               Cmd("Rotate 180\xC2\xB0", ID_IMAGE_ROTATE_180), Sep(),
               Cmd("Image Info...", ID_IMAGE_INFO)}),
        Popup("&Window",
              {Cmd("&New Window", ID_WINDOW_NEW), Cmd("&Cascade", ID_WINDOW_CASCADE),
               Cmd("&Tile", ID_WINDOW_TILE_HORZ), Cmd("&Arrange Icons", ID_WINDOW_ARRANGE)}),
        Popup("&Help", HelpMenu()),
    };
    return menu;
}

const std::vector<CommandTable::Toolbar>& CommandTable::Toolbars()
{
    static const std::vector<Toolbar> bars = {
        {ID_VIEW_STANDARD_BAR,
         "Standard",
         {ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT, 0, ID_EDIT_CUT,
          ID_EDIT_COPY, ID_EDIT_PASTE, 0, ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_TOOL_CROP, 0,
          ID_CONTEXT_HELP}},
        {ID_VIEW_VIEW_BAR,
         "View",
         {ID_VIEW_ZOOMIN, ID_VIEW_ZOOMOUT, ID_VIEW_FIT, ID_VIEW_ACTUAL, ID_TOOL_PAN, 0,
          ID_VIEW_SAVE, ID_VIEW_PREV_SAVED, ID_VIEW_NEXT_SAVED}},
        {ID_VIEW_DIGITIZE_BAR,
         "Digitize",
         {ID_TOOL_MAP, ID_TOOL_ROTATE, ID_EDIT_AXIS_MAPPING, 0, ID_TOOL_COLLECT,
          ID_TOOL_COLLECT_LINES, ID_TOOL_EDIT_POINTS}},
        {ID_VIEW_DATASETS_BAR,
         "Data Sets",
         {ID_ATTRIBUTE_LIST, ID_DATA_NEW_SET, ID_DATA_SELECT_SET}},
    };
    return bars;
}

const std::vector<CommandTable::MenuItem>& CommandTable::BarMenu()
{
    static const std::vector<MenuItem> menu = {
        Cmd("Standard Toolbar", ID_VIEW_STANDARD_BAR),     Cmd("View Toolbar", ID_VIEW_VIEW_BAR),
        Cmd("Digitize Toolbar", ID_VIEW_DIGITIZE_BAR),     Cmd("Data Sets", ID_VIEW_DATASETS_BAR),
        Cmd("Attributes Toolbar", ID_VIEW_ATTRIBUTES_BAR),
    };
    return menu;
}
