#include "app/operations/failure_tips.h"
#include "app/window/main_window.h"

#include <shlwapi.h>

#include "app/window/application.h"
#include "app/keys/hotkeys.h"
#include "app/keys/keyboard_hook.h"
#include "app/window/control_ids.h"
#include "app/window/full_screen.h"
#include "app/window/layout.h"
#include "app/preview/image_pane.h"
#include "app/window/open_folder.h"
#include "app/window/window_placement.h"
#include "app/preview/image_pane.h"
#include "app/rules/options_menu.h"
#include "app/rules/rule_dialog.h"
#include "app/operations/undo_menu.h"

namespace {

constexpr DWORD kFileListStyle = LVS_REPORT | LVS_NOLABELWRAP;  // headers sort the rows
constexpr DWORD kRuleListStyle = kFileListStyle | LVS_NOSORTHEADER | LVS_SINGLESEL;
constexpr DWORD kFileListExtendedStyle =
    LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_SNAPTOGRID;
constexpr DWORD kRuleListExtendedStyle = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;

template <size_t N>
void InsertColumns(ListViewControl& list, const char* const (&titles)[N],
                   const int32_t (&widths)[N]) {
    for (size_t i = 0; i < N; ++i)
        list.InsertColumn(static_cast<int32_t>(i), ToUtf16(Text(titles[i])), widths[i]);
}

}  // namespace

void LayOutMainWindow(Application& app, UINT dpi, bool newDpi) {
    ApplicationObjects& o = app.controls;
    RECT client = {};
    GetClientRect(app.mainWindow, &client);
    const MainWindowBoxes boxes =
        ArrangeMainWindow({client.right, client.bottom}, MainWindowDefaultClient(dpi), dpi);
    const std::initializer_list<std::pair<ControlObject*, LayoutBox>> placed = {
        {&o.fileList, boxes.fileList},
        {&o.directoryLabel, boxes.directoryLabel},
        {&o.directoryEdit, boxes.directoryEdit},
        {&o.chooseFolderButton, boxes.chooseFolderButton},
        {&o.readListButton, boxes.readListButton},
        {&o.rulesButton, boxes.rulesButton},
        {&o.ruleList, boxes.ruleList}};
    // Nothing is drawn while the controls move: under Wine each list measured and drew itself
    // again for every move and column change, several times a pass. Both lists catch up
    // once at the end, and the window is drawn after the pass, in one go.
    for (const HWND list : {o.fileList.Handle(), o.ruleList.Handle()})
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    // A new font makes each control measure itself again: only when the DPI changes.
    if (newDpi) {
        PlaceScaledControls(app.fonts, placed, dpi);
    } else {
        for (const auto& [control, box] : placed)
            SetWindowPos(control->Handle(), nullptr, box.x, box.y, box.width, box.height,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS);
    }
    const LayoutBox& preview = boxes.preview;
    MovePreviewPane(app.preview, preview.x, preview.y, preview.width, preview.height);
    if (newDpi) {
        SetColumnWidths(o.fileList, MainWindowLayout::kFileColumnWidths, dpi);
        SetColumnWidths(o.ruleList, MainWindowLayout::kRuleColumnWidths, dpi);
    }
    // A height-only change leaves the name column as it is, and the list unrepainted by it.
    if (o.fileList.GetColumnWidth(MainWindowLayout::kNameColumn) != boxes.nameColumnWidth)
        o.fileList.SetColumnWidth(MainWindowLayout::kNameColumn, boxes.nameColumnWidth);
    for (const HWND list : {o.fileList.Handle(), o.ruleList.Handle()})
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(app.mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int32_t BuildMainWindow(Application& app, HWND hwnd) {
    using namespace MainWindowLayout;
    using namespace MainWindowIds;
    ApplicationObjects& o = app.controls;
    Window& window = o.mainWindow;
    window.AddExtendedWindowStyle(WS_EX_CLIENTEDGE);
    window.SetIcon(LoadIconW(LibraryInstance, MAKEINTRESOURCEW(kApplicationIconId)), ICON_SMALL);
    app.mainWindow = hwnd;
    const UINT dpi = WindowDpi(hwnd);
    app.settings.Load(app.rules.configPath);
    // Placing shows the window, so the controls appear on a visible window.
    PlaceMainWindow(app, dpi);

    window.SetCloseHandler([&app] { return ConfirmCloseWithPendingWork(app); });
    // The list reports positions; each names the row shown there.
    o.fileList.SetItemSelectedHandler([&app](int32_t position) {
        return app.sorting.moving ? 0 : PreviewSelectedFile(app, position);
    });
    o.fileList.SetRightClickHandler([&app](int32_t position) {
        return OfferUndoMenu(app, RowAtPosition(app.fileRows, position));
    });
    o.fileList.SetColumnClickHandler(
        [&app](int32_t column) { return SortByHeaderClick(app, column); });
    o.fileList.SetCellTextSource(
        [&app](int32_t position, int32_t column, wchar_t* buffer, int32_t capacity) {
            app.fileRows.CellText(position, column, buffer, capacity);
        });
    o.fileList.SetRowFinder([&app](const wchar_t* text, bool partial, int32_t start, bool wrap) {
        return app.fileRows.FindIndexText(text, partial, start, wrap);
    });
    o.fileList.Create(hwnd, ChildWindowId{kFileListId}, kFileListStyle, kFileList.x, kFileList.y,
                      kFileList.width, kFileList.height);
    o.fileList.AddExtendedStyle(kFileListExtendedStyle);
    ShowFailureReasonsAsTips(app.controls.fileList, app.fileRows);
    InsertColumns(o.fileList, {"索引", "文件名", "操作类型", "结果"}, kFileColumnWidths);

    o.directoryLabel.Create(hwnd, ChildWindowId{kDirectoryLabelId},
                            ToUtf16(Text("需要处理的文件目录：")), std::nullopt, kDirectoryLabel.x,
                            kDirectoryLabel.y, kDirectoryLabel.width, kDirectoryLabel.height);
    o.directoryEdit.Create(hwnd, ChildWindowId{kDirectoryEditId}, std::nullopt, std::nullopt,
                           kDirectoryEdit.x, kDirectoryEdit.y, kDirectoryEdit.width,
                           kDirectoryEdit.height);
    o.directoryEdit.SetText(TextBlock::EmptyWide());

    o.chooseFolderButton.SetClickHandler([&app] { return ChooseDirectory(app); });
    o.chooseFolderButton.Create(hwnd, ChildWindowId{kChooseFolderButtonId},
                                ToUtf16(Text("选择文件夹")), 0, kChooseFolderButton.x,
                                kChooseFolderButton.y, kChooseFolderButton.width,
                                kChooseFolderButton.height);
    o.readListButton.SetClickHandler([&app] { return LoadFileList(app); });
    o.readListButton.Create(hwnd, ChildWindowId{kReadListButtonId}, ToUtf16(Text("读取文件列表")),
                            0, kReadListButton.x, kReadListButton.y, kReadListButton.width,
                            kReadListButton.height);
    o.rulesButton.SetClickHandler([&app] { return OpenRuleDialog(app); });
    o.rulesButton.Create(hwnd, ChildWindowId{kRulesButtonId}, ToUtf16(Text("快捷键规则配置")), 0,
                         kRulesButton.x, kRulesButton.y, kRulesButton.width, kRulesButton.height);

    o.ruleList.SetRightClickHandler([&app](int32_t row) { return DeleteSelectedRule(app, row); });
    o.ruleList.Create(hwnd, ChildWindowId{kRuleListId}, kRuleListStyle, kRuleList.x, kRuleList.y,
                      kRuleList.width, kRuleList.height);
    o.ruleList.AddExtendedStyle(kRuleListExtendedStyle);
    InsertColumns(o.ruleList, {"快捷键", "操作类型", "目标目录"}, kRuleColumnWidths);

    CreatePreviewPane(app.preview, app.controls.mediaPlayer, hwnd, kPreview.x, kPreview.y,
                      kPreview.width, kPreview.height);
    // A double-click on the photo always enters and leaves full screen, whatever keys the
    // rules take.
    SetImagePaneDoubleClick(app.preview.imagePane, [&app] { ToggleFullScreen(app); });
    LayOutMainWindow(app, dpi);
    FollowDpiChanges(window, [&app](UINT newDpi) { LayOutMainWindow(app, newDpi); });
    // A minimised window's client area is empty: it keeps its layout.
    window.SetSizeHandler([&app](int32_t width, int32_t height) {
        if (width > 0 && height > 0)
            LayOutMainWindow(app, WindowDpi(app.mainWindow), false);
        return 0;
    });
    // A click anywhere in the window hides the key legend, and still does its own work.
    window.SetPressHandler([&app] {
        if (app.preview.imagePane)
            HideKeyLegend(app.preview.imagePane);
        return 0;
    });
    window.AcceptDroppedFiles(true);
    window.SetDropFilesHandler(
        [&app](const TextBlock* paths) { return OpenDroppedFiles(app, paths); });

    o.ruleMenu.CreatePopup();
    o.ruleMenu.AppendItem(ToUtf16(Text("删除配置项")), kDeleteRuleCommand);

    LoadRules(app.rules, app.controls.ruleList);
    ApplySavedSortOrder(app);
    ShowOptionsInSystemMenu(app);
    // The system menu's items send WM_SYSCOMMAND; Wine sends those of its "选项" submenu as
    // WM_COMMAND.
    const auto chooseOption = [&app](UINT_PTR command) {
        return ChooseOption(app, command) ? 1 : 0;
    };
    window.SetSystemCommandHandler(chooseOption);
    window.SetMenuCommandHandler(chooseOption);

    InstallHotkeys(app, o.fileList.Handle());
    return 0;
}
