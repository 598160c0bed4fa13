// Key names come from the window system's keyboard driver, loaded once the process has a
// window (the GUI tests have).
#include <gtest/gtest.h>

#include "app/keyboard_hook.h"

TEST(KeyNameTest, KeysSharingAScanCodeGetDifferentNames) {
    CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    struct Pair {
        const char* keys;
        int32_t scanCode;
    };
    // The extended key (Left, Down, Enter on the keypad, Del) against the other one.
    for (const Pair pair : {Pair{"Left / keypad 4", 0x4B}, Pair{"Down / keypad 2", 0x50},
                            Pair{"keypad Enter / Enter", 0x1C}, Pair{"Del / keypad Del", 0x53}}) {
        const Text extended = KeyName(pair.scanCode, true);
        const Text plain = KeyName(pair.scanCode, false);
        EXPECT_FALSE(extended == Text("")) << pair.keys;
        EXPECT_FALSE(plain == Text("")) << pair.keys;
        EXPECT_FALSE(extended == plain) << pair.keys << ": " << extended.c_str();
    }
}
