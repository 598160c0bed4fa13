// The key legend: each rule's entry, and how the entries fill columns in the room there is.
#include <gtest/gtest.h>

#include "app/preview/key_legend.h"
#include "app/rules/rule_file.h"
#include "app/rules/rule_legend.h"

TEST(KeyLegend, AnEntryIsTheKeyTheTargetFoldersOwnNameAndTheOperation) {
    EXPECT_EQ(L"1 → 精选 (复制)",
              LegendEntry(NewRule("1", RuleOperation::kCopy, "D:\\照片\\精选")));
    EXPECT_EQ(L"Ctrl + S → 存档 (移动)",
              LegendEntry(NewRule("Ctrl + S", RuleOperation::kMove, "E:\\存档\\")));
    EXPECT_EQ(L"F5 → E: (移动)", LegendEntry(NewRule("F5", RuleOperation::kMove, "E:")));
}

TEST(KeyLegend, EntriesFillColumnsAndTheLastPlaceCountsTheRulesThatDoNotFit) {
    // 10 rows of 20 px, 3 columns of 100 px.
    EXPECT_EQ((LegendGrid{4, 1, 4, 0}), ArrangeLegend(4, 20, 100, 300, 200));
    EXPECT_EQ((LegendGrid{10, 2, 15, 0}), ArrangeLegend(15, 20, 100, 300, 200));
    EXPECT_EQ((LegendGrid{10, 3, 30, 0}), ArrangeLegend(30, 20, 100, 300, 200));
    EXPECT_EQ((LegendGrid{10, 3, 29, 2}), ArrangeLegend(31, 20, 100, 300, 200));
    EXPECT_EQ((LegendGrid{10, 3, 29, 671}), ArrangeLegend(700, 20, 100, 300, 200));
    // No room at all still shows where the rules are: one place, counting them all.
    EXPECT_EQ((LegendGrid{1, 1, 0, 700}), ArrangeLegend(700, 20, 100, 50, 5));
    EXPECT_EQ(LegendGrid{}, ArrangeLegend(0, 20, 100, 300, 200));
    EXPECT_EQ(L"…还有 671 条规则", MoreRulesText(671));
}
