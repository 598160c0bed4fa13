// The application's message box.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "runtime/message.h"
#include "tests/support/desktop.h"

namespace {

struct ShownBox {
    MessageBoxInfo info;
    HWND owner = nullptr;
};

// Shows a box through `show` on this thread while another thread reads it and presses
// `button`.
template <class Show>
ShownBox ShowAndAnswer(int button, Show show, int32_t& result) {
    ShownBox box;
    std::thread answerer([&] {
        box.info = WaitForMessageBox(GetCurrentProcessId());
        if (!box.info.window)
            return;
        box.owner = GetWindow(box.info.window, GW_OWNER);
        AnswerMessageBox(box.info.window, button);
    });
    result = show();
    answerer.join();
    return box;
}

}  // namespace

// The default title and a text message are checked where the program shows its boxes.
TEST(RuntimeShowMessage, TitleOwnerAndAnyValueAsMessageGiveTheButtonMinusOne) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    int32_t result = -99;
    const ShownBox box = ShowAndAnswer(
        IDNO, [&] { return ShowMessage(1.5, MB_YESNO, Text("标题"), owner); }, result);
    ASSERT_NE(nullptr, box.info.window);
    EXPECT_EQ(L"标题", box.info.title);
    EXPECT_EQ(L"1.5", box.info.text);
    EXPECT_EQ(owner, box.owner);
    EXPECT_EQ(IDNO - 1, result);
    DestroyWindow(owner);
}
