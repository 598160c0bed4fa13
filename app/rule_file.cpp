#include "app/rule_file.h"

#include <windows.h>

const char* const kRuleSection = "快捷键配置";

namespace {

constexpr DWORD kSectionBufferSize = 32767;

}  // namespace

RuleSectionEntries ReadRuleSection(const Text& path, const Text& section) {
    RuleSectionEntries entries;
    TextBlock buffer = NewBlock(kSectionBufferSize);
    auto* bytes = reinterpret_cast<char*>(buffer.MutableBytes());
    const DWORD length =
        GetPrivateProfileSectionA(section.c_str(), bytes, kSectionBufferSize, path.c_str());

    // Entries are separated by zero bytes; every piece counts, empty ones too, but
    // nothing after the last zero byte when nothing follows it.
    const TextBlock filled = BlockFromBytes(bytes, static_cast<int32_t>(length));
    const BlockArray pieces = SplitBlock(filled);
    for (int32_t i = 1; i <= pieces.Count(); ++i) {
        const TextBlock& piece = pieces.At(i);
        const Text line(reinterpret_cast<const char*>(piece.Bytes()), piece.ByteCount());
        const int32_t equals = FindInText(line.c_str(), "=");
        if (equals < 0) {
            entries.keys.Append(Text(""));
            entries.values.Append(line);
        } else {
            entries.keys.Append(LeftOfText(line.c_str(), equals - 1));
            entries.values.Append(Text(line.c_str() + equals));
        }
    }
    return entries;
}

HotkeyRule RuleFromEntry(const Text& key, const Text& value) {
    const TextArray pieces = SplitText(value.c_str(), "|");
    HotkeyRule rule{key, Text(""), Text("")};
    if (pieces.Count() >= 1)
        rule.operation = pieces.At(1);
    if (pieces.Count() >= 2)
        rule.target = pieces.At(2);
    return rule;
}

Text RuleValue(const Text& operation, const Text& target) {
    return JoinTexts({operation.c_str(), "|", target.c_str()});
}
