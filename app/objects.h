// The application's control objects. They are constructed at start-up in inventory order,
// live for the whole run, and are disposed in the same order at shutdown; only their
// native windows come and go (the rule dialog's with each opening).
#pragma once

#include "ui/window.h"

// Inventory, in construction order:
//   1 main window               Window
//   2 file list                 ListViewControl
//   3 directory label           LabelControl
//   4 directory edit box        EditControl
//   5 choose-folder button      ButtonControl
//   6 read-list button          ButtonControl
//   7 rules button              ButtonControl
//   8 rule list                 ListViewControl
//   9 media player              MediaPlayerHost
//  10 rule-list menu            MenuObject
//  11 two application arrays    HotkeyList, FilePathList
//  12 main folder browser       FolderBrowser
//  13 rule dialog               Window
//  14 hotkey label              LabelControl
//  15 hotkey edit box           EditControl
//  16 operation label           LabelControl
//  17 operation combo box       ComboBoxControl
//  18 target label              LabelControl
//  19 target edit box           EditControl
//  20 choose-target button      ButtonControl
//  21 add button                ButtonControl
//  22 cancel button             ButtonControl
//  23 dialog folder browser     FolderBrowser
// Members are declared in this order, so construction follows it; each class joins the
// struct at its place as it becomes available.
struct ApplicationObjects {
    Window mainWindow;  // 1
    Window ruleDialog;  // 13
};

// The objects; constructs them on first use when start-up has not done so yet.
ApplicationObjects& Objects();

// Constructs every object of the inventory (start-up).
void ConstructObjects();

// Disposes the objects in inventory order (a window that still exists is only
// un-subclassed, not destroyed), frees them and the application's global lists.
void DisposeObjects();
