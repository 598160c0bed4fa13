// The options: check and radio items shown below a separator in the file list's right-click
// menu and in the "选项" submenu of the main window's system menu. Each option is one line of
// the table in options_menu.cpp; its value is a setting in config.ini (app/rules/settings.h).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>

struct Application;

enum class OptionKind { kCheck, kRadio };

// One item of the options menus.
struct Option {
    // Shown in the menus.
    const wchar_t* name;
    // Its setting's key in config.ini, code page 936.
    const char* key;
    OptionKind kind;
    // The setting's value while config.ini holds none: a check item's 0 or 1, or the value
    // of a radio item's key.
    int32_t defaultValue;
    // A radio item: the key's value it chooses. The items of one key are neighbours.
    int32_t value = 0;
    // Run after the setting has been changed and saved, when the change acts at once.
    void (*changed)(Application& app) = nullptr;
    // A radio item whose key holds a text: the text it stores. The key's default is the
    // text of its item whose `value` is `defaultValue`.
    const wchar_t* text = nullptr;
};

// The options, in the menus' order.
std::span<const Option> Options();
// For tests: the menus show `table` instead of the program's options; an empty span puts the
// program's own back.
void UseOptionsForTesting(std::span<const Option> table);

// The command of option `index` in both menus: multiples of 16, as the system menu's
// commands are (the system keeps the low four bits), and below its own (0xF000).
UINT_PTR OptionCommand(size_t index);

// True when the option's item carries its check or radio mark.
bool IsOptionChosen(const Application& app, const Option& option);

// Appends a separator and the options, marked as the settings say; nothing without options.
void AppendOptionItems(const Application& app, HMENU menu);
// Gives the main window's system menu a separator and "选项" with the options at its end,
// replacing the ones it gave before; without options, none.
void ShowOptionsInSystemMenu(Application& app);

// When `command` is an option's: a check item's setting flips, a radio item's key takes its
// value, config.ini is written at once and the system menu's marks follow. When the write
// fails, a box titled "信息" says why and the option keeps its old value. False when
// `command` is no option's.
bool ChooseOption(Application& app, UINT_PTR command);
