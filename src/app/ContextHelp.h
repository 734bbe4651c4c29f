#pragma once

class QAction;
class QWidget;

// What's This texts: Shift+F1, the toolbar's help button and a dialog's "?" button show them
// for the control, menu command or toolbar button clicked.

// Gives every named control of the dialog its text and the dialog its help button. Call it
// once the dialog's controls exist.
void AddContextHelp(QWidget* dialog);

// A command's text, from its tool tip and status-bar prompt.
void AddContextHelp(QAction* action, const char* title, const char* prompt);
