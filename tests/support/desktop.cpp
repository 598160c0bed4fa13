#include "tests/support/desktop.h"

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;

struct EnumState {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM lParam) {
    auto* state = reinterpret_cast<EnumState*>(lParam);
    if (WindowProcess(window) != state->processId)
        return TRUE;
    if (state->visibleOnly && !IsWindowVisible(window))
        return TRUE;
    state->windows->push_back(window);
    return TRUE;
}

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchChildId(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<ChildSearch*>(lParam);
    if (GetDlgCtrlID(window) == search->id) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(copied);
    return text;
}

std::wstring WindowClass(HWND window) {
    wchar_t name[256];
    int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? length : 0);
}

DWORD WindowProcess(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly) {
    std::vector<HWND> windows;
    EnumState state{processId, visibleOnly, &windows};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
    return windows;
}

HWND FindTopLevelWindow(DWORD processId, const std::wstring& className, const std::wstring* title) {
    for (HWND window : TopLevelWindows(processId)) {
        if (!className.empty() && WindowClass(window) != className)
            continue;
        if (title && WindowText(window) != *title)
            continue;
        return window;
    }
    return nullptr;
}

HWND WaitForTopLevelWindow(DWORD processId, const std::wstring& className,
                           const std::wstring* title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopLevelWindow(processId, className, title)) != nullptr; },
              timeoutMs);
    return found;
}

HWND FindChildById(HWND parent, int id) {
    ChildSearch search{id, nullptr};
    EnumChildWindows(parent, MatchChildId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RECT RectInParent(HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT ScreenRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

MessageBoxInfo WaitForMessageBox(DWORD processId, const std::wstring* title, DWORD timeoutMs) {
    MessageBoxInfo info;
    WaitUntil(
        [&] {
            HWND box = FindTopLevelWindow(processId, L"#32770", title);
            if (!box)
                return false;
            HWND text = GetDlgItem(box, kMessageBoxTextId);
            if (!text)
                return false;
            info.window = box;
            info.title = WindowText(box);
            info.text = WindowText(text);
            return true;
        },
        timeoutMs);
    return info;
}

bool NoMessageBox(DWORD processId) {
    return FindTopLevelWindow(processId, L"#32770") == nullptr;
}

bool AnswerMessageBox(HWND box, int buttonId, DWORD timeoutMs) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
    return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, timeoutMs);
}
