#include "tests/support/config_file.h"

#include "tests/support/key_strokes.h"

std::string Gbk(const std::wstring& text) {
    const int size = WideCharToMultiByte(936, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(936, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::string RuleConfig(std::initializer_list<std::wstring> lines) {
    return RuleConfig(std::vector<std::wstring>(lines));
}

std::string RuleConfig(const std::vector<std::wstring>& lines) {
    std::string bytes = Gbk(L"[快捷键配置]") + "\r\n";
    for (const std::wstring& line : lines)
        bytes += Gbk(line) + "\r\n";
    return bytes;
}

std::wstring KeyNameOf(UINT key) {
    return HotkeyNameOf(StrokeOf(static_cast<WORD>(key)));
}
