// The hook's records of key-downs, taken by the key messages that reach the file list.
#include <gtest/gtest.h>

#include "app/keys/key_record_queue.h"
#include "app/keys/keyboard_hook.h"

TEST(KeyRecordQueueTest, EachMessageTakesTheRecordOfItsOwnPressAndExtendedFlagInOrder) {
    KeyRecordQueue queue;
    // F9, Down, Ctrl+F9 in one burst: one moment, two presses of the same key.
    queue.Push({0x43, false, 1000, 0});
    queue.Push({0x50, true, 1000, 0});
    queue.Push({0x43, false, 1000, VK_CONTROL});
    EXPECT_EQ(0, queue.Take(0x43, false, 1000));
    EXPECT_EQ(0, queue.Take(0x50, true, 1000));
    EXPECT_EQ(VK_CONTROL, queue.Take(0x43, false, 1000));
    EXPECT_EQ(std::nullopt, queue.Take(0x43, false, 1000));
    // The extended flag tells keys of one scan code apart.
    queue.Push({0x50, false, 5, VK_SHIFT});              // keypad 2
    EXPECT_EQ(std::nullopt, queue.Take(0x50, true, 5));  // Down
    EXPECT_EQ(VK_SHIFT, queue.Take(0x50, false, 5));
}

TEST(KeyRecordQueueTest, RecordsOfKeysThatWentElsewhereNeverMatchALaterPress) {
    KeyRecordQueue queue;
    // Ctrl+S typed into another program, then S pressed in the list.
    queue.Push({0x1F, false, 100, VK_CONTROL});
    queue.Push({0x1F, false, 2500, 0});
    EXPECT_EQ(0, queue.Take(0x1F, false, 2501));  // stamped a moment apart
    EXPECT_EQ(0, queue.Count());
    // A message whose record is not there (no hook yet) finds nothing, and takes no later
    // record either.
    queue.Push({0x1F, false, 4000, 0});
    EXPECT_EQ(std::nullopt, queue.Take(0x1F, false, 3000));
    EXPECT_EQ(1, queue.Count());
    queue.Take(0x1F, false, 4000);
    // Event times wrap around.
    queue.Push({0x10, false, 0xFFFFF000u, VK_MENU});
    queue.Push({0x10, false, 0x10u, 0});
    EXPECT_EQ(0, queue.Take(0x10, false, 0x10u));
    EXPECT_EQ(0, queue.Count());
}

TEST(KeyRecordQueueTest, AFullQueueDropsTheOldest) {
    KeyRecordQueue queue;
    for (int32_t i = 0; i < KeyRecordQueue::kCapacity + 3; ++i)
        queue.Push({i, false, 7, i});
    EXPECT_EQ(KeyRecordQueue::kCapacity, queue.Count());
    EXPECT_EQ(std::nullopt, queue.Take(2, false, 7));
    EXPECT_EQ(3, queue.Take(3, false, 7));
}

TEST(ModifierRecheckTest, AModifierWhoseReleaseWasLostIsNoLongerHeld) {
    const KeyHeldReader nothingHeld = [](int32_t) { return false; };
    const KeyHeldReader controlHeld = [](int32_t key) { return key == VK_CONTROL; };
    EXPECT_EQ(0, ConfirmedModifier(VK_CONTROL, nothingHeld));
    EXPECT_EQ(VK_CONTROL, ConfirmedModifier(VK_CONTROL, controlHeld));
    EXPECT_EQ(0, ConfirmedModifier(VK_SHIFT, controlHeld));
    EXPECT_EQ(0, ConfirmedModifier(0, controlHeld));
    // The Windows keys are one modifier, held on either side.
    EXPECT_EQ(VK_LWIN, ConfirmedModifier(VK_LWIN, [](int32_t key) { return key == VK_RWIN; }));
}
