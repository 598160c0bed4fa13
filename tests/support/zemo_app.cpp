#include "tests/support/zemo_app.h"

#include <commctrl.h>

#include <atomic>
#include <thread>

#include "tests/support/input.h"
#include "tests/support/keyboard_focus.h"
#include "tests/support/process_memory.h"

const wchar_t* const kMainWindowTitle = L"ZEMO文件分类整理 墨池社区";
const wchar_t* const kRuleDialogTitle = L"规则配置";

std::vector<HWND> ChildrenInOrder(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

ZemoApp::ZemoApp(std::optional<std::string> configIni) {
    CopyFileW(ProgramPath(L"zemo.exe").c_str(), (home_ / L"zemo.exe").c_str(), FALSE);
    if (configIni)
        WriteFileBytes(home_ / L"config.ini", *configIni);
}

ZemoApp::~ZemoApp() {
    if (process_ && process_->Running()) {
        process_->Terminate();
        process_->WaitForExit(5000);
    }
}

bool ZemoApp::Start(const std::wstring& arguments) {
    process_ = std::make_unique<TestProcess>(home_ / L"zemo.exe", arguments, home_.Path());
    if (!process_->Started())
        return false;
    const std::wstring title = kMainWindowTitle;
    main_ = WaitForTopLevelWindow(process_->Id(), L"", &title);
    if (!main_)
        return false;
    if (!WaitUntil([&] { return Control(kRuleListId) != nullptr; }))
        return false;
    fileList_ = std::make_unique<RemoteListView>(Control(kFileListId));
    ruleList_ = std::make_unique<RemoteListView>(Control(kRuleListId));
    return fileList_->Ready() && ruleList_->Ready();
}

void ZemoApp::SetDirectoryText(const std::wstring& text) {
    SendMessageW(Control(kDirectoryEditId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring ZemoApp::DirectoryText() const {
    return WindowText(Control(kDirectoryEditId));
}

void ZemoApp::Click(int id) {
    PostMessageW(Control(id), BM_CLICK, 0, 0);
}

MessageBoxInfo ZemoApp::ClickAndAnswer(HWND button) {
    // The click is sent from a thread of its own, which returns once the handler has.
    std::atomic<bool> handled{false};
    std::thread clicker([&] {
        SendMessageW(button, BM_CLICK, 0, 0);
        handled = true;
    });
    MessageBoxInfo box;
    WaitUntil([&] {
        if (handled)
            return true;
        box = WaitForMessageBox(process_->Id(), nullptr, 0);
        return box.window != nullptr;
    });
    if (box.window)
        AnswerMessageBox(box.window);
    clicker.join();
    return box;
}

void ZemoApp::ReadDirectory(const std::wstring& directory) {
    SetDirectoryText(directory);
    Click(kReadListButtonId);
}

bool ZemoApp::LoadDirectory(const std::wstring& directory, int expectedRows) {
    ReadDirectory(directory);
    return WaitUntil([&] {
        return fileList_->ItemCount() == expectedRows &&
               (expectedRows == 0 || !fileList_->Text(expectedRows - 1, 1).empty());
    });
}

std::optional<RuleDialog> ZemoApp::OpenRuleDialog() {
    Click(kRulesButtonId);
    const std::wstring title = kRuleDialogTitle;
    RuleDialog dialog;
    using namespace RuleDialogIds;
    // The cancel button is created last.
    const bool ready = WaitUntil([&] {
        dialog.window = FindTopLevelWindow(process_->Id(), L"", &title);
        return dialog.window && FindChildById(dialog.window, kCancelButtonId) &&
               IsWindowVisible(dialog.window);
    });
    if (!ready)
        return std::nullopt;
    dialog.hotkeyEdit = FindChildById(dialog.window, kHotkeyEditId);
    dialog.operationCombo = FindChildById(dialog.window, kOperationComboId);
    dialog.targetEdit = FindChildById(dialog.window, kTargetEditId);
    dialog.chooseButton = FindChildById(dialog.window, kChooseTargetButtonId);
    dialog.addButton = FindChildById(dialog.window, kAddButtonId);
    dialog.cancelButton = FindChildById(dialog.window, kCancelButtonId);
    return dialog;
}

void ZemoApp::AddRule(const RuleDialog& dialog, const std::wstring& hotkey, int operation,
                      const std::wstring& target) {
    SendMessageW(dialog.hotkeyEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(hotkey.c_str()));
    SendMessageW(dialog.operationCombo, CB_SETCURSEL, operation, 0);
    SendMessageW(dialog.targetEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
    PostMessageW(dialog.addButton, BM_CLICK, 0, 0);
}

bool ZemoApp::ClickFileRow(int row) {
    if (!BringToForeground(main_))
        return false;
    SendMessageW(fileList_->Handle(), LVM_ENSUREVISIBLE, row, FALSE);
    LeftClickAt(fileList_->CellCentreOnScreen(row, 1));
    return WaitUntil([&] {
        return fileList_->SelectionMark() == row && fileList_->IsSelected(row) &&
               FocusOf(main_) == fileList_->Handle();
    });
}

std::optional<DWORD> ZemoApp::Close(DWORD timeoutMs) {
    PostMessageW(main_, WM_CLOSE, 0, 0);
    return process_->WaitForExit(timeoutMs);
}

double ZemoApp::PeakMegabytes() {
    return ::PeakMegabytes(process_->Handle(), home_ / L"zemo.exe");
}
