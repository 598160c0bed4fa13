#include "app/rules/rule.h"

#include "runtime/text.h"

Rule RuleFromEntry(const RuleSectionEntry& entry) {
    const Text value(entry.value);
    const TextArray pieces = SplitText(value.c_str(), "|");
    Rule rule;
    rule.key = entry.key;
    if (pieces.Count() >= 1)
        rule.operationText = pieces.At(1).View();
    if (pieces.Count() >= 2)
        rule.target = pieces.At(2).View();
    rule.operation = OperationOf(rule.operationText);
    rule.line = entry.line;
    return rule;
}

std::vector<Rule> ReadRules(std::string_view file) {
    std::vector<Rule> rules;
    for (const RuleSectionEntry& entry : ParseRuleSection(file).entries)
        rules.push_back(RuleFromEntry(entry));
    return rules;
}

std::wstring TargetPath(const Rule& rule) {
    return std::wstring(ToUtf16(Text(rule.target)).WideView());
}

Rule NewRule(std::string_view key, RuleOperation operation, std::string_view target) {
    Rule rule;
    rule.key = key;
    rule.operation = operation;
    rule.operationText = OperationText(operation);
    rule.target = target;
    rule.line = rule.key + "=" + rule.operationText + "|" + rule.target;
    return rule;
}

const Rule* FindRule(const std::vector<Rule>& rules, std::string_view keyName) {
    if (keyName.empty())
        return nullptr;
    for (const Rule& rule : rules)
        if (rule.key == keyName)
            return &rule;
    return nullptr;
}
