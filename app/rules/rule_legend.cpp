#include "app/rules/rule_legend.h"

#include "app/rules/rule_file.h"
#include "runtime/text.h"

namespace {

std::wstring Wide(const std::string& bytes) {
    const TextBlock text = ToUtf16(Text(bytes.c_str()));
    return std::wstring(text.WideView());
}

// The folder's own name: what follows the last separator, trailing ones dropped.
std::wstring LastPart(std::wstring folder) {
    while (folder.size() > 1 && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    const size_t separator = folder.find_last_of(L"\\/");
    return separator == std::wstring::npos ? folder : folder.substr(separator + 1);
}

std::wstring OperationName(const Rule& rule) {
    switch (rule.operation) {
        case RuleOperation::kCopy:
            return L"复制";
        case RuleOperation::kMove:
            return L"移动";
        case RuleOperation::kInvalid:
            break;
    }
    return Wide(rule.operationText);
}

}  // namespace

std::wstring LegendEntry(const Rule& rule) {
    return Wide(rule.key) + L" → " + LastPart(Wide(rule.target)) + L" (" + OperationName(rule) +
           L")";
}

std::vector<std::wstring> LegendEntries(const std::vector<Rule>& rules) {
    std::vector<std::wstring> entries;
    entries.reserve(rules.size());
    for (const Rule& rule : rules)
        entries.push_back(LegendEntry(rule));
    return entries;
}
