#pragma once

class QWidget;

// Puts the program's dialog forms behind the document's hooks: Axis Mapping, Pixel
// Mapping, Grid Snap, Options, Image Information and the save prompt. parent (observed)
// is the window the dialogs open over.
void InstallDialogForms(QWidget* parent);
// Takes them away again (the documents then cancel their dialogs).
void RemoveDialogForms();

class AttGenDlg;
class CMainFrame;

// Creates the attributes bar as the frame's attribute window; it follows the active
// document and lets go of a document's data before that is deleted.
AttGenDlg* InstallAttributeWindow(CMainFrame* frame);
