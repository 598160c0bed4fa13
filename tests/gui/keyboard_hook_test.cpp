// The keyboard hook on its own thread, and the key names it gives the rules.
#include <gtest/gtest.h>

#include <atomic>
#include <utility>
#include <vector>

#include "app/keys/keyboard_hook.h"
#include "app/base/ui_thread.h"
#include "tests/support/input.h"
#include "tests/support/wait.h"

namespace {

struct RecordedEvent {
    int32_t modifier;
    int32_t key;
    int32_t direction;
    bool operator==(const RecordedEvent&) const = default;
};

KeyboardHook g_hook;
std::vector<RecordedEvent> g_events;
DWORD g_blockFirstEventMs = 0;
std::atomic<bool> g_uiThreadBusy{false};
std::atomic<bool> g_hookCalledWhileBusy{false};

void Record(const KeyEvent& event) {
    g_events.push_back({event.modifier, event.key, event.direction});
    if (g_blockFirstEventMs) {
        const DWORD block = g_blockFirstEventMs;
        g_blockFirstEventMs = 0;
        g_uiThreadBusy = true;
        Sleep(block);  // stands for a long copy on the UI thread
        g_uiThreadBusy = false;
    }
}

// Presses a key while the UI thread is busy and notes whether the hook procedure ran
// before the UI thread was free again.
DWORD WINAPI PressWhileBusy(LPVOID) {
    while (!g_uiThreadBusy)
        Sleep(10);
    const int64_t before = g_hook.Statistics().calls;
    PressKeys({'T'});
    for (int i = 0; i < 200 && g_uiThreadBusy; ++i) {
        if (g_hook.Statistics().calls >= before + 2) {
            g_hookCalledWhileBusy = g_uiThreadBusy.load();
            break;
        }
        Sleep(10);
    }
    return 0;
}

class KeyboardHookTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(StartUiTasks());
        g_hook.Install(Record);
    }
    void SetUp() override {
        PumpMessages();
        g_events.clear();
    }
    static bool Received(const RecordedEvent& event) {
        for (const RecordedEvent& e : g_events)
            if (e == event)
                return true;
        return false;
    }
};

}  // namespace

TEST_F(KeyboardHookTest, IsInstalledOnceAndReportsDownAndUpWithTheLatestHeldModifier) {
    const HHOOK hook = g_hook.Handle();
    ASSERT_NE(nullptr, hook);
    g_hook.Install(Record);
    EXPECT_EQ(hook, g_hook.Handle());
    {
        // A second hook object neither installs nor, when it goes, silences the first.
        KeyboardHook other;
        other.Install([](const KeyEvent&) {});
        EXPECT_EQ(nullptr, other.Handle());
    }

    PressKeys({VK_LCONTROL, 'Q'});
    ASSERT_TRUE(WaitUntil([] { return Received({0, VK_LCONTROL, kKeyUp}); }));
    const std::vector<RecordedEvent> expected = {{VK_CONTROL, VK_LCONTROL, kKeyDown},
                                                 {VK_CONTROL, 'Q', kKeyDown},
                                                 {VK_CONTROL, 'Q', kKeyUp},
                                                 {0, VK_LCONTROL, kKeyUp}};
    EXPECT_EQ(expected, g_events);

    // Only the latest modifier is kept, and any modifier's release clears it.
    KeyDown(VK_LCONTROL);
    KeyDown(VK_LSHIFT);
    PressKeys({'W'});
    KeyUp(VK_LSHIFT);
    PressKeys({'E'});
    KeyUp(VK_LCONTROL);
    ASSERT_TRUE(WaitUntil([] { return Received({0, 'E', kKeyUp}); }));
    EXPECT_TRUE(Received({VK_SHIFT, 'W', kKeyDown}));
    EXPECT_TRUE(Received({0, 'E', kKeyDown}));  // Ctrl is still held
}

TEST_F(KeyboardHookTest, StaysResponsiveWhileTheUiThreadIsBusy) {
    // The handler of the first key keeps the UI thread busy for three seconds. Keys
    // pressed meanwhile must still reach the hook procedure at once, and their events
    // arrive afterwards, in order.
    g_blockFirstEventMs = 3000;
    HANDLE presser = CreateThread(nullptr, 0, PressWhileBusy, nullptr, 0, nullptr);
    PressKeys({'R'});
    ASSERT_TRUE(WaitUntil([] { return Received({0, 'T', kKeyUp}); }));
    WaitForSingleObject(presser, INFINITE);
    CloseHandle(presser);
    EXPECT_TRUE(g_hookCalledWhileBusy);
    const std::vector<RecordedEvent> expected = {
        {0, 'R', kKeyDown}, {0, 'R', kKeyUp}, {0, 'T', kKeyDown}, {0, 'T', kKeyUp}};
    EXPECT_EQ(expected, g_events);
    std::printf("longest hook procedure call: %.1f us over %lld calls\n",
                g_hook.Statistics().longestMicroseconds,
                static_cast<long long>(g_hook.Statistics().calls));
}

TEST_F(KeyboardHookTest, KeysSharingAScanCodeGetDifferentNames) {
    // Key names come from the window system's keyboard driver, loaded once the process has
    // a window.
    CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    // The extended key (Left, Down, Enter on the keypad, Del) against the other one.
    for (const auto& [keys, scanCode] :
         {std::pair{"Left / keypad 4", 0x4B}, std::pair{"Down / keypad 2", 0x50},
          std::pair{"keypad Enter / Enter", 0x1C}, std::pair{"Del / keypad Del", 0x53}}) {
        const Text extended = KeyName(scanCode, true);
        const Text plain = KeyName(scanCode, false);
        EXPECT_FALSE(extended == Text("")) << keys;
        EXPECT_FALSE(plain == Text("")) << keys;
        EXPECT_FALSE(extended == plain) << keys << ": " << extended.c_str();
    }
}
