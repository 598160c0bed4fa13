#include "app/operations/stop_question.h"

#include "runtime/guard.h"
#include "ui/unique_handle.h"

namespace {

// The question box asked before stopping, while it is up: its own window procedure and the
// queue its "是" cancels. A hook procedure gets no context of its own.
struct QuestionBox {
    OperationQueue* queue;
    // What else "是" does at once, before the box closes; may be empty.
    const std::function<void()>* onYes;
    HWND window = nullptr;
    WNDPROC procedure = nullptr;
};
thread_local QuestionBox* questionBox = nullptr;

// "是" cancels the work the moment it reaches the box, before the box handles it: the
// system may take its time closing a box (Wine without a window manager waits 2 s for one
// at every window it hides), and a copy must not run on, or even end, meanwhile.
LRESULT CALLBACK QuestionBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return RunGuarded([&] {
        if (message == WM_COMMAND && LOWORD(wParam) == IDYES) {
            questionBox->queue->CancelAll();
            if (*questionBox->onYes)
                (*questionBox->onYes)();
        }
        return CallWindowProcW(questionBox->procedure, hwnd, message, wParam, lParam);
    });
}

// Puts QuestionBoxProc in front of the box as the box is made.
LRESULT CALLBACK WatchForQuestionBox(int code, WPARAM wParam, LPARAM lParam) noexcept {
    return RunGuarded([&] {
        const auto window = reinterpret_cast<HWND>(wParam);
        wchar_t className[8] = L"";
        if (code == HCBT_CREATEWND && questionBox && !questionBox->window &&
            GetClassNameW(window, className, 8) && lstrcmpW(className, L"#32770") == 0) {
            questionBox->window = window;
            questionBox->procedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&QuestionBoxProc)));
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    });
}

}  // namespace

bool AskToStop(HWND owner, const std::wstring& text, OperationQueue& queue,
               const std::function<void()>& onYes) {
    QuestionBox box{&queue, &onYes};
    questionBox = &box;
    const UniqueHook hook(
        SetWindowsHookExW(WH_CBT, &WatchForQuestionBox, nullptr, GetCurrentThreadId()));
    const int answer = MessageBoxW(owner, text.c_str(), L"信息", MB_YESNO);
    questionBox = nullptr;
    return answer == IDYES;
}
