// The application's control objects. They are constructed at start-up in inventory order,
// live for the whole run, and are disposed in the same order at shutdown; only their
// native windows come and go (the rule dialog's with each opening).
#pragma once

#include "ui/button_control.h"
#include "ui/combo_box_control.h"
#include "ui/edit_control.h"
#include "ui/folder_browser.h"
#include "ui/label_control.h"
#include "ui/list_view_control.h"
#include "ui/media_player_host.h"
#include "ui/menu_object.h"
#include "ui/virtual_list_view.h"
#include "ui/window.h"

// Inventory, in construction order:
//   1 main window               Window
//   2 file list                 VirtualListViewControl
//   3 directory label           LabelControl
//   4 directory edit box        EditControl
//   5 choose-folder button      ButtonControl
//   6 read-list button          ButtonControl
//   7 rules button              ButtonControl
//   8 rule list                 ListViewControl
//   9 media player              MediaPlayerHost
//  10 rule-list menu            MenuObject
//  11 application data          HotkeyList, the file rows (FileRowStore)
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
// Members are declared in this order, so construction follows it. The two lists of
// item 11 live beside the code that fills them (HotkeyList, FileRowStore).
struct ApplicationObjects {
    Window mainWindow;                  // 1
    VirtualListViewControl fileList;    // 2
    LabelControl directoryLabel;        // 3
    EditControl directoryEdit;          // 4
    ButtonControl chooseFolderButton;   // 5
    ButtonControl readListButton;       // 6
    ButtonControl rulesButton;          // 7
    ListViewControl ruleList;           // 8
    MediaPlayerHost mediaPlayer;        // 9
    MenuObject ruleMenu;                // 10
    FolderBrowser mainFolderBrowser;    // 12
    Window ruleDialog;                  // 13
    LabelControl hotkeyLabel;           // 14
    EditControl hotkeyEdit;             // 15
    LabelControl operationLabel;        // 16
    ComboBoxControl operationCombo;     // 17
    LabelControl targetLabel;           // 18
    EditControl targetEdit;             // 19
    ButtonControl chooseTargetButton;   // 20
    ButtonControl addButton;            // 21
    ButtonControl cancelButton;         // 22
    FolderBrowser dialogFolderBrowser;  // 23
};

// The objects; constructs them on first use when start-up has not done so yet.
ApplicationObjects& Objects();

// Constructs every object of the inventory (start-up).
void ConstructObjects();

// Disposes the objects in inventory order (a window that still exists is only
// un-subclassed, not destroyed), frees them and the application's global lists.
void DisposeObjects();
