// The orders of the file list in the real program: header clicks with their arrows, the
// capture-time order read from the photos, a rule's key that acts on the file selected while
// the rows move, and the order kept across a restart.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include "tests/support/config_file.h"
#include "tests/support/folder_session.h"
#include "tests/support/image_files.h"
#include "tests/support/input.h"
#include "tests/support/key_strokes.h"
#include "tests/support/row_presses.h"
#include "tests/support/sorting_files.h"
#include "tests/support/wait.h"
#include "tests/support/zemo_app.h"

namespace {

// Each header's arrow: 'u' up, 'd' down, '-' none.
std::string Arrows(RemoteListView& list) {
    std::string arrows;
    for (int column = 0; column < 4; ++column) {
        const int format = list.HeaderFormat(column);
        arrows += (format & HDF_SORTUP) ? 'u' : (format & HDF_SORTDOWN) ? 'd' : '-';
    }
    return arrows;
}

std::vector<std::wstring> Reversed(std::vector<std::wstring> names) {
    return {names.rbegin(), names.rend()};
}

// A local wall-clock time as the file time (UTC) a file system keeps.
FILETIME LocalFileTime(WORD year, WORD month, WORD day, WORD hour) {
    SYSTEMTIME local{year, month, 0, day, hour, 0, 0, 0};
    SYSTEMTIME universal{};
    TzSpecificLocalTimeToSystemTime(nullptr, &local, &universal);
    FILETIME time{};
    SystemTimeToFileTime(&universal, &time);
    return time;
}

bool SetWriteTime(const std::wstring& path, const FILETIME& time) {
    const HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool set = SetFileTime(file, nullptr, nullptr, &time) != FALSE;
    CloseHandle(file);
    return set;
}

class RowOrderTest : public FolderSessionTest {
  protected:
    // The files not written already are written with one byte.
    void StartWith(std::string config, const std::vector<std::wstring>& names) {
        for (const std::wstring& name : names)
            if (!FileExists(source_ / name))
                WriteFileBytes(source_ / name, "x");
        StartOn(std::move(config), {}, static_cast<int>(names.size()));
    }
    RemoteListView& List() { return app_->FileList(); }
    std::vector<std::wstring> Names() { return List().Column(1); }
    ::testing::AssertionResult NamesAre(const std::vector<std::wstring>& names) {
        if (WaitUntil([&] { return Names() == names; }))
            return ::testing::AssertionSuccess();
        auto failure = ::testing::AssertionFailure() << "the list shows";
        for (const std::wstring& name : Names())
            failure << " " << ::testing::PrintToString(name);
        return failure;
    }
    // A click on a header, each a little off the one before so that two clicks never make
    // a double click (which the header reports as one).
    void ClickHeader(int column) {
        ASSERT_TRUE(BringToForeground(app_->MainWindow()));
        POINT point = List().HeaderCentreOnScreen(column);
        point.x += (clicks_++ % 2) ? 2 * GetSystemMetrics(SM_CXDOUBLECLK) : 0;
        LeftClickAt(point);
    }
    int clicks_ = 0;
};

}  // namespace

TEST_F(RowOrderTest, CaptureTimesOrderPhotosByTheirExifTimeAndOtherFilesByTheirWriteTime) {
    // EXIF times run opposite to the photos' write times; the files without EXIF fall
    // between them by their write time.
    std::string jpeg;
    {
        TempDirectory scratch;
        ASSERT_TRUE(
            WriteSolidImage(scratch / L"s.jpg", GUID_ContainerFormatJpeg, 8, 8, RGB(9, 9, 9)));
        jpeg = ReadFileBytes(scratch / L"s.jpg").value_or("");
    }
    ASSERT_FALSE(jpeg.empty());
    const struct {
        const wchar_t* name;
        const char* exif;  // none: the write time counts
        WORD writeHour;
    } files[] = {
        {L"p1.jpg", "2020:01:01 14:00:00", 1}, {L"p2.jpg", "2020:01:01 12:00:00", 2},
        {L"p3.jpg", "2020:01:01 10:00:00", 3}, {L"none1.txt", nullptr, 11},
        {L"none2.png", nullptr, 13},           {L"plain.jpg", nullptr, 9},
    };
    std::vector<std::wstring> names;
    for (const auto& file : files) {
        const std::wstring path = source_ / file.name;
        ASSERT_TRUE(WriteFileBytes(path, file.exif ? WithExifCaptureTime(jpeg, file.exif) : jpeg));
        ASSERT_TRUE(SetWriteTime(path, LocalFileTime(2020, 1, file.exif ? 2 : 1, file.writeHour)));
        names.push_back(file.name);
    }
    const std::vector<std::wstring> byTime = {L"plain.jpg", L"p3.jpg",    L"none1.txt",
                                              L"p2.jpg",    L"none2.png", L"p1.jpg"};
    StartWith(SettingsConfig(L"排序=拍摄时间\r\n"), names);
    ASSERT_TRUE(NamesAre(byTime));
    EXPECT_EQ("----", Arrows(List()));
}

TEST_F(RowOrderTest, ARuleKeyPressedWhileTheRowsMoveActsOnTheFilesSelected) {
    std::vector<std::wstring> names;
    for (int i = 40; i > 0; --i)
        names.push_back(L"f" + std::to_wstring(i) + L".txt");
    StartWith(RuleConfig({KeyNameOf('C') + L"=复制文件|" + target_.Path()}), names);
    for (const std::wstring& name : {std::wstring(L"f7.txt"), std::wstring(L"f31.txt")}) {
        ASSERT_TRUE(app_->ClickFileRow(RowOf(name)));
        // The header's click moves the rows; the key comes right behind it.
        LeftClickAt(List().HeaderCentreOnScreen(1));
        SendBurst({StrokeOf('C')});
        ASSERT_TRUE(WaitUntil([&] { return FileExists(target_ / name); }));
        ASSERT_TRUE(RowResultIs(*app_, RowOf(name), L"复制成功"));
    }
    const std::vector<std::wstring> copied = FolderListing(target_.Path());
    EXPECT_EQ((std::set<std::wstring>{L"f7.txt", L"f31.txt"}),
              std::set<std::wstring>(copied.begin(), copied.end()));
}

// Real clicks on a header reach the list and show their arrows; what each order holds, with
// the rows' numbers, results and selection, is the application test's.
TEST_F(RowOrderTest, TheOrderChosenByHeaderClicksIsRememberedAcrossARestart) {
    const std::vector<std::wstring> byName = {L"x2.txt", L"x9.txt", L"x10.txt", L"y.txt"};
    StartWith("", byName);
    EXPECT_EQ("----", Arrows(List()));
    ClickHeader(1);
    ASSERT_TRUE(NamesAre(byName));
    EXPECT_EQ("-u--", Arrows(List()));
    ClickHeader(1);
    ASSERT_TRUE(NamesAre(Reversed(byName)));
    EXPECT_EQ("-d--", Arrows(List()));
    ASSERT_TRUE(app_->Close().has_value());
    EXPECT_NE(std::string::npos, ReadFileBytes(app_->ConfigPath())
                                     .value_or("")
                                     .find(Gbk(L"[设置]\r\n排序=文件名\r\n倒序=1\r\n")));
    // The same copy of the program again, with the config.ini it wrote.
    ASSERT_TRUE(app_->Start());
    EXPECT_EQ("-d--", Arrows(List()));

    ASSERT_TRUE(app_->LoadDirectory(source_.Path(), static_cast<int>(byName.size())));
    ASSERT_TRUE(NamesAre(Reversed(byName)));
}
