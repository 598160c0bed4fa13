#include "app/rules/options_menu.h"

#include <optional>
#include <string>
#include <vector>

#include "app/window/application.h"
#include "app/base/system_error.h"
#include "runtime/message.h"

namespace {

// The program's options, one line each, for example a check item and two radio items of one
// key:
//   {L"显示隐藏文件", "隐藏文件", OptionKind::kCheck, 0},
//   {L"按名称排序", "排序", OptionKind::kRadio, 0, 0},
//   {L"按时间排序", "排序", OptionKind::kRadio, 0, 1},
const std::vector<Option>& ProgramOptions() {
    static const std::vector<Option> options = {
        {L"按读取顺序排列", "排序", OptionKind::kRadio, 0, 0, ApplySavedSortOrder, L"读取顺序"},
        {L"按文件名排列", "排序", OptionKind::kRadio, 0, 1, ApplySavedSortOrder, L"文件名"},
        {L"按拍摄时间排列", "排序", OptionKind::kRadio, 0, 2, ApplySavedSortOrder, L"拍摄时间"},
        {L"倒序", "倒序", OptionKind::kCheck, 0, 0, ApplySavedSortOrder},
        {L"重名时保留两者", "重名时保留两者", OptionKind::kCheck, 0},
        {L"处理后下一个", "处理后下一个", OptionKind::kCheck, 0},
    };
    return options;
}

std::span<const Option> g_testOptions;

constexpr UINT_PTR kFirstOptionCommand = 0x1000;
constexpr UINT_PTR kOptionCommandStep = 0x10;
const wchar_t* const kOptionsMenuName = L"选项";

Setting<bool> CheckSetting(const Option& option) {
    return {option.key, option.defaultValue != 0};
}

Setting<int32_t> RadioSetting(const Option& option) {
    return {option.key, option.defaultValue};
}

// The setting of a radio item that stores a text, its default the text of the key's default
// item.
Setting<std::wstring> TextRadioSetting(const Option& option) {
    std::wstring defaultText;
    for (const Option& other : Options())
        if (other.text && std::string(other.key) == option.key &&
            other.value == option.defaultValue)
            defaultText = other.text;
    return {option.key, defaultText};
}

std::optional<size_t> OptionIndex(UINT_PTR command) {
    if (command < kFirstOptionCommand || (command - kFirstOptionCommand) % kOptionCommandStep)
        return std::nullopt;
    const size_t index = (command - kFirstOptionCommand) / kOptionCommandStep;
    return index < Options().size() ? std::optional<size_t>(index) : std::nullopt;
}

void AppendItems(const Application& app, HMENU menu) {
    const std::span<const Option> options = Options();
    for (size_t i = 0; i < options.size(); ++i) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        item.fType = MFT_STRING | (options[i].kind == OptionKind::kRadio ? MFT_RADIOCHECK : 0);
        item.fState = IsOptionChosen(app, options[i]) ? MFS_CHECKED : MFS_UNCHECKED;
        item.wID = static_cast<UINT>(OptionCommand(i));
        item.dwTypeData = const_cast<wchar_t*>(options[i].name);
        InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &item);
    }
}

// The position of the "选项" submenu in the system menu; nothing when it has none.
std::optional<int> OptionsMenuPosition(HMENU systemMenu) {
    wchar_t text[16] = L"";
    for (int i = GetMenuItemCount(systemMenu) - 1; i >= 0; --i)
        if (GetSubMenu(systemMenu, i) &&
            GetMenuStringW(systemMenu, static_cast<UINT>(i), text, 16, MF_BYPOSITION) > 0 &&
            std::wstring(text) == kOptionsMenuName)
            return i;
    return std::nullopt;
}

// Writes what choosing the option's item means: a check item flips, a radio item's key
// takes its value or its text. The system's error code, or 0.
DWORD SaveChoice(Application& app, const Option& option) {
    if (option.kind == OptionKind::kCheck)
        return app.settings.Set(CheckSetting(option), !IsOptionChosen(app, option));
    if (option.text)
        return app.settings.Set(TextRadioSetting(option), std::wstring(option.text));
    return app.settings.Set(RadioSetting(option), option.value);
}

void TellOptionNotSaved(DWORD error) {
    const std::wstring text = L"设置无法保存到 config.ini，选项未更改：\r\n" +
                              SystemMessage(error) + L"（" + std::to_wstring(error) + L"）";
    ShowMessage(FromUtf16(text.c_str()));
}

}  // namespace

std::span<const Option> Options() {
    return g_testOptions.empty() ? std::span<const Option>(ProgramOptions()) : g_testOptions;
}

void UseOptionsForTesting(std::span<const Option> table) {
    g_testOptions = table;
}

UINT_PTR OptionCommand(size_t index) {
    return kFirstOptionCommand + index * kOptionCommandStep;
}

bool IsOptionChosen(const Application& app, const Option& option) {
    if (option.kind == OptionKind::kCheck)
        return app.settings.Get(CheckSetting(option));
    if (option.text)
        return app.settings.Get(TextRadioSetting(option)) == option.text;
    return app.settings.Get(RadioSetting(option)) == option.value;
}

void AppendOptionItems(const Application& app, HMENU menu) {
    if (Options().empty())
        return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendItems(app, menu);
}

void ShowOptionsInSystemMenu(Application& app) {
    const HMENU systemMenu = GetSystemMenu(app.mainWindow, FALSE);
    if (!systemMenu)
        return;
    if (const std::optional<int> old = OptionsMenuPosition(systemMenu)) {
        DeleteMenu(systemMenu, static_cast<UINT>(*old), MF_BYPOSITION);  // with its items
        if (*old > 0 && (GetMenuState(systemMenu, *old - 1, MF_BYPOSITION) & MF_SEPARATOR))
            DeleteMenu(systemMenu, static_cast<UINT>(*old - 1), MF_BYPOSITION);
    }
    if (Options().empty())
        return;
    UniqueMenu options(CreatePopupMenu());
    if (!options)
        return;
    AppendItems(app, options.Get());
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    if (AppendMenuW(systemMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(options.Get()),
                    kOptionsMenuName))
        options.Release();  // the system menu owns it now
}

bool ChooseOption(Application& app, UINT_PTR command) {
    const std::optional<size_t> index = OptionIndex(command);
    if (!index)
        return false;
    const Option& option = Options()[*index];
    const DWORD error = SaveChoice(app, option);
    if (error) {
        TellOptionNotSaved(error);
        return true;
    }
    ShowOptionsInSystemMenu(app);
    if (option.changed)
        option.changed(app);
    return true;
}
