// The application inside the test process: the real main window built by the program's
// own start-up steps, so its objects can be examined directly.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/window/application.h"
#include "app/window/control_ids.h"
#include "app/operations/failure_tips.h"
#include "app/operations/file_operation.h"
#include "app/operations/file_transfer.h"
#include "app/preview/image_pane.h"
#include "app/window/layout.h"
#include "app/rules/options_menu.h"
#include "app/rules/rule_dialog.h"
#include "app/window/startup.h"
#include "app/base/system_error.h"
#include "app/operations/undo_history.h"
#include "app/operations/undo_menu.h"
#include "app/base/unique_file.h"
#include "tests/support/config_file.h"
#include "tests/support/desktop.h"
#include "tests/support/dropped_files.h"
#include "tests/support/image_files.h"
#include "tests/support/input.h"
#include "tests/support/layout_expectations.h"
#include "tests/support/process.h"
#include "tests/support/sorting_files.h"
#include "tests/support/wait.h"
#include "tests/support/zemo_app.h"

namespace {

struct HookRemover {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};

LayoutBox PlacedBox(const ControlObject& control) {
    return BoxOf(control.RectangleInParent());
}

// The character height of a control's font.
LONG FontHeight(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
}

// Answers the message boxes of this process from a thread of its own while the UI thread
// shows them, until destroyed. `answer` gives each box's button; it may first act, as a
// user might while a box is up.
class BoxAnswerer {
  public:
    explicit BoxAnswerer(std::function<int(const MessageBoxInfo&)> answer)
        : answer_(std::move(answer)), thread_([this] { Run(); }) {}
    ~BoxAnswerer() {
        done_ = true;
        thread_.join();
    }
    // The boxes answered so far, in order.
    std::vector<MessageBoxInfo> Boxes() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return boxes_;
    }

  private:
    void Run() {
        while (!done_) {
            const MessageBoxInfo box = WaitForMessageBox(GetCurrentProcessId(), nullptr, 50);
            if (!box.window)
                continue;
            const int button = answer_(box);
            AnswerMessageBox(box.window, button);
            const std::lock_guard<std::mutex> lock(mutex_);
            boxes_.push_back(box);
        }
    }

    std::function<int(const MessageBoxInfo&)> answer_;
    std::atomic<bool> done_{false};
    std::mutex mutex_;
    std::vector<MessageBoxInfo> boxes_;
    std::thread thread_;
};

class ApplicationTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // Rules written by the tests go to a file of their own, not beside the program.
        configHome_ = new TempDirectory;
        PrepareProcess();
        app_ = &PrepareProgram(*configHome_ / L"config.ini");
        ShowMainWindow(*app_);
    }

    void SetUp() override { ASSERT_NE(nullptr, app_->mainWindow); }

    ApplicationObjects& Controls() { return app_->controls; }
    HWND MainWindow() { return app_->mainWindow; }

    // Writes these files beside any written before and lists their directory by clicking
    // "读取文件列表".
    void Load(std::initializer_list<std::wstring> names) {
        for (const std::wstring& name : names)
            WriteFileBytes(files_ / name, "media");
        Controls().directoryEdit.SetText(TextBlock::FromWide(files_.Path()));
        Controls().readListButton.Send(BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([this] { return !IsReadingFiles(*app_); }, 30000));
        ASSERT_EQ(static_cast<int32_t>(FolderListing(files_.Path()).size()),
                  Controls().fileList.GetItemCount());
    }

    // The row showing the name.
    int32_t RowOf(const std::wstring& name) {
        ListViewControl& list = Controls().fileList;
        for (int32_t row = 0; row < list.GetItemCount(); ++row)
            if (list.GetItemText(row, 1).WideView() == name)
                return row;
        return -1;
    }

    // Makes the file's row the only selected row and the current row.
    void Select(const std::wstring& name) {
        ListViewControl& list = Controls().fileList;
        list.DeselectItem(-1);
        list.SetSelectionMark(RowOf(name));
    }

    // Loads these files and "big.bin", a large file whose copy keeps work pending for a
    // while; its row.
    int32_t LoadWithLargeFile(std::initializer_list<std::wstring> names) {
        CreateLargeFile(files_ / L"big.bin", 1ULL << 30);
        Load(names);
        return RowOf(L"big.bin");
    }
    std::wstring ResultOf(int32_t row) {
        return std::wstring(Controls().fileList.GetItemText(row, kFileResultColumn).WideView());
    }
    bool IsCopied(int32_t row) { return ResultOf(row) == L"复制成功"; }
    // Waits until the row's result cell shows `result`.
    bool Shows(int32_t row, std::wstring_view result, DWORD timeoutMs = kDefaultWaitMs) {
        return WaitUntil([&] { return ResultOf(row) == result; }, timeoutMs);
    }
    static constexpr const wchar_t* kReadQuestion =
        L"还有 1 个文件操作未完成，停止并读取新目录吗？";

    std::wstring WidePlayerUrl() {
        return std::wstring(Controls().mediaPlayer.WideUrl().WideView());
    }

    // Opens the rule dialog as "快捷键规则配置" does and gives its controls' identifiers in
    // creation order. The dialog is modal, so a thread of its own reads them and closes it.
    std::vector<int> RuleDialogIds() {
        std::vector<int> ids;
        std::thread reader([&ids] {
            const std::wstring title = kRuleDialogTitle;
            HWND dialog = nullptr;
            WaitUntil([&] {
                dialog = FindTopLevelWindow(GetCurrentProcessId(), L"", &title);
                return dialog && ChildrenInOrder(dialog).size() >= 9;
            });
            if (!dialog)
                return;
            for (const HWND child : ChildrenInOrder(dialog))
                ids.push_back(GetDlgCtrlID(child));
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        });
        OpenRuleDialog(*app_);
        reader.join();
        return ids;
    }

    static inline TempDirectory* configHome_ = nullptr;
    static inline Application* app_ = nullptr;
    TempDirectory files_;
};

}  // namespace

TEST_F(ApplicationTest, MediaFilesPlayByTheirExactPathUntilAPhotoOrTheirMoveStopsThePlayer) {
    ASSERT_TRUE(WriteSolidImage(files_ / L"photo.JPG", GUID_ContainerFormatJpeg, 40, 30, 0));
    Load({L"CLIP.MP4", L"song.Flac", L"\ub178\ub798.mp3", L"notes.txt", L"clip.mp4.bak"});
    Controls().mediaPlayer.SetUrl(Text(""));

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

    // A photo hides and stops the player; a media file brings it back.
    const HWND pane = FindWindowExW(MainWindow(), nullptr, kImagePaneClass, nullptr);
    MediaPlayerHost& player = Controls().mediaPlayer;
    Select(L"photo.JPG");
    EXPECT_EQ(L"", WidePlayerUrl());
    EXPECT_FALSE(player.IsVisible());
    EXPECT_TRUE(IsWindowVisible(pane));
    Select(L"CLIP.MP4");
    EXPECT_EQ(files_ / L"CLIP.MP4", WidePlayerUrl());
    EXPECT_TRUE(player.IsVisible());
    EXPECT_FALSE(IsWindowVisible(pane));

    // The file about to be moved is released by the player first; names ignore case.
    ReleasePreviewedFile(app_->preview, app_->controls.mediaPlayer,
                         TextBlock::FromWide(files_ / L"song.Flac"));  // not playing
    EXPECT_EQ(files_ / L"CLIP.MP4", WidePlayerUrl());
    ReleasePreviewedFile(app_->preview, app_->controls.mediaPlayer,
                         TextBlock::FromWide(files_ / L"clip.mp4"));
    EXPECT_EQ(L"", WidePlayerUrl());
}

TEST_F(ApplicationTest, ADroppedFolderIsReadAndADroppedFileAlsoSelectsItsRow) {
    for (const wchar_t* name : {L"a.jpg", L"b.jpg", L"c.jpg"})
        WriteFileBytes(files_ / name, "x");
    ListViewControl& list = Controls().fileList;
    list.DeleteAllItems();
    Controls().directoryEdit.SetText(TextBlock::EmptyWide());
    PostMessageW(MainWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({files_.Path()})),
                 0);
    ASSERT_TRUE(WaitUntil([&] { return list.GetItemCount() == 3; }));
    EXPECT_EQ(files_.Path(), Controls().directoryEdit.Text().WideView());
    EXPECT_EQ(0, list.GetSelectedCount());

    // A file of another folder, dropped together with something else: the first item's
    // folder is read and that file's row alone is selected.
    TempDirectory other;
    const std::wstring file = other / L"照片 二.jpg";
    WriteFileBytes(other / L"first.jpg", "x");
    WriteFileBytes(file, "x");
    list.SelectItem(0);
    PostMessageW(MainWindow(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({file, files_ / L"a.jpg"})), 0);
    ASSERT_TRUE(
        WaitUntil([&] { return list.GetItemCount() == 2 && list.GetSelectedCount() == 1; }));
    EXPECT_EQ(other.Path(), Controls().directoryEdit.Text().WideView());
    EXPECT_EQ(RowOf(L"照片 二.jpg"), list.GetSelectionMark());
    EXPECT_TRUE(list.IsItemSelected(RowOf(L"照片 二.jpg")));
}

namespace {

// While a box of this thread is destroyed, waits a while (without handling messages) for
// `folder` to be empty and notes whether it became so: what the answer did before the box
// was gone.
struct BoxTeardownWatch {
    std::wstring folder;
    bool emptyBeforeBoxGone = false;
};
BoxTeardownWatch* boxTeardownWatch = nullptr;

LRESULT CALLBACK WaitAtBoxTeardown(int code, WPARAM wParam, LPARAM lParam) noexcept {
    wchar_t className[8] = L"";
    if (code == HCBT_DESTROYWND && boxTeardownWatch &&
        GetClassNameW(reinterpret_cast<HWND>(wParam), className, 8) &&
        lstrcmpW(className, L"#32770") == 0) {
        const ULONGLONG deadline = GetTickCount64() + 5000;
        while (!FolderListing(boxTeardownWatch->folder).empty() && GetTickCount64() < deadline)
            Sleep(10);
        boxTeardownWatch->emptyBeforeBoxGone = FolderListing(boxTeardownWatch->folder).empty();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

// A folder dropped while a copy runs asks first. "是" stops the copy at once, before the box
// has even gone: nothing is left of it, its journal line says "已取消", and the folder is
// read.
TEST_F(ApplicationTest, AFolderDroppedWhileACopyRunsIsReadOnceTheAnswerHasStoppedTheCopy) {
    // Sparse, so made at once; its copy writes every byte and outlasts the question.
    ASSERT_TRUE(CreateLargeFile(files_ / L"big.bin", 8ULL << 30));
    Load({});
    TempDirectory target;
    TempDirectory dropped;
    WriteFileBytes(dropped / L"a.txt", "a");
    QueueFileOperation(*app_, RowOf(L"big.bin"), true, files_ / L"big.bin", target.Path(),
                       L"big.bin");
    ASSERT_TRUE(WaitUntil([&] { return !FolderListing(target.Path()).empty(); }));

    BoxTeardownWatch watch{target.Path()};
    boxTeardownWatch = &watch;
    const UniqueHandle<HHOOK, HookRemover> hook(
        SetWindowsHookExW(WH_CBT, &WaitAtBoxTeardown, nullptr, GetCurrentThreadId()));
    // The box runs its own loop on this thread; another thread answers it.
    const std::jthread answer([] {
        const std::wstring title = L"信息";
        const MessageBoxInfo box = WaitForMessageBox(GetCurrentProcessId(), &title);
        if (box.window)
            AnswerMessageBox(box.window, IDYES);
    });
    PostMessageW(MainWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({dropped.Path()})),
                 0);
    ASSERT_TRUE(WaitUntil([&] { return RowOf(L"a.txt") == 0; }));
    boxTeardownWatch = nullptr;
    EXPECT_TRUE(watch.emptyBeforeBoxGone) << "the copy ran on after the answer";
    EXPECT_EQ(1, Controls().fileList.GetItemCount());
    EXPECT_TRUE(FolderListing(target.Path()).empty());
    const auto journal = JournalRecords(*configHome_ / L"操作记录.csv");
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(L"已取消", journal.back()[4]);
}

// With work pending, a drop asks first, and No changes nothing.
TEST_F(ApplicationTest, WithWorkPendingADropAnsweredNoChangesNothing) {
    const int32_t big = LoadWithLargeFile({L"a.jpg", L"same.jpg"});
    ListViewControl& list = Controls().fileList;
    TempDirectory other, target;
    WriteFileBytes(other / L"same.jpg", "x");
    Select(L"a.jpg");

    std::vector<MessageBoxInfo> boxes;
    QueueFileOperation(*app_, big, true, files_ / L"big.bin", target.Path(), L"big.bin");
    {
        BoxAnswerer answerer([](const MessageBoxInfo&) { return IDNO; });
        SendMessageW(MainWindow(), WM_DROPFILES,
                     reinterpret_cast<WPARAM>(MakeDrop({other / L"same.jpg"})), 0);
        boxes = answerer.Boxes();
    }
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kReadQuestion, boxes[0].text);
    EXPECT_EQ(files_.Path(), Controls().directoryEdit.Text().WideView());
    EXPECT_EQ(3, list.GetItemCount());
    EXPECT_EQ(1, list.GetSelectedCount());
    EXPECT_TRUE(list.IsItemSelected(RowOf(L"a.jpg")));
    EXPECT_TRUE(Shows(big, L"复制成功", 60000));
}

// Yes to reading a folder removed while the question is up: the listing fails and the
// system's reason shows. The copy is let finish first, so the answer stops nothing.
TEST_F(ApplicationTest, AListingThatFailsShowsTheSystemsReason) {
    const int32_t big = LoadWithLargeFile({});
    TempDirectory other, target;
    const std::wstring gone = other / L"gone";
    ASSERT_TRUE(CreateDirectoryW(gone.c_str(), nullptr));
    Controls().directoryEdit.SetText(TextBlock::FromWide(gone));

    std::vector<MessageBoxInfo> boxes;
    QueueFileOperation(*app_, big, true, files_ / L"big.bin", target.Path(), L"big.bin");
    {
        BoxAnswerer answerer([&](const MessageBoxInfo& box) {
            if (box.text != kReadQuestion)
                return IDOK;
            RemoveDirectoryW(gone.c_str());
            Shows(big, L"复制成功", 60000);
            return IDYES;
        });
        Controls().readListButton.Send(BM_CLICK, 0, 0);
        WaitUntil([&] { return answerer.Boxes().size() == 2; });
        boxes = answerer.Boxes();
    }
    ASSERT_EQ(2u, boxes.size()) << "no box told the listing failed";
    EXPECT_EQ(kReadQuestion, boxes[0].text);
    EXPECT_EQ(L"信息", boxes[1].title);
    EXPECT_EQ(L"无法读取文件目录：" + SystemMessage(ERROR_PATH_NOT_FOUND), boxes[1].text);
    EXPECT_EQ(0, Controls().fileList.GetItemCount());
    EXPECT_FALSE(IsReadingFiles(*app_));
}

TEST_F(ApplicationTest, DpiChangeLaysTheWindowOutAgainInTheSuggestedRectangle) {
    ApplicationObjects& o = Controls();
    const RECT before = o.mainWindow.RectangleInParent();
    const LONG fontAt96 = FontHeight(o.fileList.Handle());
    const LayoutSize size = MainWindowDefaultOuter(144);
    const RECT suggested = {40, 30, 40 + size.width, 30 + size.height};
    o.mainWindow.Send(WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

    EXPECT_EQ(BoxOf(suggested), PlacedBox(o.mainWindow));
    for (const ExpectedControl& control : MainWindowControls()) {
        const HWND child = GetDlgItem(MainWindow(), control.id);
        EXPECT_EQ(ScaleForDpi(control.box, 144), BoxOf(RectInParent(child))) << control.id;
        EXPECT_EQ(MulDiv(fontAt96, 144, 96), FontHeight(child)) << control.id;
    }
    const auto columnsAre = [&](UINT dpi) {
        EXPECT_EQ(4, Header_GetItemCount(ListView_GetHeader(o.fileList.Handle())));
        EXPECT_EQ(3, Header_GetItemCount(ListView_GetHeader(o.ruleList.Handle())));
        for (int32_t column = 0; column < 4; ++column)
            EXPECT_EQ(ScaleForDpi(MainWindowLayout::kFileColumnWidths[column], dpi),
                      o.fileList.GetColumnWidth(column));
        for (int32_t column = 0; column < 3; ++column)
            EXPECT_EQ(ScaleForDpi(MainWindowLayout::kRuleColumnWidths[column], dpi),
                      o.ruleList.GetColumnWidth(column));
    };
    columnsAre(144);

    // Back at 96 DPI everything is exactly as it was built.
    o.mainWindow.Send(WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&before));
    EXPECT_EQ(BoxOf(before), PlacedBox(o.mainWindow));
    for (const ExpectedControl& control : MainWindowControls()) {
        const HWND child = GetDlgItem(MainWindow(), control.id);
        EXPECT_EQ(control.box, BoxOf(RectInParent(child))) << control.id;
        EXPECT_EQ(GetStockObject(DEFAULT_GUI_FONT),
                  reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0)))
            << control.id;
    }
    columnsAre(96);
}

TEST_F(ApplicationTest, TheMainWindowsControlsKeepTheIdentifiersOtherProgramsFindThemBy) {
    ApplicationObjects& o = Controls();
    // 501 to 507 in this order, written out: scripts written against earlier versions use them.
    const ControlObject* controls[] = {
        &o.fileList,       &o.directoryLabel, &o.directoryEdit, &o.chooseFolderButton,
        &o.readListButton, &o.rulesButton,    &o.ruleList};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(501 + i, GetDlgCtrlID(controls[i]->Handle())) << i;
}

TEST_F(ApplicationTest, TheRuleDialogsControlsHaveTheSameIdentifiersAtEveryOpening) {
    using namespace RuleDialogIds;
    const std::vector<int> inCreationOrder = {
        kHotkeyLabelId, kHotkeyEditId,         kOperationLabelId, kOperationComboId, kTargetLabelId,
        kTargetEditId,  kChooseTargetButtonId, kAddButtonId,      kCancelButtonId};
    EXPECT_EQ(inCreationOrder, RuleDialogIds());
    EXPECT_EQ(inCreationOrder, RuleDialogIds());
}

// A failed row's tip gives its reason: the system's, or what the file under the taken name
// is; a file kept beside another of its name, the name it took.
TEST_F(ApplicationTest, ARowsTipGivesItsFailuresReasonOrTheNameAKeptFileTook) {
    Load({L"clash.txt", L"same.txt", L"fine.txt", L"lost.txt"});
    TempDirectory target;
    WriteFileBytes(target / L"clash.txt", "theirs");
    WriteFileBytes(target / L"same.txt", "media");
    const int32_t clash = RowOf(L"clash.txt");
    const int32_t same = RowOf(L"same.txt");
    const int32_t fine = RowOf(L"fine.txt");
    const int32_t lost = RowOf(L"lost.txt");
    const auto copy = [&](int32_t row, const std::wstring& folder) {
        const std::wstring name(app_->fileRows.Name(row));
        QueueFileOperation(*app_, row, true, files_ / name, folder, name);
    };
    ListViewControl& list = Controls().fileList;
    for (const int32_t row : {clash, same, fine})
        copy(row, target.Path());
    copy(lost, target / L"missing");
    for (const int32_t row : {clash, same, lost})
        ASSERT_TRUE(Shows(row, L"复制失败")) << row;
    ASSERT_TRUE(Shows(fine, L"复制成功"));

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
        SendMessageW(MainWindow(), WM_NOTIFY, tip.hdr.idFrom, reinterpret_cast<LPARAM>(&tip));
        return std::wstring(text);
    };
    EXPECT_EQ(L"目标文件夹已有同名的不同文件", tipOf(clash));
    EXPECT_EQ(L"目标文件夹已有相同的文件", tipOf(same));
    EXPECT_EQ(SystemMessage(ERROR_PATH_NOT_FOUND), tipOf(lost));
    EXPECT_EQ(L"", tipOf(fine));

    // With both kept, the different file's tip names the name it took (which files are kept
    // where is the real program's case).
    const Setting<bool> keepBoth{"重名时保留两者", false};
    ASSERT_EQ(0u, app_->settings.Set(keepBoth, true));
    copy(clash, target.Path());
    copy(same, target.Path());
    ASSERT_TRUE(Shows(clash, L"复制成功"));
    ASSERT_TRUE(Shows(same, L"复制失败"));
    EXPECT_EQ(L"已另存为 clash (2).txt", tipOf(clash));
    EXPECT_EQ(L"目标文件夹已有相同的文件", tipOf(same));
    EXPECT_EQ(0u, app_->settings.Set(keepBoth, false));
    DeleteFileW((*configHome_ / L"config.ini").c_str());
}

namespace {

// A menu item as the user sees it: its text ("-" for a separator) and its check or radio mark.
struct MenuLine {
    std::wstring text;
    bool marked = false;
    bool radio = false;
    bool operator==(const MenuLine&) const = default;
};

std::vector<MenuLine> MenuLines(HMENU menu) {
    std::vector<MenuLine> lines;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = L"";
        MENUITEMINFOW item{sizeof item, MIIM_FTYPE | MIIM_STATE | MIIM_STRING};
        item.dwTypeData = text;
        item.cch = 64;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item);
        lines.push_back({item.fType & MFT_SEPARATOR ? L"-" : text, (item.fState & MFS_CHECKED) != 0,
                         (item.fType & MFT_RADIOCHECK) != 0});
    }
    return lines;
}

// The "选项" submenu after a separator at the end of the window's system menu, or null.
HMENU SystemOptionsMenu(HWND window) {
    const HMENU system = GetSystemMenu(window, FALSE);
    const std::vector<MenuLine> lines = MenuLines(system);
    if (lines.size() < 2 || lines.back().text != L"选项" || lines[lines.size() - 2].text != L"-")
        return nullptr;
    return GetSubMenu(system, GetMenuItemCount(system) - 1);
}

// Runs `show`, which shows a menu of this process, while a user reads the menu's items and
// presses `keys`; the items.
std::vector<MenuLine> UseMenu(const std::function<void()>& show, std::vector<WORD> keys) {
    std::vector<MenuLine> lines;
    std::thread user([&] {
        if (const HWND popup = WaitForTopLevelWindow(GetCurrentProcessId(), L"#32768")) {
            lines = MenuLines(reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)));
            for (const WORD key : keys)
                PressKeys({key});
        }
    });
    show();
    user.join();
    return lines;
}

int optionChanges = 0;

}  // namespace

// An option added to the table shows in both menus, marked as config.ini says; choosing it
// in either writes its own key at once, and a write that fails is told and changes nothing.
TEST_F(ApplicationTest, AnOptionShowsInBothMenusAndIsSavedAtOnce) {
    Load({L"a.txt"});
    ASSERT_TRUE(SetForegroundWindow(MainWindow()));
    const auto fileListMenu = [&](std::vector<WORD> keys) {
        return UseMenu([&] { OfferUndoMenu(*app_, RowOf(L"a.txt")); }, std::move(keys));
    };
    const auto systemOptions = [&] { return MenuLines(SystemOptionsMenu(MainWindow())); };
    // The program's own options: the orders of the file list (the reading order chosen), then
    // keeping both files on a taken name and moving on after a rule, off while config.ini
    // does not say otherwise.
    const std::vector<MenuLine> programOptions = {{L"按读取顺序排列", true, true},
                                                  {L"按文件名排列", false, true},
                                                  {L"按拍摄时间排列", false, true},
                                                  {L"倒序"},
                                                  {L"重名时保留两者"},
                                                  {L"处理后下一个"}};
    std::vector<MenuLine> programMenu = programOptions;
    programMenu.insert(programMenu.begin(), {{L"撤销"}, {L"-"}});
    EXPECT_EQ(programMenu, fileListMenu({VK_ESCAPE}));
    EXPECT_EQ(programOptions, systemOptions());

    const Option options[] = {
        {L"显示隐藏文件", "隐藏", OptionKind::kCheck, 1, 0, [](Application&) { ++optionChanges; }},
        {L"按名称排序", "排序", OptionKind::kRadio, 0, 0},
        {L"按时间排序", "排序", OptionKind::kRadio, 0, 1}};
    const auto lines = [](bool hidden, bool byTime) {
        return std::vector<MenuLine>{{L"显示隐藏文件", hidden},
                                     {L"按名称排序", !byTime, true},
                                     {L"按时间排序", byTime, true}};
    };
    const std::wstring path = *configHome_ / L"config.ini";
    const std::string before = Gbk(L"[快捷键配置]\nA=复制文件|D:\\a\n[设置]\n; 手写\n未知=x\n");
    ASSERT_TRUE(WriteFileBytes(path, before));
    UseOptionsForTesting(options);
    app_->settings.Load(path);  // as at the start
    ShowOptionsInSystemMenu(*app_);

    std::vector<MenuLine> expected = lines(true, false);
    expected.insert(expected.begin(), {{L"撤销"}, {L"-"}});
    // Down past "撤销", "显示隐藏文件" and "按名称排序" to "按时间排序".
    EXPECT_EQ(expected, fileListMenu({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}));
    EXPECT_EQ(before + Gbk(L"排序=1\r\n"), ReadFileBytes(path));
    EXPECT_EQ(lines(true, true), systemOptions());
    // In the system menu: up to "选项", into it, Enter on "显示隐藏文件".
    UseMenu([&] { SendMessageW(MainWindow(), WM_SYSCOMMAND, SC_KEYMENU, ' '); },
            {VK_UP, VK_RIGHT, VK_RETURN});
    ASSERT_TRUE(WaitUntil([&] { return optionChanges == 1; }));
    EXPECT_EQ(before + Gbk(L"排序=1\r\n隐藏=0\r\n"), ReadFileBytes(path));
    EXPECT_EQ(lines(false, true), systemOptions());
    // Back to a default: the key's line is rewritten, not taken out.
    SendMessageW(MainWindow(), WM_SYSCOMMAND, OptionCommand(1), 0);
    const std::string after = before + Gbk(L"排序=0\r\n隐藏=0\r\n");
    EXPECT_EQ(after, ReadFileBytes(path));

    // config.ini held open: a box says why, and the option, its mark and the file stay.
    std::vector<MessageBoxInfo> boxes;
    {
        const UniqueFile held(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        BoxAnswerer answerer([](const MessageBoxInfo&) { return IDOK; });
        SendMessageW(MainWindow(), WM_SYSCOMMAND, OptionCommand(0), 0);
        boxes = answerer.Boxes();
    }
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"信息", boxes[0].title);
    EXPECT_EQ(L"设置无法保存到 config.ini，选项未更改：\r\n" +
                  SystemMessage(ERROR_SHARING_VIOLATION) + L"（32）",
              boxes[0].text);
    EXPECT_EQ(lines(false, false), systemOptions());
    EXPECT_EQ(after, ReadFileBytes(path));
    EXPECT_EQ(1, optionChanges);

    UseOptionsForTesting({});
    DeleteFileW(path.c_str());
    app_->settings.Load(path);
    ShowOptionsInSystemMenu(*app_);
    EXPECT_EQ(programOptions, systemOptions());
}

// Another program replaces a moved file: its undo is refused, and while that move is the
// most recent operation, Ctrl+Z means it again, never the older copy; its row's "撤销"
// tries it again too.
TEST_F(ApplicationTest, AnUndoOfAReplacedFileIsRefusedAndStaysTheOneCtrlZRetries) {
    Load({L"old.txt", L"m.txt"});
    TempDirectory target;
    const int32_t old = RowOf(L"old.txt");
    const int32_t moved = RowOf(L"m.txt");
    QueueFileOperation(*app_, old, true, files_ / L"old.txt", target.Path(), L"old.txt");
    QueueFileOperation(*app_, moved, false, files_ / L"m.txt", target.Path(), L"m.txt");
    ASSERT_TRUE(Shows(old, L"复制成功") && Shows(moved, L"移动成功"));

    // Put aside, and replaced by a longer file, then by one of the same size but later.
    ASSERT_TRUE(MoveFileW((target / L"m.txt").c_str(), (target / L"aside").c_str()));
    for (const char* theirs : {"theirs, longer", "other"}) {
        WriteFileBytes(target / L"m.txt", theirs);
        ASSERT_TRUE(UndoMostRecent(*app_));
        EXPECT_EQ(L"等待中", ResultOf(moved)) << theirs;
        ASSERT_TRUE(Shows(moved, L"撤销失败")) << theirs;
        EXPECT_EQ(L"文件已被修改或替换", FailureReasonOfRow(app_->fileRows, moved));
        EXPECT_EQ(theirs, ReadFileBytes(target / L"m.txt"));
    }
    EXPECT_EQ(L"复制成功", ResultOf(old));

    // With the moved file itself back, the row's "撤销" moves it home.
    ASSERT_TRUE(MoveFileExW((target / L"aside").c_str(), (target / L"m.txt").c_str(),
                            MOVEFILE_REPLACE_EXISTING));
    UndoRow(*app_, moved);
    ASSERT_TRUE(Shows(moved, L"已撤销"));
    EXPECT_EQ("media", ReadFileBytes(files_ / L"m.txt"));
}

TEST_F(ApplicationTest, AWindowKeepsItsDpiLayoutUntilItIsDestroyed) {
    Window window;
    ASSERT_NE(nullptr, window.Show({}));
    const auto seen = std::make_shared<UINT>(0);
    FollowDpiChanges(window, [seen](UINT dpi) { *seen = dpi; });
    const RECT suggested = {10, 20, 160, 170};
    window.Send(WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(144u, *seen);

    DestroyWindow(window.Handle());
    EXPECT_EQ(1, seen.use_count()) << "the layout outlived its window";
}

namespace {

// The header click the list reports to its parent.
void ClickHeader(HWND mainWindow, ListViewControl& list, int32_t column) {
    NMLISTVIEW click{};
    click.hdr.hwndFrom = list.Handle();
    click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list.Handle()));
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(mainWindow, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

// Each header's arrow: 'u' up, 'd' down, '-' none.
std::string HeaderArrows(ListViewControl& list) {
    std::string arrows;
    const HWND header = list.GetHeader();
    for (int i = 0; i < list.GetColumnCount(); ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        arrows += (item.fmt & HDF_SORTUP) ? 'u' : (item.fmt & HDF_SORTDOWN) ? 'd' : '-';
    }
    return arrows;
}

std::vector<std::wstring> Column(ListViewControl& list, int32_t column) {
    std::vector<std::wstring> cells;
    for (int32_t row = 0; row < list.GetItemCount(); ++row)
        cells.emplace_back(list.GetItemText(row, column).WideView());
    return cells;
}

std::vector<std::wstring> NamesWhere(ListViewControl& list, UINT state) {
    std::vector<std::wstring> names;
    for (int32_t row = 0; row < list.GetItemCount(); ++row)
        if (list.Send(LVM_GETITEMSTATE, static_cast<WPARAM>(row), state) & state)
            names.emplace_back(list.GetItemText(row, kFileNameColumn).WideView());
    return names;
}

}  // namespace

TEST_F(ApplicationTest, HeaderClicksSortBothWaysWhileRowsKeepTheirNumbersAndTheSelection) {
    Load({L"IMG_10.jpg", L"img_2.jpg", L"IMG_1.jpg", L"b.txt"});
    ListViewControl& list = Controls().fileList;
    // Each file's number as the folder listed it.
    std::map<std::wstring, std::wstring> numbers;
    for (int32_t row = 0; row < list.GetItemCount(); ++row)
        numbers[std::wstring(list.GetItemText(row, kFileNameColumn).WideView())] =
            list.GetItemText(row, kFileIndexColumn).WideView();
    const std::vector<std::wstring> reading = Column(list, kFileNameColumn);
    const auto numbersKept = [&] {
        for (int32_t row = 0; row < list.GetItemCount(); ++row)
            if (numbers[std::wstring(list.GetItemText(row, kFileNameColumn).WideView())] !=
                list.GetItemText(row, kFileIndexColumn).WideView())
                return false;
        return true;
    };
    Select(L"b.txt");
    list.SelectItem(RowOf(L"img_2.jpg"));
    LVITEMW focus{};
    focus.state = focus.stateMask = LVIS_FOCUSED;
    list.Send(LVM_SETITEMSTATE, RowOf(L"img_2.jpg"), reinterpret_cast<LPARAM>(&focus));
    const auto selectionKept = [&] {
        const std::vector<std::wstring> selected = NamesWhere(list, LVIS_SELECTED);
        return std::set<std::wstring>(selected.begin(), selected.end()) ==
                   std::set<std::wstring>{L"b.txt", L"img_2.jpg"} &&
               NamesWhere(list, LVIS_FOCUSED) == std::vector<std::wstring>{L"img_2.jpg"};
    };
    ASSERT_TRUE(selectionKept());

    ClickHeader(MainWindow(), list, kFileNameColumn);
    const std::vector<std::wstring> byName = {L"b.txt", L"IMG_1.jpg", L"img_2.jpg", L"IMG_10.jpg"};
    EXPECT_EQ(byName, Column(list, kFileNameColumn));
    EXPECT_EQ("-u--", HeaderArrows(list));
    EXPECT_TRUE(numbersKept());
    EXPECT_TRUE(selectionKept());

    ClickHeader(MainWindow(), list, kFileNameColumn);
    EXPECT_EQ(std::vector<std::wstring>(byName.rbegin(), byName.rend()),
              Column(list, kFileNameColumn));
    EXPECT_EQ("-d--", HeaderArrows(list));
    EXPECT_TRUE(numbersKept());
    EXPECT_TRUE(selectionKept());
    const std::wstring config = *configHome_ / L"config.ini";
    EXPECT_NE(std::string::npos,
              ReadFileBytes(config).value_or("").find(Gbk(L"排序=文件名\r\n倒序=1\r\n")));

    // A rule acts on the files selected, wherever they moved.
    TempDirectory target;
    ApplyRuleToSelectedRows(*app_, NewRule("F9", RuleOperation::kCopy, Gbk(target.Path())));
    ASSERT_TRUE(
        WaitUntil([&] { return IsCopied(RowOf(L"b.txt")) && IsCopied(RowOf(L"img_2.jpg")); }));
    const std::vector<std::wstring> copied = FolderListing(target.Path());
    EXPECT_EQ((std::set<std::wstring>{L"b.txt", L"img_2.jpg"}),
              std::set<std::wstring>(copied.begin(), copied.end()));

    // "操作类型" and "结果": the rows acted on after the others, each group in reading order.
    std::vector<std::wstring> untouched;
    for (const std::wstring& name : reading)
        if (name != L"b.txt" && name != L"img_2.jpg")
            untouched.push_back(name);
    std::vector<std::wstring> grouped = untouched;
    for (const std::wstring& name : reading)
        if (name == L"b.txt" || name == L"img_2.jpg")
            grouped.push_back(name);
    ClickHeader(MainWindow(), list, kFileOperationColumn);
    EXPECT_EQ(grouped, Column(list, kFileNameColumn));
    EXPECT_EQ("--u-", HeaderArrows(list));
    ClickHeader(MainWindow(), list, kFileResultColumn);
    EXPECT_EQ(grouped, Column(list, kFileNameColumn));
    EXPECT_EQ("---u", HeaderArrows(list));
    ClickHeader(MainWindow(), list, kFileResultColumn);
    EXPECT_EQ(std::vector<std::wstring>(grouped.rbegin(), grouped.rend()),
              Column(list, kFileNameColumn));
    EXPECT_TRUE(numbersKept());
    EXPECT_TRUE(selectionKept());

    // "索引": back to the reading order, no arrow, and the reading order kept.
    ClickHeader(MainWindow(), list, kFileIndexColumn);
    EXPECT_EQ(reading, Column(list, kFileNameColumn));
    EXPECT_EQ("----", HeaderArrows(list));
    EXPECT_TRUE(selectionKept());
    EXPECT_NE(std::string::npos,
              ReadFileBytes(config).value_or("").find(Gbk(L"排序=读取顺序\r\n倒序=0\r\n")));
    ClickHeader(MainWindow(), list, kFileIndexColumn);
    EXPECT_EQ(std::vector<std::wstring>(reading.rbegin(), reading.rend()),
              Column(list, kFileNameColumn));
    EXPECT_EQ("d---", HeaderArrows(list));
    ClickHeader(MainWindow(), list, kFileIndexColumn);
    DeleteFileW(config.c_str());
}
