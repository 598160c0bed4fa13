// The rule model: what a rule read from config.ini holds, which rule a key press fires, and
// how a new rule is stored.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/rules/rule.h"
#include "app/rules/rule_file.h"

namespace {

const std::string kHeader = std::string("[") + kRuleSection + "]\r\n";

}  // namespace

TEST(RuleModel, ARuleKeepsItsLineUntouchedItsWholeTargetAndAnInvalidOperationsText) {
    const std::string longTarget = "D:\\" + std::string(300, 'd');
    const std::string file = kHeader + "  B = 移动文件|D:\\b  \r\n" + "C=复制文件 |" + longTarget +
                             "\r\nY=移动|D:\\y\r\nK=复制文件|D:\\亅x\r\n";
    const std::vector<Rule> rules = ReadRules(file);
    ASSERT_EQ(4u, rules.size());
    EXPECT_EQ("B", rules[0].key);
    EXPECT_EQ(RuleOperation::kMove, rules[0].operation);
    EXPECT_EQ("D:\\b", rules[0].target);
    EXPECT_EQ("  B = 移动文件|D:\\b  ", rules[0].line);
    // The list shows the operation as written; it counts as the reader trims it.
    EXPECT_EQ(RuleOperation::kCopy, rules[1].operation);
    EXPECT_EQ("复制文件 ", rules[1].operationText);
    EXPECT_EQ(longTarget, rules[1].target);
    EXPECT_EQ(RuleOperation::kInvalid, rules[2].operation);
    EXPECT_EQ("移动", rules[2].operationText);
    // "亅" is 81 7C: a path keeps it whole.
    EXPECT_EQ(L"D:\\亅x", TargetPath(rules[3]));
}

TEST(RuleModel, APressFiresTheFirstRuleWhoseKeyIsItsNameByteForByte) {
    const std::vector<Rule> rules =
        ReadRules(kHeader +
                  "g=移动文件|D:\\lower\r\nG=复制文件|D:\\first\r\nG=移动文件|D:\\second\r\n"
                  "noequals\r\n=复制文件|D:\\nokey\r\n");
    ASSERT_EQ(5u, rules.size());
    EXPECT_EQ(&rules[1], FindRule(rules, "G"));
    EXPECT_EQ(&rules[0], FindRule(rules, "g"));
    // A press without a name fires nothing, not even the rules stored without a key.
    EXPECT_EQ(nullptr, FindRule(rules, ""));
    for (const char* name : {"Ctrl+G", "G ", "noequals", "F5"})
        EXPECT_EQ(nullptr, FindRule(rules, name)) << name;
    EXPECT_EQ(nullptr, FindRule({}, "G"));
}

TEST(RuleModel, ANewRuleIsStoredAsALineThatReadsBackAsTheSameRule) {
    for (const RuleOperation operation : {RuleOperation::kCopy, RuleOperation::kMove}) {
        const Rule added = NewRule("Ctrl+G", operation, "D:\\照片\\二");
        EXPECT_EQ(std::string("Ctrl+G=") + OperationText(operation) + "|D:\\照片\\二", added.line);
        const std::vector<Rule> read = ReadRules(WithRuleAdded("", added.line));
        ASSERT_EQ(1u, read.size());
        EXPECT_EQ(added, read[0]);
    }
}
