#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/order/capture_times.h"
#include "app/order/row_order.h"

namespace {

FileRows RowsNamed(std::initializer_list<const wchar_t*> names) {
    FileRows rows;
    rows.Reset(L"C:\\d");
    for (const wchar_t* name : names)
        rows.Append(name);
    return rows;
}

std::vector<std::wstring> NamesIn(const FileRows& rows, const std::vector<int32_t>& order) {
    std::vector<std::wstring> names;
    for (const int32_t row : order)
        names.emplace_back(rows.Name(row));
    return names;
}

}  // namespace

TEST(RowOrder, ResultsAndOperationsGoInTheirGroupsEachInReadingOrder) {
    FileRows rows = RowsNamed({L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8"});
    const RowResult results[] = {
        RowResult::kCancelled,  RowResult::kMoved,   RowResult::kNone,
        RowResult::kUndone,     RowResult::kPending, RowResult::kCopyFailed,
        RowResult::kInProgress, RowResult::kCopied,  RowResult::kNone};
    for (int32_t row = 0; row < 9; ++row)
        rows.SetResult(row, results[row]);
    rows.SetOperation(0, RowOperation::kMove);
    rows.SetOperation(3, RowOperation::kCopy);
    rows.SetOperation(5, RowOperation::kCopy);
    const SortFacts none;
    EXPECT_EQ((std::vector<int32_t>{2, 8, 4, 6, 1, 7, 5, 3, 0}),
              SortedRows(rows, {SortColumn::kResult, false}, none));
    EXPECT_EQ((std::vector<int32_t>{0, 3, 5, 7, 1, 6, 4, 8, 2}),
              SortedRows(rows, {SortColumn::kResult, true}, none));
    EXPECT_EQ((std::vector<int32_t>{1, 2, 4, 6, 7, 8, 3, 5, 0}),
              SortedRows(rows, {SortColumn::kOperation, false}, none));
    EXPECT_EQ((std::vector<int32_t>{8, 7, 6, 5, 4, 3, 2, 1, 0}),
              SortedRows(rows, {SortColumn::kReading, true}, none));
}

TEST(RowOrder, CaptureTimesTieBySubSecondsThenByName) {
    FileRows rows = RowsNamed({L"c10.jpg", L"c9.jpg", L"b.jpg", L"a.jpg", L"late.png"});
    const std::vector<CaptureTime> times = {{20240101120000, 0},
                                            {20240101120000, 0},
                                            {20240101120000, 500'000'000},
                                            {20240101120000, 50'000'000},
                                            {20240102000000, 0}};
    const SortFacts facts{&times};
    EXPECT_EQ((std::vector<std::wstring>{L"c9.jpg", L"c10.jpg", L"a.jpg", L"b.jpg", L"late.png"}),
              NamesIn(rows, SortedRows(rows, {SortColumn::kCaptureTime, false}, facts)));
    EXPECT_EQ((std::vector<std::wstring>{L"late.png", L"b.jpg", L"a.jpg", L"c10.jpg", L"c9.jpg"}),
              NamesIn(rows, SortedRows(rows, {SortColumn::kCaptureTime, true}, facts)));
}

TEST(RowOrder, RowsListedLaterGoIntoPlaceInTheOrderShown) {
    FileRows rows = RowsNamed({L"f3", L"f10", L"f1"});
    const SortOrder descending{SortColumn::kName, true};
    const std::vector<int32_t> shown = SortedRows(rows, descending, {});
    rows.Append(L"f2");
    rows.Append(L"f11");
    rows.Append(L"f0");
    EXPECT_EQ((std::vector<std::wstring>{L"f11", L"f10", L"f3", L"f2", L"f1", L"f0"}),
              NamesIn(rows, WithRowsInPlace(rows, descending, {}, shown, {3, 4, 5})));
}

TEST(RowOrder, TheDisplayOrderMapsPositionsToRowsAndBack) {
    FileRows rows = RowsNamed({L"b", L"a", L"c"});
    rows.SetDisplayOrder({2, 0, 1});
    EXPECT_EQ(2, rows.RowAt(0));
    EXPECT_EQ(1, rows.PositionOf(0));
    EXPECT_EQ(0, rows.PositionOf(2));
    EXPECT_EQ(2, RowAtPosition(rows, 0));
    EXPECT_EQ(FileRows::kNoIndex, RowAtPosition(rows, 3));
    // A cell shows the row at that position, with the row's own number.
    wchar_t cell[8];
    rows.CellText(0, 0, cell, 8);
    EXPECT_STREQ(L"03", cell);
    rows.CellText(0, 1, cell, 8);
    EXPECT_STREQ(L"c", cell);
    EXPECT_EQ(1, rows.FindIndexText(L"01", false, 0, false));
    EXPECT_EQ(3, rows.Append(L"d"));  // shown last
    EXPECT_EQ(3, rows.PositionOf(3));
}

TEST(CaptureTimes, ExifTimesAreReadAsWrittenWithTheirSubSeconds) {
    const auto parsed = [](const char* time, const char* sub = "") {
        return ParseExifCaptureTime(time, sub);
    };
    EXPECT_EQ((CaptureTime{20231231235958, 0}), parsed("2023:12:31 23:59:58"));
    EXPECT_EQ((CaptureTime{20231231235958, 500'000'000}), parsed("2023:12:31 23:59:58", "5"));
    EXPECT_EQ((CaptureTime{20231231235958, 50'000'000}), parsed("2023:12:31 23:59:58", "05"));
    EXPECT_EQ((CaptureTime{20231231235958, 123'456'789}),
              parsed("2023:12:31 23:59:58", "1234567891"));
    EXPECT_EQ((CaptureTime{20231231235958, 120'000'000}), parsed("2023:12:31 23:59:58", "12 "));
    EXPECT_EQ(std::nullopt, parsed("0000:00:00 00:00:00"));
    EXPECT_EQ(std::nullopt, parsed("2023:12:31 23:59"));
    EXPECT_EQ(std::nullopt, parsed("2023:12:31 23:5x:00"));
    EXPECT_EQ(std::nullopt, parsed("    :  :     :  :  "));
}

// Write times against EXIF times, in local time, are ordered in the program; here what that
// leaves: a write time's fraction of a second, and which names may hold an EXIF time.
TEST(CaptureTimes, AWriteTimeKeepsItsSubSecondsAndOnlyPhotoNamesAreReadForMetadata) {
    SYSTEMTIME universal{2024, 7, 0, 15, 10, 30, 45, 250};
    FILETIME utc{};
    ASSERT_TRUE(SystemTimeToFileTime(&universal, &utc));
    EXPECT_EQ(250'000'000u, LocalCaptureTime(utc).nanoseconds);
    EXPECT_TRUE(HasCaptureTimeMetadata(L"a.JPG"));
    EXPECT_TRUE(HasCaptureTimeMetadata(L"x.y.nef"));
    EXPECT_FALSE(HasCaptureTimeMetadata(L"a.png"));
    EXPECT_FALSE(HasCaptureTimeMetadata(L"jpg"));
}
