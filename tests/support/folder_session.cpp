#include "tests/support/folder_session.h"

#include "app/operations/file_transfer.h"
#include "app/preview/image_pane.h"
#include "tests/support/config_file.h"
#include "tests/support/input.h"
#include "tests/support/row_presses.h"
#include "tests/support/sorting_files.h"

std::string SettingsConfig(const std::wstring& lines) {
    return Gbk(L"[设置]\r\n" + lines);
}

void FolderSessionTest::StartOn(std::string config, const FileContents& files, int rows) {
    for (const auto& [name, content] : files)
        ASSERT_TRUE(WriteFileBytes(L"\\\\?\\" + (source_ / name), content));
    app_ = std::make_unique<ZemoApp>(std::move(config));
    ASSERT_TRUE(app_->Start());
    ASSERT_TRUE(
        app_->LoadDirectory(source_.Path(), rows < 0 ? static_cast<int>(files.size()) : rows));
}

int FolderSessionTest::RowOf(const std::wstring& name) {
    return FileRowOf(*app_, name);
}

std::wstring FolderSessionTest::ResultOf(const std::wstring& name) {
    return app_->FileList().Text(RowOf(name), 3);
}

bool FolderSessionTest::PressOn(const std::wstring& name, WORD key, const std::wstring& result,
                                DWORD timeoutMs) {
    if (!PressOnFile(*app_, name, {key}))
        return false;
    return static_cast<bool>(RowResultIs(*app_, RowOf(name), result, timeoutMs));
}

bool FolderSessionTest::SelectFile(const std::wstring& name) {
    return app_->ClickFileRow(RowOf(name));
}

bool FolderSessionTest::UndoByMenu(const std::wstring& name) {
    RightClickAt(app_->FileList().CellCentreOnScreen(RowOf(name), 1));
    if (!WaitForTopLevelWindow(app_->Process().Id(), L"#32768"))
        return false;
    PressKeys({VK_DOWN});
    PressKeys({VK_RETURN});
    return WaitUntil([&] { return !FindTopLevelWindow(app_->Process().Id(), L"#32768"); });
}

std::vector<std::vector<std::wstring>> FolderSessionTest::Journal() {
    return JournalRecords(app_->Directory() + L"\\操作记录.csv");
}

std::wstring FolderSessionTest::PartialFile() {
    for (const std::wstring& name : FolderListing(target_.Path()))
        if (IsPartialFileName(name))
            return target_ / name;
    return L"";
}

HWND FolderSessionTest::Pane() {
    return FindWindowExW(app_->MainWindow(), nullptr, kImagePaneClass, nullptr);
}

bool FolderSessionTest::PaneShows(const std::function<bool(const ScreenShot&)>& condition) {
    const HWND pane = Pane();
    return WaitUntil([&] { return IsWindowVisible(pane) && condition(ScreenShot(pane)); });
}
