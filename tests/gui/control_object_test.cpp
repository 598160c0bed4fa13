// Event dispatch of attached windows: reflection of parent notifications to the child's
// object, handler results that answer a message, detaching on destruction and reuse.
#include "ui/control_object.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/dropped_files.h"
#include "tests/support/wait.h"
#include "ui/library.h"
#include "ui/window.h"
#include "ui/window_registry.h"

namespace {

constexpr int kChildId = 77;
const wchar_t kChildClass[] = L"ZemoTestChild";

// The messages that reached the test child's own window procedure.
int g_leftDownsAtControl = 0;
int g_cursorRequestsAtControl = 0;

LRESULT CALLBACK ChildProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    g_leftDownsAtControl += message == WM_LBUTTONDOWN;
    g_cursorRequestsAtControl += message == WM_SETCURSOR;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The reflected calls a hook saw: who sent it, with which code and id.
struct Reflected {
    int calls = 0;
    HWND sender = nullptr;
    int32_t code = 0;
    int32_t id = 0;
    bool operator==(const Reflected&) const = default;
};

// A child control whose reflected hooks record their calls and answer with `answer`.
class TestControl : public ControlObject {
  public:
    HWND Create(HWND parent) {
        return CreateControlWindow(
            parent, 0, TextBlock::FromWide(kChildClass), nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 50,
            20, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kChildId)), nullptr);
    }
    LRESULT CommandHook(HWND, HWND child, int32_t code, int32_t id) override {
        command = {command.calls + 1, child, code, id};
        return answer;
    }
    LRESULT NotificationHook(HWND, HWND sender, int32_t code, UINT_PTR, LPARAM) override {
        notification = {notification.calls + 1, sender, code, 0};
        return answer;
    }

    LRESULT answer = 0;
    Reflected command;
    Reflected notification;
};

// A window that records the notifications reflected to itself.
class RecordingWindow : public Window {
  public:
    LRESULT NotificationHook(HWND, HWND sender, int32_t code, UINT_PTR, LPARAM) override {
        notification = {notification.calls + 1, sender, code, 0};
        return 0;
    }
    Reflected notification;
};

class ControlObjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        InitialiseLibrary();
        g_leftDownsAtControl = g_cursorRequestsAtControl = 0;
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &ChildProcedure;
        windowClass.hInstance = LibraryInstance;
        windowClass.lpszClassName = kChildClass;
        RegisterClassExW(&windowClass);

        parentHwnd = parent.Show({.x = 0, .y = 0, .width = 300, .height = 200, .visible = false});
        ASSERT_TRUE(parentHwnd);
        parent.SetMenuCommandHandler([this](int32_t id) { return menuCommands.push_back(id), 0; });
        childHwnd = child.Create(parentHwnd);
        ASSERT_TRUE(childHwnd);
    }
    void TearDown() override {
        if (IsWindow(parentHwnd))
            DestroyWindow(parentHwnd);
        PumpMessages();
    }

    RecordingWindow parent;
    TestControl child;
    HWND parentHwnd = nullptr;
    HWND childHwnd = nullptr;
    std::vector<int32_t> menuCommands;
};

TEST_F(ControlObjectTest, AWindowIsHeldByOneObjectAloneAndGetsItsProcedureBackWhenThatGoes) {
    EXPECT_EQ(WindowRegistry::Find(childHwnd), &child);
    EXPECT_EQ(child.Create(parentHwnd), nullptr);
    HWND hwnd = nullptr;
    {
        TestControl other;
        EXPECT_EQ(other.AttachWindow(childHwnd), nullptr);
        EXPECT_EQ(other.AttachWindow(nullptr), nullptr);
        EXPECT_EQ(other.AttachDialogItem(parentHwnd, 12345, true), nullptr);
        EXPECT_EQ(WindowRegistry::Find(childHwnd), &child);

        ASSERT_TRUE(
            other.AttachWindow(CreateWindowExW(0, kChildClass, nullptr, WS_CHILD, 0, 0, 10, 10,
                                               parentHwnd, nullptr, LibraryInstance, nullptr)));
        hwnd = other.Handle();
        // A clone carries the handle but must not take the window from its original.
        other.Clone().reset();
        EXPECT_EQ(WindowRegistry::Find(hwnd), &other);
        EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC),
                  reinterpret_cast<LONG_PTR>(&ControlObject::WndProc));
    }
    // The object went before its window: the window lives on with its own procedure.
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(WindowRegistry::Find(hwnd), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&ChildProcedure));
}

TEST_F(ControlObjectTest, ParentNotificationsAreReflectedToTheSenderAndAnswerWithItsResult) {
    child.answer = 42;
    EXPECT_EQ(SendMessageW(parentHwnd, WM_COMMAND, MAKEWPARAM(kChildId, BN_CLICKED),
                           reinterpret_cast<LPARAM>(childHwnd)),
              42);
    EXPECT_EQ((Reflected{1, childHwnd, BN_CLICKED, kChildId}), child.command);
    EXPECT_TRUE(menuCommands.empty());
    // lParam 0 (a menu or accelerator) is not reflected and becomes the menu command.
    SendMessageW(parentHwnd, WM_COMMAND, MAKEWPARAM(9, 0), 0);
    EXPECT_EQ(1, child.command.calls);
    EXPECT_EQ(std::vector<int32_t>{9}, menuCommands);

    NMHDR header{childHwnd, kChildId, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(SendMessageW(parentHwnd, WM_NOTIFY, kChildId, reinterpret_cast<LPARAM>(&header)), 42);
    EXPECT_EQ((Reflected{1, childHwnd, static_cast<int32_t>(NM_CLICK), 0}), child.notification);
    // A tooltip's request for its text goes to the window's own object.
    header.code = static_cast<UINT>(TTN_GETDISPINFOW);
    SendMessageW(parentHwnd, WM_NOTIFY, kChildId, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(1, child.notification.calls);
    EXPECT_EQ((Reflected{1, childHwnd, static_cast<int32_t>(TTN_GETDISPINFOW), 0}),
              parent.notification);
}

TEST_F(ControlObjectTest, ANonZeroHandlerResultAnswersTheClickAndZeroPassesItOn) {
    std::vector<std::pair<int32_t, int32_t>> clicks;
    int32_t answer = 5;
    child.SetLeftDownHandler([&](int32_t x, int32_t y) {
        clicks.emplace_back(x, y);
        return answer;
    });
    EXPECT_EQ(SendMessageW(childHwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4)), 5);
    EXPECT_EQ(0, g_leftDownsAtControl);
    answer = 0;
    SendMessageW(childHwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 8));
    EXPECT_EQ(1, g_leftDownsAtControl);
    EXPECT_EQ((std::vector<std::pair<int32_t, int32_t>>{{3, 4}, {7, 8}}), clicks);
}

TEST_F(ControlObjectTest, MouseEnterIsRaisedOncePerVisitAndCanSwallowTheMove) {
    int enters = 0, moves = 0, leaves = 0;
    child.SetMouseEnterHandler([&] { return ++enters, 1; });
    child.SetMouseMoveHandler([&] { return ++moves, 0; });
    child.SetMouseLeaveHandler([&] { return ++leaves, 0; });
    SendMessageW(childHwnd, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    SendMessageW(childHwnd, WM_MOUSEMOVE, 0, MAKELPARAM(2, 1));
    EXPECT_EQ(1, enters);
    EXPECT_EQ(1, moves);  // the entering move was answered by the enter handler
    SendMessageW(childHwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(1, leaves);
    SendMessageW(childHwnd, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(2, enters);
}

TEST_F(ControlObjectTest, DroppedFilesArriveAsOneListWithoutTrailingBreak) {
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'x') + L".txt";
    std::vector<std::wstring> drops;
    child.SetDropFilesHandler(
        [&](const TextBlock* paths) { return drops.push_back(paths->Wide()), 0; });
    SendMessageW(childHwnd, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({L"C:\\a.txt", L"C:\\b b.mp3", longPath})), 0);
    EXPECT_EQ(std::vector<std::wstring>{L"C:\\a.txt\r\nC:\\b b.mp3\r\n" + longPath}, drops);
}

TEST_F(ControlObjectTest, ShapeFromBitmapKeepsEveryRunThatIsNotTransparent) {
    // Row 0 alternates black and white: 1001 black runs, more than one batch of
    // rectangles. Row 1 is white but for one red pixel at x = 5.
    const int width = 2001;
    std::vector<uint32_t> pixels(2 * width, 0xFFFFFF);
    for (int x = 0; x < width; x += 2)
        pixels[x] = 0;
    pixels[width + 5] = 0xFF0000;
    const HBITMAP bitmap = CreateBitmap(width, 2, 1, 32, pixels.data());
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(child.ShapeFromBitmap(UniqueBitmap(bitmap)), 1);
    EXPECT_EQ(GetObjectType(bitmap), 0u) << "the bitmap is deleted once the shape is made";

    const HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(childHwnd, region), ERROR);
    for (int x : {0, 2, 998, 1000, 1998, 2000})
        EXPECT_TRUE(PtInRegion(region, x, 0)) << x;
    for (int x : {1, 999, 1999})
        EXPECT_FALSE(PtInRegion(region, x, 0)) << x;
    EXPECT_TRUE(PtInRegion(region, 5, 1));
    EXPECT_FALSE(PtInRegion(region, 4, 1));
    EXPECT_FALSE(PtInRegion(region, 6, 1));
    DeleteObject(region);

    // A bitmap that is all transparent gives no shape.
    std::vector<uint32_t> white(4, 0xFFFFFF);
    EXPECT_EQ(child.ShapeFromBitmap(UniqueBitmap(CreateBitmap(2, 2, 1, 32, white.data()))), 0);
}

TEST_F(ControlObjectTest, OwnCursorIsShownOverTheClientAreaOnly) {
    const HCURSOR hand = CopyCursor(LoadCursorW(nullptr, IDC_HAND));
    child.SetCursor(UniqueCursor(hand));
    EXPECT_EQ(SendMessageW(childHwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(childHwnd),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(GetCursor(), hand);
    EXPECT_EQ(0, g_cursorRequestsAtControl);
    // Over the border the request goes on to the control's own procedure, once.
    SendMessageW(childHwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(childHwnd),
                 MAKELPARAM(HTBORDER, WM_MOUSEMOVE));
    EXPECT_EQ(1, g_cursorRequestsAtControl);
}

TEST_F(ControlObjectTest, AHandlerMayDestroyItsWindowWhichLeavesTheObjectDetachedAndReusable) {
    const HCURSOR cursor = CopyCursor(LoadCursorW(nullptr, IDC_HAND));
    child.SetCursor(UniqueCursor(cursor));
    // A clone carries the handle but not the cursor, which stays with its owner.
    EXPECT_EQ(child.Clone()->Cursor(), nullptr);
    // A handler that destroys its window (which forgets every handler) still runs to its
    // end with its state intact.
    const std::wstring state = L"a captured text that lives on the heap";
    std::wstring seenAfterDestroy;
    child.SetLeftDownHandler([this, state, &seenAfterDestroy]() {
        DestroyWindow(childHwnd);
        seenAfterDestroy = state;
        return 1;
    });
    SendMessageW(childHwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(seenAfterDestroy, state);
    EXPECT_EQ(child.Handle(), nullptr);
    EXPECT_EQ(child.Cursor(), nullptr);
    ICONINFO released{};
    EXPECT_FALSE(GetIconInfo(cursor, &released));  // the owner let it go with the window
    EXPECT_EQ(WindowRegistry::Find(childHwnd), nullptr);

    const HWND again = child.Create(parentHwnd);
    ASSERT_TRUE(again);
    EXPECT_EQ(WindowRegistry::Find(again), &child);
    // Handlers must be registered again: the click now reaches the control.
    SendMessageW(again, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(1, g_leftDownsAtControl);
}

}  // namespace
