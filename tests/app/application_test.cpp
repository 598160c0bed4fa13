// The application inside the test process: the real main window built by the program's
// own start-up steps, so its objects can be examined directly.
#include <gtest/gtest.h>

#include <objbase.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "app/background_operations.h"
#include "app/file_transfer.h"
#include "app/file_list.h"
#include "app/image_pane.h"
#include "app/keyboard_hook.h"
#include "app/main_window.h"
#include "app/media_preview.h"
#include "app/objects.h"
#include "app/rules.h"
#include "tests/support/image_files.h"
#include "tests/support/input.h"
#include "tests/support/process.h"
#include "tests/support/wait.h"
#include "ui/library.h"
#include "ui/window_registry.h"

namespace {

constexpr DWORD kMainWindowStyle = WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

class ApplicationTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        CoInitialize(nullptr);
        ConstructObjects();
        WindowRegistry::Create();
        InitialiseLibrary();
        InitialiseControlHosting();
        const TextBlock title = ToUtf16(Text("ZEMO文件分类整理 墨池社区"));
        Objects().mainWindow.Show(std::nullopt, &title, &BuildMainWindow, 0, std::nullopt,
                                  std::nullopt, 1070, 640, kMainWindowStyle);
        // Rules written by the tests go to a file of their own, not beside the program.
        configHome_ = new TempDirectory;
        ConfigPath = *configHome_ / L"config.ini";
    }

    void SetUp() override { ASSERT_NE(nullptr, MainWindowHandle); }

    // Lists a directory holding these files, as "读取文件列表" does.
    void Load(std::initializer_list<std::wstring> names) {
        for (const std::wstring& name : names)
            WriteFileBytes(files_ / name, "media");
        Objects().directoryEdit.Text(TextBlock::FromWide(files_.Path()));
        LoadFileList();
        ASSERT_TRUE(WaitUntil([] { return !IsReadingFiles(); }, 30000));
        ASSERT_EQ(static_cast<int32_t>(names.size()), Objects().fileList.GetItemCount());
    }

    // The row showing the name, exactly or as code page 936 spells it where the list
    // shows it that way.
    int32_t RowOf(const std::wstring& name) {
        ListViewControl& list = Objects().fileList;
        const TextBlock spelled = ToUtf16(FromUtf16(TextBlock::FromWide(name)));
        for (int32_t row = 0; row < list.GetItemCount(); ++row)
            if (list.GetItemText(row, 1).WideView() == name)
                return row;
        for (int32_t row = 0; row < list.GetItemCount(); ++row)
            if (list.GetItemText(row, 1).WideView() == spelled.WideView())
                return row;
        return -1;
    }

    // Makes the file's row the only selected row and the current row.
    void Select(const std::wstring& name) {
        ListViewControl& list = Objects().fileList;
        list.DeselectItem(-1);
        list.SetSelectionMark(RowOf(name));
    }

    // The player's URL, as the system code page text the control reports.
    Text PlayerUrl() { return Objects().mediaPlayer.URL(); }
    Text SystemText(const std::wstring& path) { return FromUtf16System(path.c_str()); }
    std::wstring WidePlayerUrl() {
        return std::wstring(Objects().mediaPlayer.WideURL().WideView());
    }

    static inline TempDirectory* configHome_ = nullptr;
    TempDirectory files_;
};

}  // namespace

TEST_F(ApplicationTest, MediaFilesOfAnyCaseAndAnyNamePlayByTheirExactPath) {
    Load({L"CLIP.MP4", L"song.Flac", L"\ub178\ub798.mp3", L"notes.txt", L"clip.mp4.bak"});
    Objects().mediaPlayer.URL(Text(""));

    Select(L"CLIP.MP4");
    EXPECT_EQ(files_ / L"CLIP.MP4", WidePlayerUrl());
    for (const wchar_t* ignored : {L"notes.txt", L"clip.mp4.bak"}) {
        Select(ignored);
        EXPECT_EQ(files_ / L"CLIP.MP4", WidePlayerUrl()) << ignored;
    }
    Select(L"song.Flac");
    EXPECT_EQ(files_ / L"song.Flac", WidePlayerUrl());
    Select(L"\ub178\ub798.mp3");  // a name code page 936 cannot hold
    EXPECT_EQ(files_ / L"\ub178\ub798.mp3", WidePlayerUrl());
}

TEST_F(ApplicationTest, APhotoHidesAndStopsThePlayerAndAMediaFileBringsItBack) {
    Load({L"clip.mp4"});
    ASSERT_TRUE(WriteSolidImage(files_ / L"photo.JPG", GUID_ContainerFormatJpeg, 40, 30, 0));
    LoadFileList();
    ASSERT_TRUE(WaitUntil([] { return !IsReadingFiles(); }, 30000));
    const HWND pane = FindWindowExW(MainWindowHandle, nullptr, kImagePaneClass, nullptr);
    MediaPlayerHost& player = Objects().mediaPlayer;

    Select(L"clip.mp4");
    ASSERT_EQ(files_ / L"clip.mp4", WidePlayerUrl());
    Select(L"photo.JPG");
    EXPECT_EQ(L"", WidePlayerUrl());
    EXPECT_FALSE(player.Visible());
    EXPECT_TRUE(IsWindowVisible(pane));
    Select(L"clip.mp4");
    EXPECT_EQ(files_ / L"clip.mp4", WidePlayerUrl());
    EXPECT_TRUE(player.Visible());
    EXPECT_FALSE(IsWindowVisible(pane));
}

TEST_F(ApplicationTest, TheFileBeingMovedIsReleasedByThePlayerFirst) {
    Load({L"clip.mp4", L"other.mp4"});
    Select(L"clip.mp4");
    ASSERT_EQ(SystemText(files_ / L"clip.mp4"), PlayerUrl());

    ReleasePreviewedFile(TextBlock::FromWide(files_ / L"other.mp4"));  // not the one playing
    EXPECT_EQ(SystemText(files_ / L"clip.mp4"), PlayerUrl());
    ReleasePreviewedFile(TextBlock::FromWide(files_ / L"CLIP.MP4"));  // names ignore case
    EXPECT_EQ(Text(""), PlayerUrl());
}

TEST_F(ApplicationTest, TheHookIsCalledAtOnceWhileALargeCopyRuns) {
    // A large file, a copy rule for it, and the file list holding the keyboard focus.
    const std::wstring big = files_ / L"big.bin";
    {
        std::string chunk(1 << 20, 'z');
        HANDLE file =
            CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        for (int i = 0; i < 512; ++i)
            WriteFile(file, chunk.data(), chunk.size(), &written, nullptr);
        CloseHandle(file);
    }
    Objects().directoryEdit.Text(TextBlock::FromWide(files_.Path()));
    LoadFileList();
    ASSERT_TRUE(WaitUntil([] { return !IsReadingFiles(); }, 30000));
    TempDirectory target;
    ASSERT_TRUE(
        AppendRule({KeyName(static_cast<int32_t>(MapVirtualKeyW('B', MAPVK_VK_TO_VSC)), false),
                    Text("复制文件"), FromUtf16(TextBlock::FromWide(target.Path()))}));
    const int32_t rule = Objects().ruleList.GetItemCount() - 1;
    ASSERT_TRUE(BringToForeground(MainWindowHandle));
    Objects().fileList.Focus();
    Select(L"big.bin");

    // While the UI thread copies, a second thread presses Shift and counts the presses the
    // hook procedure saw while the UI thread was still busy (not answering a sent message).
    std::atomic<int> seenWhileBusy{0};
    std::thread presser([&] {
        if (!WaitUntil([&] { return FileExists(target / L"big.bin"); }, 30000))
            return;
        for (int i = 0; i < 200; ++i) {
            const int64_t before = HookStatistics().calls;
            PressKeys({VK_LSHIFT});
            const bool hooked =
                WaitUntil([&] { return HookStatistics().calls >= before + 2; }, 200);
            DWORD_PTR ignored = 0;
            if (SendMessageTimeoutW(MainWindowHandle, WM_NULL, 0, 0, SMTO_NORMAL, 20, &ignored))
                break;  // the UI thread is free again: the copy is over
            if (hooked)
                ++seenWhileBusy;
        }
    });
    PressKeys({'B'});
    const bool copied = WaitUntil(
        [&] {
            return Objects().fileList.GetItemText(RowOf(L"big.bin"), 3).WideView() == L"复制成功";
        },
        120000);
    presser.join();
    ASSERT_TRUE(copied);
    EXPECT_GE(seenWhileBusy.load(), 1) << "no key press reached the hook during the copy";
    const KeyboardHookStatistics statistics = HookStatistics();
    std::printf(
        "during a 512 MB copy the hook saw %d presses at once; longest hook call %.1f us"
        " over %lld calls\n",
        seenWhileBusy.load(), statistics.longestMicroseconds,
        static_cast<long long>(statistics.calls));
    DeleteRule(rule);
}

TEST_F(ApplicationTest, AFailedRowShowsTheSystemsReasonAsItsTip) {
    Load({L"clash.txt", L"fine.txt"});
    TempDirectory target;
    WriteFileBytes(target / L"clash.txt", "theirs");
    const int32_t clash = RowOf(L"clash.txt");
    const int32_t fine = RowOf(L"fine.txt");
    QueueFileOperation(clash, true, files_ / L"clash.txt", target.Path(), L"clash.txt");
    QueueFileOperation(fine, true, files_ / L"fine.txt", target.Path(), L"fine.txt");
    ListViewControl& list = Objects().fileList;
    ASSERT_TRUE(WaitUntil([&] {
        return list.GetItemText(clash, kFileResultColumn).WideView() == L"复制失败" &&
               list.GetItemText(fine, kFileResultColumn).WideView() == L"复制成功";
    }));

    // The tip the list asks its parent for when the mouse rests on a row.
    const auto tipOf = [&](int32_t row) {
        wchar_t text[512] = L"";
        NMLVGETINFOTIPW tip{};
        tip.hdr.hwndFrom = list.Handle();
        tip.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list.Handle()));
        tip.hdr.code = LVN_GETINFOTIPW;
        tip.pszText = text;
        tip.cchTextMax = 512;
        tip.iItem = row;
        SendMessageW(MainWindowHandle, WM_NOTIFY, tip.hdr.idFrom, reinterpret_cast<LPARAM>(&tip));
        return std::wstring(text);
    };
    EXPECT_EQ(SystemMessage(ERROR_FILE_EXISTS), tipOf(clash));
    EXPECT_EQ(L"", tipOf(fine));
    EXPECT_EQ("theirs", ReadFileBytes(target / L"clash.txt"));
}
