#include "app/rules/settings.h"

#include <charconv>

#include "app/rules/rule_file.h"

const char* const kSettingsSection = "设置";

namespace {

constexpr UINT kCodePage = 936;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n' || c == 0x1A;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::wstring Widened(std::string_view text) {
    std::wstring wide(text.size(), L'\0');
    const int length =
        text.empty() ? 0
                     : MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()),
                                           wide.data(), static_cast<int>(wide.size()));
    wide.resize(static_cast<size_t>(length));
    return wide;
}

// Keys compare as the profile functions compare them: as UTF-16, without case, so a trail
// byte that happens to be a letter is never folded on its own.
bool SameKey(std::string_view a, std::string_view b) {
    const std::wstring wideA = Widened(a);
    const std::wstring wideB = Widened(b);
    return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

// The section as the reader reads one line of it: its entry, if the line is one.
std::optional<RuleSectionEntry> EntryOfLine(std::string_view line) {
    std::string file = "[s]\r\n";
    file.append(line);
    RuleSection section = ParseRuleSection(file, "s");
    if (section.entries.empty())
        return std::nullopt;
    return std::move(section.entries.front());
}

// Where the value of an entry line starts: after its first "=" and the blanks after it. A
// two-byte character is never taken for "=".
size_t ValueStart(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && line[i] != '=') {
        const auto byte = static_cast<unsigned char>(line[i]);
        i += byte >= 0x81 && byte <= 0xFE && i + 1 < line.size() && line[i + 1] != '\0' ? 2 : 1;
    }
    if (i < line.size())
        ++i;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    return i;
}

bool ParseInt(std::string_view text, int32_t& value) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int32_t parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return false;
    value = parsed;
    return true;
}

}  // namespace

std::string FormatSetting(bool value) {
    return value ? "1" : "0";
}

std::string FormatSetting(int32_t value) {
    return std::to_string(value);
}

std::string FormatSetting(const std::wstring& value) {
    if (value.empty())
        return {};
    const int size = WideCharToMultiByte(kCodePage, 0, value.data(), static_cast<int>(value.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(kCodePage, 0, value.data(), static_cast<int>(value.size()), text.data(),
                        size, nullptr, nullptr);
    return text;
}

std::string FormatSetting(const RECT& value) {
    return std::to_string(value.left) + "," + std::to_string(value.top) + "," +
           std::to_string(value.right) + "," + std::to_string(value.bottom);
}

bool ParseSetting(std::string_view text, bool& value) {
    int32_t number = 0;
    if (!ParseInt(text, number))
        return false;
    value = number != 0;
    return true;
}

bool ParseSetting(std::string_view text, int32_t& value) {
    return ParseInt(text, value);
}

bool ParseSetting(std::string_view text, std::wstring& value) {
    value = Widened(text);
    return true;
}

bool ParseSetting(std::string_view text, RECT& value) {
    int32_t numbers[4] = {};
    for (int32_t& number : numbers) {
        const size_t comma = text.find(',');
        const bool last = &number == &numbers[3];
        if ((comma == std::string_view::npos) != last || !ParseInt(text.substr(0, comma), number))
            return false;
        text.remove_prefix(last ? text.size() : comma + 1);
    }
    value = {numbers[0], numbers[1], numbers[2], numbers[3]};
    return true;
}

bool SameSetting(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

std::string SettingAsRead(std::string_view text) {
    const std::optional<RuleSectionEntry> entry = EntryOfLine(std::string("k=").append(text));
    return entry ? entry->value : std::string();
}

std::optional<std::string> WithSetting(std::string_view file, std::string_view key,
                                       std::string_view value, bool isDefault) {
    const RuleSection section = ParseRuleSection(file, kSettingsSection);
    for (const RuleSection::Line& line : section.lines) {
        const std::string_view bytes = file.substr(line.start, line.end - line.start);
        const std::optional<RuleSectionEntry> entry =
            line.isEntryLine ? EntryOfLine(bytes) : std::nullopt;
        if (!entry || !entry->hasEquals || !SameKey(entry->key, key))
            continue;
        if (entry->value == value)
            return std::nullopt;
        const size_t valueStart = line.start + ValueStart(bytes);
        return std::string(file.substr(0, valueStart)).append(value).append(file.substr(line.end));
    }
    if (isDefault)
        return std::nullopt;
    return WithRuleAdded(file, std::string(key).append("=").append(value), kSettingsSection);
}

void Settings::Load(const std::wstring& configPath) {
    configPath_ = configPath;
    entries_.clear();
    std::string bytes;
    if (ReadConfigFile(configPath, bytes) != 0)
        return;
    for (RuleSectionEntry& entry : ParseRuleSection(bytes, kSettingsSection).entries)
        if (entry.hasEquals)
            entries_.emplace_back(std::move(entry.key), std::move(entry.value));
}

const std::string* Settings::Find(std::string_view key) const {
    for (const auto& [entryKey, value] : entries_)
        if (SameKey(entryKey, key))
            return &value;
    return nullptr;
}

DWORD Settings::Write(std::string_view key, const std::string& text, bool isDefault) {
    std::string now;
    const DWORD error = ChangeConfigFile(
        configPath_,
        [&](std::string_view bytes) { return WithSetting(bytes, key, text, isDefault); }, now);
    if (error)
        return error;
    for (auto& [entryKey, value] : entries_) {
        if (SameKey(entryKey, key)) {
            value = text;
            return 0;
        }
    }
    entries_.emplace_back(key, text);
    return 0;
}
