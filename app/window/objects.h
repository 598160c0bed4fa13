// The application's control objects. They are constructed with the application in the
// order they are declared, live for the whole run, and are disposed in the same order at
// shutdown; only their native windows come and go (the rule dialog's with each opening).
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

// The main window and its controls first, then the rule dialog and its controls.
struct ApplicationObjects {
    Window mainWindow;
    VirtualListViewControl fileList;
    LabelControl directoryLabel;
    EditControl directoryEdit;
    ButtonControl chooseFolderButton;
    ButtonControl readListButton;
    ButtonControl rulesButton;
    ListViewControl ruleList;
    MediaPlayerHost mediaPlayer;
    MenuObject ruleMenu;
    FolderBrowser mainFolderBrowser;
    Window ruleDialog;
    LabelControl hotkeyLabel;
    EditControl hotkeyEdit;
    LabelControl operationLabel;
    ComboBoxControl operationCombo;
    LabelControl targetLabel;
    EditControl targetEdit;
    ButtonControl chooseTargetButton;
    ButtonControl addButton;
    ButtonControl cancelButton;
    FolderBrowser dialogFolderBrowser;
};
