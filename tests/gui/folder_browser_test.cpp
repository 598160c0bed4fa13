// FolderBrowser against the shell's real folder dialog, driven from a second thread: it
// waits for the dialog, lets the initial-folder callback select the folder, then presses
// OK or Cancel.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <atomic>
#include <string>
#include <thread>

#include "tests/support/desktop.h"
#include "tests/support/wait.h"
#include "ui/folder_browser.h"

namespace {

HWND TreeOf(HWND dialog) {
    return FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr);
}

bool TreeHasSelection(HWND dialog) {
    HWND tree = TreeOf(dialog);
    return tree && SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) != 0;
}

// What the driver saw when the dialog did not get ready, for the failure message.
std::string DescribeDialog(HWND dialog) {
    if (!dialog)
        return "no visible dialog";
    HWND tree = TreeOf(dialog);
    if (!tree)
        return "a dialog without a tree view";
    return "a tree view of " + std::to_string(SendMessageW(tree, TVM_GETCOUNT, 0, 0)) +
           " items without a selection";
}

// A folder of the test's own at the root of C:. Not in the temporary folder: right after
// other tests have created and removed many folders there, Wine's folder dialog sometimes
// cannot select a folder inside it.
std::wstring OwnFolder(const wchar_t* name) {
    std::wstring folder =
        L"C:\\" + std::wstring(name) + L" " + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

class FolderBrowserTest : public ::testing::Test {
  protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }

    // Runs Browse while a second thread presses `button` (IDOK or IDCANCEL) once the
    // dialog shows a selected folder. Returns Browse's result.
    int32_t BrowseAndPress(FolderBrowser& browser, int button) {
        std::atomic<bool> browsing{true};
        std::atomic<bool> dialogSeen{false};
        std::string seen;
        std::thread driver([&] {
            HWND dialog = nullptr;
            // Wine fills the shell's folder tree slowly on a loaded machine.
            dialogSeen = WaitUntil(
                [&] {
                    dialog = FindTopLevelWindow(GetCurrentProcessId(), L"#32770");
                    return dialog && TreeHasSelection(dialog);
                },
                60000);
            if (!dialogSeen)
                seen = DescribeDialog(dialog);
            if (dialog)
                PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            // A dialog that ignored the button is cancelled, so the test fails instead of
            // hanging.
            if (!WaitUntil([&] { return !browsing; }) && dialog)
                PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        const int32_t result = browser.Browse(nullptr);
        browsing = false;
        driver.join();
        EXPECT_TRUE(dialogSeen) << "the folder dialog never showed a selection: " << seen;
        return result;
    }
};

TEST_F(FolderBrowserTest,
       ABrowseGivesTheChosenPathOnceNothingOnCancelAndADriveRootWithItsBackslash) {
    const std::wstring folder = OwnFolder(L"zemo browse folder");
    FolderBrowser browser;
    browser.Configure(TextBlock::FromWide(L"请选择一个文件夹"), TextBlock::FromWide(folder.c_str()),
                      BIF_RETURNONLYFSDIRS);
    ASSERT_EQ(1, BrowseAndPress(browser, IDOK));
    const TextBlock path = browser.GetPath();
    EXPECT_EQ(folder, std::wstring(path.WideView()));
    EXPECT_EQ(static_cast<int32_t>((folder.size() + 1) * sizeof(wchar_t)), path.ByteCount());
    EXPECT_EQ(0, browser.GetPath().WideLength());  // the choice is taken once

    EXPECT_EQ(0, BrowseAndPress(browser, IDCANCEL));
    const TextBlock cancelled = browser.GetPath();
    EXPECT_EQ(0, cancelled.WideLength());
    EXPECT_EQ(2, cancelled.ByteCount());  // just the terminating zero unit
    RemoveDirectoryW(folder.c_str());

    FolderBrowser root;
    root.Configure(std::nullopt, TextBlock::FromWide(L"C:\\"), BIF_RETURNONLYFSDIRS);
    ASSERT_EQ(1, BrowseAndPress(root, IDOK));
    EXPECT_EQ(std::wstring(L"C:\\"), std::wstring(root.GetPath().WideView()));
}

}  // namespace
