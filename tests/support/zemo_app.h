// Drives the real zemo.exe from another process, as a user would: a fresh copy in its own
// directory (so its config.ini is the test's own), its main window and controls, the rule
// dialog, the file list and rule list read across processes.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/desktop.h"
#include "tests/support/process.h"
#include "tests/support/remote_list_view.h"
#include "app/window/control_ids.h"
#include "app/window/layout.h"

extern const wchar_t* const kMainWindowTitle;  // "ZEMO文件分类整理 墨池社区"
extern const wchar_t* const kRuleDialogTitle;  // "规则配置"

// Identifiers of the main window's controls: the program's own.
using MainWindowIds::kChooseFolderButtonId;
using MainWindowIds::kDirectoryEditId;
using MainWindowIds::kDirectoryLabelId;
using MainWindowIds::kFileListId;
using MainWindowIds::kReadListButtonId;
using MainWindowIds::kRuleListId;
using MainWindowIds::kRulesButtonId;

// The rule dialog's controls, found by their identifiers.
struct RuleDialog {
    HWND window = nullptr;
    HWND hotkeyEdit = nullptr;
    HWND operationCombo = nullptr;
    HWND targetEdit = nullptr;
    HWND chooseButton = nullptr;
    HWND addButton = nullptr;
    HWND cancelButton = nullptr;
};

class ZemoApp {
  public:
    // Copies zemo.exe (built beside the tests) into a fresh directory; writes `configIni`
    // (code page 936 bytes) beside it when given. Does not start it.
    explicit ZemoApp(std::optional<std::string> configIni = std::nullopt);
    ~ZemoApp();

    // Starts the program with `arguments` on its command line and waits for its main window
    // with its file list.
    bool Start(const std::wstring& arguments = L"");
    TestProcess& Process() { return *process_; }
    const std::wstring& Directory() const { return home_.Path(); }
    std::wstring ConfigPath() const { return home_ / L"config.ini"; }
    // The running program's peak resident memory in megabytes (0 when it cannot be read).
    double PeakMegabytes();

    HWND MainWindow() const { return main_; }
    HWND Control(int id) const { return FindChildById(main_, id); }
    RemoteListView& FileList() { return *fileList_; }
    RemoteListView& RuleList() { return *ruleList_; }

    // Types a directory into the edit box and clicks "读取文件列表" (without waiting).
    void ReadDirectory(const std::wstring& directory);
    // The same, then waits until the file list holds `expectedRows` rows.
    bool LoadDirectory(const std::wstring& directory, int expectedRows);
    void SetDirectoryText(const std::wstring& text);
    std::wstring DirectoryText() const;
    // Clicks a button of the main window with BM_CLICK, posted so the test never blocks.
    void Click(int id);
    // Clicks a button and waits until its click handler has returned. When the handler
    // shows a message box meanwhile, the box is read, answered with OK and returned;
    // otherwise the result's window is null.
    MessageBoxInfo ClickAndAnswer(HWND button);

    // Clicks "快捷键规则配置" and waits for the dialog and its controls.
    std::optional<RuleDialog> OpenRuleDialog();
    // Fills the dialog's fields (the hotkey field through WM_SETTEXT, the operation by
    // index, the target directory) and clicks "添加规则".
    void AddRule(const RuleDialog& dialog, const std::wstring& hotkey, int operation,
                 const std::wstring& target);

    // Makes a row of the file list the only selected row through a real click on it,
    // which also gives the list the keyboard focus.
    bool ClickFileRow(int row);

    // Ends the program with WM_CLOSE to the main window; its exit code.
    std::optional<DWORD> Close(DWORD timeoutMs = 10000);

  private:
    TempDirectory home_;
    std::unique_ptr<TestProcess> process_;
    HWND main_ = nullptr;
    std::unique_ptr<RemoteListView> fileList_;
    std::unique_ptr<RemoteListView> ruleList_;
};

// The children of a window in creation order (for top-level windows' direct children,
// z-order from the top is creation order when nothing changed it).
std::vector<HWND> ChildrenInOrder(HWND parent);
