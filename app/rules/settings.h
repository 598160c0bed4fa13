// The program's settings: section "设置" of config.ini, one "key=value" line per setting, code
// page 936. They are read once at start, after the rules, and kept in memory; a change is
// written at once by the rules' own all-or-nothing writer, under the same lock, and touches
// nothing but its own key's line.
//
// A setting the file does not hold reads as its default, and setting it to the default
// writes nothing, so a config.ini that never had the section stays as it was. A key the file
// holds is rewritten in place, at its first occurrence, whatever the value.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

// The section's name in config.ini.
extern const char* const kSettingsSection;

// One setting: its key in the section (code page 936) and the value it has while config.ini
// holds none. T is bool, int32_t, std::wstring (a text) or RECT.
template <typename T>
struct Setting {
    const char* key;
    T defaultValue;
};

// A value as its line holds it: a bool as "1" or "0", an int in decimal, a text in code page
// 936, a rectangle as "left,top,right,bottom".
std::string FormatSetting(bool value);
std::string FormatSetting(int32_t value);
std::string FormatSetting(const std::wstring& value);
std::string FormatSetting(const RECT& value);
// Reads the value a line's text stands for into `value`; false, leaving it alone, when the
// text is not one (a bool is any int, true when not 0; blanks around numbers are allowed).
bool ParseSetting(std::string_view text, bool& value);
bool ParseSetting(std::string_view text, int32_t& value);
bool ParseSetting(std::string_view text, std::wstring& value);
bool ParseSetting(std::string_view text, RECT& value);
bool SameSetting(const RECT& a, const RECT& b);
template <typename T>
bool SameSetting(const T& a, const T& b) {
    return a == b;
}
// The value the reader gives back for a line "key=" `text`: what a write keeps of it.
std::string SettingAsRead(std::string_view text);

// `file` with key `key` set to `value` in the settings section, every other byte kept: the
// first line of the section whose key equals `key` (without case, as the profile functions
// compare keys) gets the new value after its "="; without such a line, a line "key=value"
// goes after the section's last entry, the section itself at the end of the file when it is
// missing. Nothing when the file would not change, or when the key is missing and `isDefault`.
std::optional<std::string> WithSetting(std::string_view file, std::string_view key,
                                       std::string_view value, bool isDefault);

class Settings {
  public:
    // Reads the settings section of config.ini at `configPath`, where changes are written
    // from then on. A file that is missing or cannot be read holds no settings.
    void Load(const std::wstring& configPath);

    template <typename T>
    T Get(const Setting<T>& setting) const {
        const std::string* text = Find(setting.key);
        T value = setting.defaultValue;
        return text && ParseSetting(*text, value) ? value : setting.defaultValue;
    }

    // Writes the value into config.ini as the file is now, and keeps it. Returns 0, or the
    // system's error code with the file and the kept value as they were
    // (ERROR_INVALID_DATA for a value the file cannot hold so that it reads back the same).
    // Shows nothing: the caller decides whether the user is told.
    template <typename T>
    DWORD Set(const Setting<T>& setting, const std::type_identity_t<T>& value) {
        const std::string text = FormatSetting(value);
        T readBack{};
        if (!ParseSetting(SettingAsRead(text), readBack) || !SameSetting(readBack, value))
            return ERROR_INVALID_DATA;
        return Write(setting.key, text, text == FormatSetting(setting.defaultValue));
    }

  private:
    // The value text of the key's first entry, as the reader gives it; null when none.
    const std::string* Find(std::string_view key) const;
    DWORD Write(std::string_view key, const std::string& text, bool isDefault);

    std::wstring configPath_;
    // Key and value of each entry of the section, in the file's order.
    std::vector<std::pair<std::string, std::string>> entries_;
};
