#include "app/main_window.h"

#include <shlwapi.h>

#include "app/background_operations.h"
#include "app/file_list.h"
#include "app/hotkeys.h"
#include "app/keyboard_hook.h"
#include "app/media_preview.h"
#include "app/objects.h"
#include "app/rule_dialog.h"
#include "app/rules.h"

HWND MainWindowHandle = nullptr;

namespace {

constexpr int32_t kCentred = 3;
constexpr DWORD kFileListStyle = LVS_REPORT | LVS_NOLABELWRAP | LVS_NOSORTHEADER;
constexpr DWORD kRuleListStyle = kFileListStyle | LVS_SINGLESEL;
constexpr DWORD kFileListExtendedStyle =
    LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_SNAPTOGRID;
constexpr DWORD kRuleListExtendedStyle = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;

struct Column {
    const char* title;
    int32_t width;
};

void InsertColumns(ListViewControl& list, std::initializer_list<Column> columns) {
    int32_t index = 0;
    for (const Column& column : columns)
        list.InsertColumn(index++, ToUtf16(Text(column.title)), column.width);
}

}  // namespace

int32_t BuildMainWindow(HWND hwnd) {
    ApplicationObjects& o = Objects();
    Window& window = o.mainWindow;
    window.AddExtendedWindowStyle(WS_EX_CLIENTEDGE);
    window.Icon(LoadIconW(LibraryInstance, MAKEINTRESOURCEW(kApplicationIconId)), ICON_SMALL);
    MainWindowHandle = hwnd;
    // Centring shows the window, so the controls appear on a visible window.
    window.WindowState(kCentred);

    window.SetCloseHandler(&ConfirmCloseWithPendingWork);
    o.fileList.SetItemSelectedHandler(&PreviewSelectedFile);
    o.fileList.SetRightClickHandler(&OfferUndoMenu);
    o.fileList.SetCellTextSource(&FileCellText);
    o.fileList.SetRowFinder(&FindFileRow);
    o.fileList.Create(hwnd, kFileListStyle, 8, 10, 672, 302);
    o.fileList.AddExtendedStyle(kFileListExtendedStyle);
    ShowFailureReasonsAsTips(hwnd);
    InsertColumns(o.fileList, {{"索引", 40}, {"文件名", 450}, {"操作类型", 80}, {"结果", 80}});

    o.directoryLabel.Create(hwnd, ToUtf16(Text("需要处理的文件目录：")), std::nullopt, 8, 320, 112,
                            24);
    o.directoryEdit.Create(hwnd, std::nullopt, std::nullopt, 125, 322, 295, 20);
    o.directoryEdit.Text(TextBlock::EmptyWide());

    o.chooseFolderButton.SetClickHandler(&ChooseDirectory);
    o.chooseFolderButton.Create(hwnd, ToUtf16(Text("选择文件夹")), std::nullopt, 0, 420, 320, 78,
                                24);
    o.readListButton.SetClickHandler(&LoadFileList);
    o.readListButton.Create(hwnd, ToUtf16(Text("读取文件列表")), std::nullopt, 0, 500, 320, 80, 24);
    o.rulesButton.SetClickHandler(&OpenRuleDialog);
    o.rulesButton.Create(hwnd, ToUtf16(Text("快捷键规则配置")), std::nullopt, 0, 582, 320, 99, 24);

    o.ruleList.SetRightClickHandler(&DeleteSelectedRule);
    o.ruleList.Create(hwnd, kRuleListStyle, 8, 352, 672, 248);
    o.ruleList.AddExtendedStyle(kRuleListExtendedStyle);
    InsertColumns(o.ruleList, {{"快捷键", 80}, {"操作类型", 80}, {"目标目录", 500}});

    o.mediaPlayer.Create(hwnd, 688, 10, 365, 592);
    CreatePreviewPane(hwnd, 688, 10, 365, 592);

    o.ruleMenu.CreatePopup();
    o.ruleMenu.AppendItem(ToUtf16(Text("删除配置项")), kDeleteRuleCommand);

    ConfigPath = BuildConfigPath();
    LoadRules();

    InstallHotkeys(o.fileList.Handle());
    return 0;
}
