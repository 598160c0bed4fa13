// One hotkey rule, parsed once when config.ini is read. Everything that needs a rule's key,
// operation or target takes it from here; the rule list only shows rules.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/rules/rule_file.h"

struct Rule {
    // The key name as stored (code page 936): the rule fires for a press whose key name
    // equals it byte for byte, so a name no key has never fires.
    std::string key;
    RuleOperation operation = RuleOperation::kInvalid;
    // The operation as the file holds it (code page 936): the list shows it, and an
    // invalid operation's box names it.
    std::string operationText;
    // The whole target directory as the file holds it (code page 936); the list's cell may
    // show it cut.
    std::string target;
    // The file's line, untrimmed, without its line break: a delete takes out the line equal
    // to it byte for byte, and a new rule writes it.
    std::string line;

    friend bool operator==(const Rule&, const Rule&) = default;
};

// A rule from one entry: the value is split at "|"; the first piece is the operation, the
// second the target directory, further pieces are ignored and missing ones are empty.
Rule RuleFromEntry(const RuleSectionEntry& entry);
// The target directory as a path.
std::wstring TargetPath(const Rule& rule);

// The rules of config.ini's bytes, in file order.
std::vector<Rule> ReadRules(std::string_view file);

// A rule to add, with the line it is stored as: key "=" operation "|" target, code page
// 936. Its texts must have passed CheckRuleTexts.
Rule NewRule(std::string_view key, RuleOperation operation, std::string_view target);

// The first rule whose key equals `keyName` byte for byte, or null; a press that has no
// name (empty) matches no rule, not even one stored without a key.
const Rule* FindRule(const std::vector<Rule>& rules, std::string_view keyName);
