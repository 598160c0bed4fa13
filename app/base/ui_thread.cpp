#include "app/base/ui_thread.h"

#include <deque>
#include <mutex>

#include "runtime/guard.h"

namespace {

constexpr UINT kRunPostedMessage = WM_APP + 0x60;
constexpr UINT kRunSentMessage = WM_APP + 0x61;
constexpr wchar_t kWindowClass[] = L"ZemoUiTasks";

// The posted tasks wait here rather than in messages of their own: the window then has at
// most a couple of messages queued, far from the system's limit, and the teardown can drop
// every waiting task at once.
struct Road {
    std::mutex mutex;
    HWND window = nullptr;  // null while closed
    std::deque<UiTask> waiting;
};

// Never destroyed: a worker may still post while the process exits.
Road& TheRoad() {
    static Road* const road = new Road;
    return *road;
}

// A sent task, shared by the worker and the message carrying it: a worker that gave up
// waiting leaves the task to the message, which may still arrive.
struct SentTask {
    UiTask task;
    std::shared_ptr<const std::atomic<bool>> open;
};

// One task per message. While more wait, another message is posted before it runs, so a
// task that opens a modal loop (a message box) does not hold up the ones behind it, and
// input never overtakes a task posted before it (posted messages come first).
void RunNextPosted(HWND window) {
    Road& road = TheRoad();
    UiTask task;
    {
        const std::lock_guard lock(road.mutex);
        if (road.window != window || road.waiting.empty())
            return;
        task = std::move(road.waiting.front());
        road.waiting.pop_front();
        if (!road.waiting.empty())
            PostMessageW(window, kRunPostedMessage, 0, 0);
    }
    task();
}

LRESULT RunSent(LPARAM lParam) {
    const std::unique_ptr<std::shared_ptr<SentTask>> carried(
        reinterpret_cast<std::shared_ptr<SentTask>*>(lParam));
    const SentTask& sent = **carried;
    if (!sent.open->load())
        return 0;
    sent.task();
    return 1;
}

LRESULT CALLBACK UiTaskProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return RunGuarded([&]() -> LRESULT {
        switch (message) {
            case kRunPostedMessage:
                RunNextPosted(window);
                return 0;
            case kRunSentMessage:
                return RunSent(lParam);
            default:
                return DefWindowProcW(window, message, wParam, lParam);
        }
    });
}

HWND RoadWindow() {
    Road& road = TheRoad();
    const std::lock_guard lock(road.mutex);
    return road.window;
}

}  // namespace

bool StartUiTasks() {
    if (RoadWindow())
        return true;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &UiTaskProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        windowClass.hInstance, nullptr);
    if (!window)
        return false;
    Road& road = TheRoad();
    const std::lock_guard lock(road.mutex);
    road.window = window;
    return true;
}

void StopUiTasks() {
    Road& road = TheRoad();
    std::deque<UiTask> dropped;
    HWND window = nullptr;
    {
        const std::lock_guard lock(road.mutex);
        window = std::exchange(road.window, nullptr);
        dropped.swap(road.waiting);
    }
    if (window)
        DestroyWindow(window);
}

bool PostToUi(UiTask task) {
    Road& road = TheRoad();
    const std::lock_guard lock(road.mutex);
    if (!road.window)
        return false;
    road.waiting.push_back(std::move(task));
    // Otherwise a message is on its way already (see RunNextPosted).
    if (road.waiting.size() == 1)
        PostMessageW(road.window, kRunPostedMessage, 0, 0);
    return true;
}

bool UiRoute::Post(UiTask task) const {
    if (!Open())
        return false;
    return PostToUi([open = open_, task = std::move(task)] {
        if (open->load())
            task();
    });
}

bool UiRoute::Send(UiTask task, DWORD timeoutMs) const {
    const HWND window = RoadWindow();
    if (!Open() || !window)
        return false;
    auto carried = std::make_unique<std::shared_ptr<SentTask>>(
        std::make_shared<SentTask>(SentTask{std::move(task), open_}));
    DWORD_PTR ran = 0;
    if (SendMessageTimeoutW(window, kRunSentMessage, 0, reinterpret_cast<LPARAM>(carried.get()),
                            SMTO_NORMAL, timeoutMs, &ran)) {
        carried.release();  // the window took it
        return ran != 0;
    }
    // Timed out: the message may still be handled, and then owns what it carries.
    if (GetLastError() == ERROR_TIMEOUT)
        carried.release();
    return false;
}

void UiReceiver::Reopen() {
    Close();
    open_ = std::make_shared<std::atomic<bool>>(true);
}
