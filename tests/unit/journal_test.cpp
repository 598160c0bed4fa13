// The journal's lines: CSV that a spreadsheet reads back field for field, whatever the
// paths hold, appended to a UTF-8 file that starts with a byte order mark.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/journal.h"
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
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), journal.Append(Entry(L"C:\\one")));
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), journal.Append(Entry(L"C:\\t\nwo", L"失败")));

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
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), missingFolder.Append(Entry(L"C:\\a")));
    CreateDirectoryW((home / L"folder.csv").c_str(), nullptr);
    Journal aFolder(home / L"folder.csv");
    EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), aFolder.Append(Entry(L"C:\\a")));
}
