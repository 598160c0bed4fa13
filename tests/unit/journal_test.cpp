// The journal's lines: CSV that a spreadsheet reads back field for field, whatever the
// paths hold, appended to a UTF-8 file that starts with a byte order mark.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/operations/journal.h"
#include "app/base/unique_file.h"
#include "tests/support/process.h"
#include "tests/support/sorting_files.h"

namespace {

JournalEntry Entry(std::wstring source, std::wstring reason = L"") {
    JournalEntry entry;
    entry.localTime = {2026, 12, 2, 1, 7, 9, 5, 0};  // Tuesday 1 December, 07:09:05
    entry.operation = L"复制文件";
    entry.source = std::move(source);
    entry.destination = L"D:\\目标\\x";
    entry.result = reason.empty() ? L"复制成功" : L"复制失败";
    entry.reason = std::move(reason);
    return entry;
}

// The local time as a side file's name writes it.
std::wstring Stamp() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[32];
    swprintf(text, 32, L"%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute, now.wSecond);
    return text;
}

// Names beside the journal other than its own.
std::vector<std::wstring> SideFiles(const TempDirectory& home) {
    std::vector<std::wstring> names;
    for (const std::wstring& name : FolderListing(home.Path()))
        if (name != kJournalFileName)
            names.push_back(name);
    return names;
}

// Source paths of a journal's (or side file's) records.
std::vector<std::wstring> Sources(const std::wstring& path) {
    std::vector<std::wstring> sources;
    for (const auto& record : JournalRecords(path))
        sources.push_back(record.size() > 2 ? record[2] : L"?");
    return sources;
}

// The file opened as a spreadsheet opens it: nobody else may write it meanwhile.
UniqueFile Hold(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    return UniqueFile(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

}  // namespace

TEST(JournalLineTest, EveryFieldReadsBackExactlyWhateverItHoldsAnyCodePage) {
    for (const std::wstring path :
         {L"C:\\plain\\a.txt", L"C:\\a, b\\\"quoted\".txt", L"C:\\line\r\nbreak.txt",
          L" C:\\spaced ", L"C:\\caf\u00e9 \ud55c\uad6d \U0001F600.mp3"}) {
        const JournalEntry entry = Entry(path, L"文件已存在, \"名字\"。");
        const std::string line = JournalLine(entry);
        ASSERT_GE(line.size(), 2u);
        EXPECT_EQ("\r\n", line.substr(line.size() - 2));
        EXPECT_EQ(
            (std::vector<std::wstring>{L"2026-12-01T07:09:05", L"复制文件", path, L"D:\\目标\\x",
                                       L"复制失败", L"文件已存在, \"名字\"。"}),
            ParseJournalLine(line));
    }
    // Plain fields stay unquoted, so the file is easy to read.
    EXPECT_EQ(reinterpret_cast<const char*>(
                  u8"2026-12-01T07:09:05,复制文件,C:\\a,D:\\目标\\x,复制成功,\r\n"),
              JournalLine(Entry(L"C:\\a")));
}

TEST(JournalTest, LinesAreAppendedAfterOneMarkAndHeaderOrTheSystemsErrorIsReported) {
    TempDirectory home;
    Journal journal(home / kJournalFileName);
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), journal.Append(Entry(L"C:\\one")).error);
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              journal.Append(Entry(L"C:\\t\nwo", L"失败")).error);

    const std::string bytes = ReadFileBytes(home / L"操作记录.csv").value_or("");
    ASSERT_EQ("\xEF\xBB\xBF", bytes.substr(0, 3));
    EXPECT_EQ(JournalHeader(), bytes.substr(0, JournalHeader().size()));
    EXPECT_EQ(
        (std::vector<std::wstring>{L"时间", L"操作", L"源路径", L"目标路径", L"结果", L"原因"}),
        ParseJournalLine(JournalHeader().substr(3)));
    const auto records = JournalRecords(home / L"操作记录.csv");
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(L"C:\\one", records[0][2]);
    EXPECT_EQ(L"C:\\t\nwo", records[1][2]);
    EXPECT_EQ(L"失败", records[1][5]);

    // A file that cannot be written reports the system's error.
    Journal missingFolder(home / L"missing\\操作记录.csv");
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND),
              missingFolder.Append(Entry(L"C:\\a")).error);
    CreateDirectoryW((home / L"folder.csv").c_str(), nullptr);
    Journal aFolder(home / L"folder.csv");
    EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), aFolder.Append(Entry(L"C:\\a")).error);
}

// A spreadsheet holding the journal: each refused line is at once in a side file (so a
// process killed meanwhile loses none) and in memory, and reaches the journal in order
// with the next line it takes, the side file then going. One warning per refusing spell.
TEST(JournalTest, LinesRefusedWhileTheJournalIsHeldGoToASideFileAndLaterToTheJournalInOrder) {
    TempDirectory home;
    const std::wstring path = home / kJournalFileName;
    Journal journal(path);
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), journal.Append(Entry(L"1")).error);
    for (const std::wstring spell : {L"2", L"5"}) {
        UniqueFile held = Hold(path);
        ASSERT_TRUE(held);
        const std::wstring before = Stamp();
        const JournalWrite first = journal.Append(Entry(spell));
        const std::wstring after = Stamp();
        EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), first.error);
        EXPECT_TRUE(first.warn);
        EXPECT_FALSE(journal.Append(Entry(spell + L"b")).warn);

        const std::vector<std::wstring> sideFiles = SideFiles(home);
        ASSERT_EQ(1u, sideFiles.size());
        const std::wstring& name = sideFiles[0];
        EXPECT_EQ(L"操作记录-" + name.substr(5, 15) + L".csv", name);
        EXPECT_GE(name.substr(5, 15), before);
        EXPECT_LE(name.substr(5, 15), after);
        EXPECT_EQ((std::vector<std::wstring>{spell, spell + L"b"}), Sources(home / name));

        held.Reset();
        EXPECT_FALSE(journal.Append(Entry(spell + L"c")).warn);
        EXPECT_TRUE(SideFiles(home).empty());
    }
    EXPECT_EQ((std::vector<std::wstring>{L"1", L"2", L"2b", L"2c", L"5", L"5b", L"5c"}),
              Sources(path));
}

// More refused lines than memory keeps: that side file stays, holding them all, and the
// next refusals, even within the same second, go to a side file of their own.
TEST(JournalTest, ASideFileHoldingLinesMemoryCouldNotKeepStays) {
    TempDirectory home;
    const std::wstring path = home / kJournalFileName;
    Journal journal(path, 2);
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), journal.Append(Entry(L"0")).error);
    for (const std::vector<std::wstring>& spell :
         {std::vector<std::wstring>{L"1", L"2", L"3"}, {L"5", L"6"}}) {
        {
            const UniqueFile held = Hold(path);
            ASSERT_TRUE(held);
            for (const std::wstring& source : spell)
                journal.Append(Entry(source));
        }
        journal.Append(Entry(spell.front() + L"+"));
    }
    EXPECT_EQ((std::vector<std::wstring>{L"0", L"1", L"2", L"1+", L"5", L"6", L"5+"}),
              Sources(path));
    const std::vector<std::wstring> sideFiles = SideFiles(home);
    ASSERT_EQ(1u, sideFiles.size());
    EXPECT_EQ((std::vector<std::wstring>{L"1", L"2", L"3"}), Sources(home / sideFiles[0]));
}
