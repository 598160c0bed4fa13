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
// The platform's name of a key, formed as the program forms it. Key names come from the
// window system's keyboard driver, which is loaded once a process has a window.
std::wstring KeyNameOf(UINT key);
