// A directory of 100,000 files read into the real program's file list: rows streamed in
// while the user works, read by this process cell by cell.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "runtime/text.h"
#include "tests/support/input.h"
#include "tests/support/remote_selection.h"
#include "tests/support/zemo_app.h"

namespace {

constexpr int kManyFiles = 100000;

// The names of the files directly inside a directory, in the file system's order.
std::vector<std::wstring> FileSystemOrder(const std::wstring& directory) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((directory + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.emplace_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::wstring IndexOf(int row) {
    return (row < 9 ? L"0" : L"") + std::to_wstring(row + 1);
}

// config.ini text: code page 936 bytes, as the program's own texts are.
std::string Gbk(const std::wstring& text) {
    return FromUtf16(TextBlock::FromWide(text)).c_str();
}

// Under Wine, runs a command of the host's shell in the host's form of `directory` and
// waits for it; false where there is no host shell.
bool RunOnHost(const std::wstring& directory, const std::wstring& command) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* path = unixName ? unixName(directory.c_str()) : nullptr;
    if (!path)
        return false;
    const std::wstring folder(path, path + strlen(path));
    HeapFree(GetProcessHeap(), 0, path);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    TestProcess shell(std::wstring(system) + L"\\start.exe",
                      L"/wait /unix /bin/sh -c \"cd '" + folder + L"' && " + command + L"\"");
    return shell.Started() && shell.WaitForExit(600000).has_value();
}

class LargeFileListTest : public ::testing::Test {
  protected:
    // One directory of many files for the whole suite. Under Wine every file created
    // through the system makes it search the whole directory for a name differing only in
    // case, so the files are made by the host's own shell where there is one.
    static void SetUpTestSuite() {
        many_ = new TempDirectory;
        if (RunOnHost(many_->Path(), L"seq -f photo-%06g.jpg 1 " + std::to_wstring(kManyFiles) +
                                         L" | xargs touch") &&
            FileExists(*many_ / L"photo-100000.jpg"))
            return;
        for (int i = 1; i <= kManyFiles; ++i) {
            wchar_t name[32];
            swprintf(name, 32, L"photo-%06d.jpg", i);
            HANDLE file = CreateFileW((*many_ / name).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, 0, nullptr);
            CloseHandle(file);
        }
    }
    static void TearDownTestSuite() {
        RunOnHost(many_->Path(), L"find . -name 'photo-*.jpg' -delete");
        delete many_;
        many_ = nullptr;
    }

    void Start(std::optional<std::string> config = std::nullopt) {
        app_ = std::make_unique<ZemoApp>(std::move(config));
        ASSERT_TRUE(app_->Start());
    }
    bool HasAllRows() {
        return WaitUntil([&] { return app_->FileList().ItemCount() == kManyFiles; }, 60000);
    }

    static inline TempDirectory* many_ = nullptr;
    std::unique_ptr<ZemoApp> app_;
};

}  // namespace

TEST_F(LargeFileListTest, AllRowsArriveNumberedInTheFileSystemsOrderAndASecondReadCancelsThem) {
    Start();
    TempDirectory few;
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"})
        WriteFileBytes(few / name, "x");
    const ULONGLONG started = GetTickCount64();
    app_->ReadDirectory(many_->Path());
    ASSERT_TRUE(HasAllRows());
    const DWORD wholeRead = static_cast<DWORD>(GetTickCount64() - started);

    // Rows spread over the whole list name the files in the file system's order.
    const std::vector<std::wstring> expected = FileSystemOrder(many_->Path());
    ASSERT_EQ(static_cast<size_t>(kManyFiles), expected.size());
    for (int row = 0; row < kManyFiles; row += 997)
        EXPECT_EQ(expected[row], app_->FileList().Text(row, 1)) << row;
    EXPECT_EQ(expected.back(), app_->FileList().Text(kManyFiles - 1, 1));
    for (int row : {0, 8, 9, 98, 99, 9999, kManyFiles - 1}) {
        EXPECT_EQ(IndexOf(row), app_->FileList().Text(row, 0)) << row;
        EXPECT_EQ(L"", app_->FileList().Text(row, 2));
        EXPECT_EQ(L"", app_->FileList().Text(row, 3));
    }
    EXPECT_EQ(L"100000", app_->FileList().Text(kManyFiles - 1, 0));
    EXPECT_EQ(L"", app_->FileList().Text(kManyFiles, 0));  // no row after the last

    app_->ReadDirectory(many_->Path());
    ASSERT_TRUE(app_->LoadDirectory(few.Path(), 3));
    // No row of the cancelled read turns up later, within twice a whole read.
    EXPECT_FALSE(
        WaitUntil([&] { return app_->FileList().ItemCount() != 3; }, wholeRead * 2 + 1000));
    EXPECT_EQ((std::vector<std::wstring>{L"01", L"02", L"03"}), app_->FileList().Column(0));
    EXPECT_EQ(FileSystemOrder(few.Path()), app_->FileList().Column(1));
}

TEST_F(LargeFileListTest, AHotkeyActsOnTheRowsSelectedDuringAndAfterTheRead) {
    TempDirectory target;
    Start(Gbk(L"[快捷键配置]\r\nF9=复制文件|" + target.Path() + L"\r\n"));
    app_->ReadDirectory(many_->Path());
    ASSERT_TRUE(WaitUntil([&] { return app_->FileList().ItemCount() >= 1; }, 60000));
    ASSERT_TRUE(app_->ClickFileRow(0));
    PressKeys({VK_F9});
    ASSERT_TRUE(WaitUntil([&] { return app_->FileList().Text(0, 3) == L"复制成功"; }));
    EXPECT_EQ(L"复制文件", app_->FileList().Text(0, 2));
    const std::wstring first = app_->FileList().Text(0, 1);
    EXPECT_TRUE(FileExists(target / first));
    EXPECT_EQ(std::vector<std::wstring>{first}, FileSystemOrder(target.Path()));

    // The read goes on to its end around the sorted row, which keeps its texts.
    ASSERT_TRUE(HasAllRows());
    EXPECT_EQ(L"复制成功", app_->FileList().Text(0, 3));
    EXPECT_EQ(L"", app_->FileList().Text(1, 3));
    EXPECT_TRUE(app_->FileList().IsSelected(0));

    // A range made with Shift (one state change for the whole range in a virtual list),
    // and the last row added as a Ctrl+click adds it.
    ASSERT_TRUE(app_->ClickFileRow(1));
    PressKeys({VK_LSHIFT, VK_DOWN});
    PressKeys({VK_LSHIFT, VK_DOWN});
    ASSERT_TRUE(WaitUntil([&] { return app_->FileList().IsSelected(3); }));
    const int last = kManyFiles - 1;
    ASSERT_TRUE(SetRowSelected(app_->FileList().Handle(), last, true, false));
    PressKeys({VK_F9});

    const std::vector<int> selected = {1, 2, 3, last};
    for (int row : selected) {
        EXPECT_TRUE(WaitUntil([&] { return app_->FileList().Text(row, 3) == L"复制成功"; })) << row;
        EXPECT_TRUE(FileExists(target / app_->FileList().Text(row, 1))) << row;
    }
    EXPECT_EQ(selected.size() + 1, FileSystemOrder(target.Path()).size());
    EXPECT_FALSE(app_->FileList().IsSelected(0));
    for (int row : {4, last - 1})
        EXPECT_EQ(L"", app_->FileList().Text(row, 3)) << row;
}
