// The journal's line for each ended operation, and where the journal lies.
#include <gtest/gtest.h>

#include "app/operations/operation_journal.h"

namespace {

// Each line's fields, undos' included, are checked in the program's own journal; its time
// is not, being the clock's.
TEST(OperationJournalTest, TheLineCarriesTheTimeItIsGiven) {
    const SYSTEMTIME time = {2026, 12, 1, 7, 14, 5, 9, 0};
    EXPECT_EQ(14, JournalEntryOf(FinishedOperation{}, time).localTime.wHour);
}

TEST(OperationJournalTest, JournalLiesBesideConfigIni) {
    EXPECT_EQ(L"C:\\程序\\操作记录.csv", JournalPath(L"C:\\程序\\config.ini"));
    EXPECT_EQ(L".\\操作记录.csv", JournalPath(L"config.ini"));
}

}  // namespace
