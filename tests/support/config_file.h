// config.ini as the tests write it: code page 936 bytes, the rule section, key names.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

// Code page 936 bytes of a UTF-16 text.
std::string Gbk(const std::wstring& text);
// A config.ini holding the rule section with these lines.
std::string RuleConfig(std::initializer_list<std::wstring> lines);
std::string RuleConfig(const std::vector<std::wstring>& lines);
// The program's name of a main-keyboard or navigation key (HotkeyNameOf its StrokeOf).
std::wstring KeyNameOf(UINT key);
