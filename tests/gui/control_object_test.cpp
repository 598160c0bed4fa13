// Event dispatch of attached windows: reflection of parent notifications to the child's
// object, handler results that answer a message, detaching on destruction and reuse.
#include "ui/control_object.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/wait.h"
#include "ui/library.h"
#include "ui/window.h"
#include "ui/window_registry.h"

namespace {

constexpr int kChildId = 77;
const wchar_t kChildClass[] = L"ZemoTestChild";

// What the test child's own window procedure and the objects' hooks saw.
struct Seen {
    int leftDownsAtControl = 0;
    int cursorRequestsAtControl = 0;
    int childCommands = 0;
    HWND commandParent = nullptr;
    HWND commandChild = nullptr;
    int32_t commandCode = 0;
    int32_t commandId = 0;
    int childNotifications = 0;
    int windowNotifications = 0;
    int32_t notificationCode = 0;
    HWND notificationSender = nullptr;
    int menuCommands = 0;
    int32_t menuCommandId = 0;
    int enters = 0;
    int moves = 0;
    int leaves = 0;
    std::wstring dropped;
    int drops = 0;
};
Seen g_seen;

LRESULT CALLBACK ChildProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN)
        ++g_seen.leftDownsAtControl;
    if (message == WM_SETCURSOR)
        ++g_seen.cursorRequestsAtControl;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A child control whose reflected hooks record their calls and answer with `answer`.
class TestControl : public ControlObject {
  public:
    HWND Create(HWND parent) {
        return CreateControlWindow(
            parent, 0, TextBlock::FromWide(kChildClass), nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 50,
            20, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kChildId)), nullptr);
    }
    LRESULT CommandHook(HWND parent, HWND child, int32_t code, int32_t id) override {
        ++g_seen.childCommands;
        g_seen.commandParent = parent;
        g_seen.commandChild = child;
        g_seen.commandCode = code;
        g_seen.commandId = id;
        return answer;
    }
    LRESULT NotificationHook(HWND, HWND sender, int32_t code, UINT_PTR, LPARAM) override {
        ++g_seen.childNotifications;
        g_seen.notificationSender = sender;
        g_seen.notificationCode = code;
        return answer;
    }
    LRESULT ColourHook(HWND, HDC) override { return answer; }

    LRESULT answer = 0;
};

// A window that records the notifications reflected to itself.
class RecordingWindow : public Window {
  public:
    LRESULT NotificationHook(HWND, HWND sender, int32_t code, UINT_PTR, LPARAM) override {
        ++g_seen.windowNotifications;
        g_seen.notificationSender = sender;
        g_seen.notificationCode = code;
        return 0;
    }
};

int32_t RecordMenuCommand(int32_t id) {
    ++g_seen.menuCommands;
    g_seen.menuCommandId = id;
    return 0;
}
int32_t AnswerFive(int32_t, int32_t, int32_t) {
    return 5;
}
int32_t AnswerZero(int32_t, int32_t, int32_t) {
    return 0;
}
int32_t CountEnter() {
    return ++g_seen.enters, 1;
}
int32_t CountMove(int32_t, int32_t, int32_t) {
    return ++g_seen.moves, 0;
}
int32_t CountLeave() {
    return ++g_seen.leaves, 0;
}
int32_t RecordDrop(const TextBlock* list) {
    ++g_seen.drops;
    g_seen.dropped = list->Wide();
    return 0;
}

class ControlObjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        InitialiseLibrary();
        g_seen = Seen{};
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &ChildProcedure;
        windowClass.hInstance = LibraryInstance;
        windowClass.lpszClassName = kChildClass;
        RegisterClassExW(&windowClass);

        parentHwnd = parent.Show({.x = 0, .y = 0, .width = 300, .height = 200, .visible = false});
        ASSERT_TRUE(parentHwnd);
        parent.SetMenuCommandHandler(&RecordMenuCommand);
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
};

TEST_F(ControlObjectTest, CreationAttachesSubclassesAndGivesTheGuiFont) {
    EXPECT_EQ(child.Handle(), childHwnd);
    EXPECT_EQ(WindowRegistry::Find(childHwnd), &child);
    EXPECT_EQ(GetWindowLongPtrW(childHwnd, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(&ControlObject::WndProc));
    EXPECT_TRUE(GetWindowLongW(childHwnd, GWL_STYLE) & WS_CLIPSIBLINGS);
    EXPECT_EQ(child.ControlId(), kChildId);
    // A second creation is refused while the object has a window.
    EXPECT_EQ(child.Create(parentHwnd), nullptr);
    // So is attaching a window that another object holds.
    TestControl other;
    EXPECT_EQ(other.AttachWindow(childHwnd), nullptr);
    EXPECT_EQ(other.AttachWindow(nullptr), nullptr);
    EXPECT_EQ(other.AttachDialogItem(parentHwnd, 12345, true), nullptr);
    EXPECT_EQ(WindowRegistry::Find(childHwnd), &child);
}

TEST_F(ControlObjectTest, CommandFromAChildReachesItsHookAndMenuCommandsReachTheWindow) {
    child.answer = 42;
    EXPECT_EQ(SendMessageW(parentHwnd, WM_COMMAND, MAKEWPARAM(kChildId, BN_CLICKED),
                           reinterpret_cast<LPARAM>(childHwnd)),
              42);
    EXPECT_EQ(g_seen.childCommands, 1);
    EXPECT_EQ(g_seen.commandParent, parentHwnd);
    EXPECT_EQ(g_seen.commandChild, childHwnd);
    EXPECT_EQ(g_seen.commandCode, BN_CLICKED);
    EXPECT_EQ(g_seen.commandId, kChildId);
    EXPECT_EQ(g_seen.menuCommands, 0);

    // lParam 0 (a menu or accelerator) is not reflected and becomes OnMenuCommand.
    SendMessageW(parentHwnd, WM_COMMAND, MAKEWPARAM(9, 0), 0);
    EXPECT_EQ(g_seen.childCommands, 1);
    EXPECT_EQ(g_seen.menuCommands, 1);
    EXPECT_EQ(g_seen.menuCommandId, 9);
}

TEST_F(ControlObjectTest, NotificationsAndColourRequestsAreReflectedToTheSender) {
    child.answer = 7;
    NMHDR header{childHwnd, kChildId, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(SendMessageW(parentHwnd, WM_NOTIFY, kChildId, reinterpret_cast<LPARAM>(&header)), 7);
    EXPECT_EQ(g_seen.childNotifications, 1);
    EXPECT_EQ(g_seen.notificationCode, NM_CLICK);

    // A tooltip's request for its text goes to the window's own object.
    header.code = static_cast<UINT>(TTN_GETDISPINFOW);
    SendMessageW(parentHwnd, WM_NOTIFY, kChildId, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(g_seen.childNotifications, 1);
    EXPECT_EQ(g_seen.windowNotifications, 1);
    EXPECT_EQ(g_seen.notificationCode, static_cast<int32_t>(TTN_GETDISPINFOW));
    EXPECT_EQ(g_seen.notificationSender, childHwnd);

    const HBRUSH brush = GetSysColorBrush(COLOR_WINDOW);
    child.answer = reinterpret_cast<LRESULT>(brush);
    const HDC dc = GetDC(childHwnd);
    EXPECT_EQ(SendMessageW(parentHwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(childHwnd)),
              reinterpret_cast<LRESULT>(brush));
    ReleaseDC(childHwnd, dc);
}

TEST_F(ControlObjectTest, LeftDownHandlerResultAnswersTheClickInsteadOfTheControl) {
    child.SetLeftDownHandler(&AnswerFive);
    EXPECT_EQ(SendMessageW(childHwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4)), 5);
    EXPECT_EQ(g_seen.leftDownsAtControl, 0);

    child.SetLeftDownHandler(&AnswerZero);
    SendMessageW(childHwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
    EXPECT_EQ(g_seen.leftDownsAtControl, 1);
}

TEST_F(ControlObjectTest, AHandlerCarriesStateAndOutlivesItsOwnReplacementOrWindow) {
    std::vector<std::pair<int32_t, int32_t>> clicks;
    child.SetLeftDownHandler([&clicks](int32_t x, int32_t y) {
        clicks.emplace_back(x, y);
        return 0;
    });
    SendMessageW(childHwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
    SendMessageW(childHwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 8));
    EXPECT_EQ(clicks, (std::vector<std::pair<int32_t, int32_t>>{{3, 4}, {7, 8}}));

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
}

TEST_F(ControlObjectTest, MouseEnterIsRaisedOncePerVisitAndCanSwallowTheMove) {
    child.SetMouseEnterHandler(&CountEnter);
    child.SetMouseMoveHandler(&CountMove);
    child.SetMouseLeaveHandler(&CountLeave);
    SendMessageW(childHwnd, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    SendMessageW(childHwnd, WM_MOUSEMOVE, 0, MAKELPARAM(2, 1));
    EXPECT_EQ(g_seen.enters, 1);
    EXPECT_EQ(g_seen.moves, 1);  // the entering move was answered by OnMouseEnter
    SendMessageW(childHwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(g_seen.leaves, 1);
    SendMessageW(childHwnd, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(g_seen.enters, 2);
}

// An HDROP as the shell builds it: DROPFILES, then the wide paths, each zero-terminated,
// and a final zero.
HGLOBAL MakeDrop(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const std::wstring& path : paths)
        list += path + L'\0';
    list += L'\0';
    const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    memcpy(reinterpret_cast<uint8_t*>(files) + sizeof(DROPFILES), list.data(),
           list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

TEST_F(ControlObjectTest, DroppedFilesArriveAsOneListWithoutTrailingBreak) {
    child.SetDropFilesHandler(&RecordDrop);
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'x') + L".txt";
    SendMessageW(childHwnd, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({L"C:\\a.txt", L"C:\\b b.mp3", longPath})), 0);
    EXPECT_EQ(g_seen.drops, 1);
    EXPECT_EQ(g_seen.dropped, L"C:\\a.txt\r\nC:\\b b.mp3\r\n" + longPath);
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
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, width);
    EXPECT_EQ(box.bottom, 2);
    for (int x : {0, 2, 998, 1000, 1998, 2000})
        EXPECT_TRUE(PtInRegion(region, x, 0)) << x;
    for (int x : {1, 999, 1999})
        EXPECT_FALSE(PtInRegion(region, x, 0)) << x;
    EXPECT_TRUE(PtInRegion(region, 5, 1));
    EXPECT_FALSE(PtInRegion(region, 4, 1));
    EXPECT_FALSE(PtInRegion(region, 6, 1));
    DeleteObject(region);

    // A bitmap that is all transparent gives no shape and is left to the caller.
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
    EXPECT_EQ(g_seen.cursorRequestsAtControl, 0);
    // Over the border the request goes on to the control's own procedure, once.
    SendMessageW(childHwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(childHwnd),
                 MAKELPARAM(HTBORDER, WM_MOUSEMOVE));
    EXPECT_EQ(g_seen.cursorRequestsAtControl, 1);
}

TEST_F(ControlObjectTest, DestroyedWindowLeavesTheObjectDetachedAndReusable) {
    child.SetLeftDownHandler(&AnswerFive);
    child.SetMouseEnterHandler(&CountEnter);
    const HCURSOR cursor = CopyCursor(LoadCursorW(nullptr, IDC_HAND));
    child.SetCursor(UniqueCursor(cursor));
    // A clone carries the handle but not the cursor, which stays with its owner.
    EXPECT_EQ(child.Clone()->Cursor(), nullptr);
    DestroyWindow(childHwnd);
    EXPECT_EQ(child.Handle(), nullptr);
    EXPECT_EQ(child.Cursor(), nullptr);
    ICONINFO released{};
    EXPECT_FALSE(GetIconInfo(cursor, &released));  // the owner let it go with the window
    EXPECT_EQ(WindowRegistry::Find(childHwnd), nullptr);
    EXPECT_EQ(child.Exists(), 0);

    const HWND again = child.Create(parentHwnd);
    ASSERT_TRUE(again);
    EXPECT_EQ(WindowRegistry::Find(again), &child);
    // Handlers must be registered again: the click now reaches the control.
    SendMessageW(again, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(g_seen.leftDownsAtControl, 1);
}

TEST_F(ControlObjectTest, DisposedObjectOnlyUnsubclassesALiveWindow) {
    HWND hwnd = nullptr;
    {
        TestControl temporary;
        ASSERT_TRUE(
            temporary.AttachWindow(CreateWindowExW(0, kChildClass, nullptr, WS_CHILD, 0, 0, 10, 10,
                                                   parentHwnd, nullptr, LibraryInstance, nullptr)));
        hwnd = temporary.Handle();
        // A clone carries the handle but must not take the window from its original.
        temporary.Clone().reset();
        EXPECT_EQ(WindowRegistry::Find(hwnd), &temporary);
        EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC),
                  reinterpret_cast<LONG_PTR>(&ControlObject::WndProc));
    }
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(WindowRegistry::Find(hwnd), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&ChildProcedure));
}

}  // namespace
