#pragma once

#include "platform/Command.h"

// The command numbers of the program. The first group are the framework's standard
// commands (file, edit, window, help), the second the program's own.

// File
constexpr CommandId ID_FILE_NEW = 57600;
constexpr CommandId ID_FILE_OPEN = 57601;
constexpr CommandId ID_FILE_CLOSE = 57602;
constexpr CommandId ID_FILE_SAVE = 57603;
constexpr CommandId ID_FILE_SAVE_AS = 57604;
constexpr CommandId ID_FILE_PRINT_SETUP = 57606;
constexpr CommandId ID_FILE_PRINT = 57607;
constexpr CommandId ID_FILE_PRINT_DIRECT = 57608;
constexpr CommandId ID_FILE_PRINT_PREVIEW = 57609;
// The recent-file entries: ID_FILE_MRU_FILE1 + 0 ... + 7.
constexpr CommandId ID_FILE_MRU_FILE1 = 57616;
constexpr int kRecentFileCount = 8;

// Edit
constexpr CommandId ID_EDIT_COPY = 57634;
constexpr CommandId ID_EDIT_CUT = 57635;
constexpr CommandId ID_EDIT_FIND = 57636; // stands in for the data-set list on a vertical bar
constexpr CommandId ID_EDIT_PASTE = 57637;
constexpr CommandId ID_EDIT_UNDO = 57643;
constexpr CommandId ID_EDIT_REDO = 57644;

// Window
constexpr CommandId ID_WINDOW_NEW = 57648;
constexpr CommandId ID_WINDOW_ARRANGE = 57649;
constexpr CommandId ID_WINDOW_CASCADE = 57650;
constexpr CommandId ID_WINDOW_TILE_HORZ = 57651;

// Application and help
constexpr CommandId ID_APP_ABOUT = 57664;
constexpr CommandId ID_APP_EXIT = 57665;
constexpr CommandId ID_HELP_FINDER = 57667;
constexpr CommandId ID_CONTEXT_HELP = 57669;
constexpr CommandId ID_HELP = 57670;
constexpr CommandId ID_DEFAULT_HELP = 57671;
constexpr CommandId ID_NEXT_PANE = 57680;
constexpr CommandId ID_PREV_PANE = 57681;
constexpr CommandId ID_VIEW_STATUS_BAR = 59393;

// View: zoom and display
constexpr CommandId ID_VIEW_ZOOMIN = 32771;
constexpr CommandId ID_VIEW_ZOOMOUT = 32772;
constexpr CommandId ID_EDIT_AXIS_MAPPING = 32773;
constexpr CommandId ID_TOOL_COLLECT = 32774;
constexpr CommandId ID_VIEW_FIT = 32775;
constexpr CommandId ID_VIEW_ACTUAL = 32777;
constexpr CommandId ID_TOOL_MAP = 32778;
constexpr CommandId ID_EDIT_DELETE_ALL = 32780;
constexpr CommandId ID_DATA_SORT = 32781;
constexpr CommandId ID_IMAGE_FLIP_HORZ = 32782;
constexpr CommandId ID_IMAGE_FLIP_VERT = 32783;
constexpr CommandId ID_IMAGE_ROTATE_CW = 32784;
constexpr CommandId ID_IMAGE_ROTATE_CCW = 32785;
constexpr CommandId ID_IMAGE_ROTATE_180 = 32786;
constexpr CommandId ID_IMAGE_INFO = 32787;
constexpr CommandId ID_VIEW_ZOOM_FAST = 32791;
constexpr CommandId ID_VIEW_ZOOM_MEDIUM = 32792;
constexpr CommandId ID_VIEW_ZOOM_SLOW = 32793;
constexpr CommandId ID_VIEW_DITHERED = 32794;
constexpr CommandId ID_TOOL_ROTATE = 32795;
constexpr CommandId ID_EDIT_OPTIONS = 32801;
constexpr CommandId ID_TOOL_COLLECT_LINES = 32803;
constexpr CommandId ID_EDIT_MAP_FULL = 32805;
constexpr CommandId ID_VIEW_REFRESH = 32808;
constexpr CommandId ID_EDIT_PIXEL_MAPPING = 32809;
constexpr CommandId ID_EDIT_GRID_SNAP = 32816;
constexpr CommandId ID_SCAN_SELECT_SOURCE = 32817;
constexpr CommandId ID_SCAN_ACQUIRE = 32818;
constexpr CommandId ID_SCAN_CLOSE = 32821;
constexpr CommandId ID_TOOL_PAN = 32823;
constexpr CommandId ID_TOOL_ZOOMIN = 32824;
constexpr CommandId ID_TOOL_ZOOMOUT = 32825;
constexpr CommandId ID_TOOL_CROP = 32827;
// Point editing
constexpr CommandId ID_TOOL_EDIT_POINTS = 32940;
constexpr CommandId ID_EDIT_DELETE_POINTS = 32941;

// Bars: each bar's id is the command that shows or hides it.
constexpr CommandId ID_VIEW_STANDARD_BAR = 32847;
constexpr CommandId ID_VIEW_DIGITIZE_BAR = 32848;
constexpr CommandId ID_DATA_NEW_SET = 32854;
constexpr CommandId ID_DATA_SELECT_SET = 32855;
constexpr CommandId ID_VIEW_DATASETS_BAR = 32857;
constexpr CommandId ID_DATA_CLEAR_SET = 32861;
constexpr CommandId ID_DATA_DELETE_SET = 32862;
constexpr CommandId ID_VIEW_SAVE = 32863;
constexpr CommandId ID_VIEW_ATTRIBUTES_BAR = 32869;
constexpr CommandId ID_ATTRIBUTE_LIST = 32870;
constexpr CommandId ID_VIEW_NEXT_SAVED = 32871;
constexpr CommandId ID_VIEW_PREV_SAVED = 32872;
constexpr CommandId ID_VIEW_VIEW_BAR = 32874;

// Automatic extraction.
constexpr CommandId ID_DATA_EXTRACT = 32890;
// Zoom presets, the magnifier, the region's nodes typed in.
constexpr CommandId ID_VIEW_ZOOM_25 = 33101;
constexpr CommandId ID_VIEW_ZOOM_50 = 33102;
constexpr CommandId ID_VIEW_ZOOM_100 = 33103;
constexpr CommandId ID_VIEW_ZOOM_200 = 33104;
constexpr CommandId ID_VIEW_ZOOM_400 = 33105;
constexpr CommandId ID_VIEW_ZOOM_800 = 33106;
constexpr CommandId ID_VIEW_MAGNIFIER = 33107;
constexpr CommandId ID_EDIT_REGION_NODES = 33108;
