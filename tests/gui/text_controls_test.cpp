// Labels, edits, buttons and combo boxes on a real parent window: colours, and the events
// raised by real mouse and keyboard input. Texts outside the ANSI code page are checked
// end to end, in the main window's labels and its directory field.
#include <string>

#include "tests/gui/gui_controls_fixture.h"
#include "ui/button_control.h"
#include "ui/combo_box_control.h"
#include "ui/edit_control.h"
#include "ui/label_control.h"

namespace {

int clicks = 0;
int changes = 0;
int selectionChanges = 0;
int characters = 0;

class TextControlsTest : public ControlsTest {
  protected:
    void SetUp() override {
        ControlsTest::SetUp();
        clicks = changes = selectionChanges = characters = 0;
    }

    // Asks the parent for a control's colours the way the control does when it paints.
    static LRESULT ColourRequest(HWND control, UINT message, HDC dc) {
        return SendMessageW(GetParent(control), message, reinterpret_cast<WPARAM>(dc),
                            reinterpret_cast<LPARAM>(control));
    }
};

TEST_F(TextControlsTest, ColourRequestsAreAnsweredWithTheControlsBrushOrTheParentsPixels) {
    const COLORREF parentColour = RGB(0, 0, 160);
    ParentObject().SetBackgroundColour(parentColour);
    LabelControl label;
    ASSERT_EQ(1, label.Create(Parent(), TextBlock::FromWide(L"需要处理的文件目录："), std::nullopt,
                              20, 200, 300));
    const HDC dc = GetDC(label.Handle());
    label.SetTextColour(RGB(0, 0, 255));
    label.SetBackColour(RGB(255, 0, 0));
    const auto brush =
        reinterpret_cast<HBRUSH>(ColourRequest(label.Handle(), WM_CTLCOLORSTATIC, dc));
    ASSERT_NE(nullptr, brush);
    LOGBRUSH solid{};
    ASSERT_NE(0, GetObjectW(brush, sizeof solid, &solid));
    EXPECT_EQ(static_cast<UINT>(BS_SOLID), solid.lbStyle);
    EXPECT_EQ(RGB(255, 0, 0), solid.lbColor);
    EXPECT_EQ(RGB(0, 0, 255), GetTextColor(dc));
    EXPECT_EQ(RGB(255, 0, 0), GetBkColor(dc));

    label.SetBackColour(TextControl::kTransparent);
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)),
              ColourRequest(label.Handle(), WM_CTLCOLORSTATIC, dc));
    EXPECT_EQ(TRANSPARENT, GetBkMode(dc));
    ReleaseDC(label.Handle(), dc);

    // On the screen, counting a colour's pixels in the middle row of the label between
    // x = 60 and x = 150: the long text covers part of that row, a short one leaves it all
    // to the parent, also after the new text.
    const auto pixelsOf = [&](COLORREF colour) {
        const HDC screen = GetDC(label.Handle());
        int count = 0;
        for (int x = 60; x < 150; ++x)
            count += GetPixel(screen, x, 12) == colour;
        ReleaseDC(label.Handle(), screen);
        return count;
    };
    EXPECT_TRUE(WaitUntil([&] {
        const int parentPixels = pixelsOf(parentColour);
        return parentPixels > 0 && parentPixels < 90;
    }));
    label.SetText(TextBlock::FromWide(L"透明"));
    EXPECT_TRUE(WaitUntil([&] { return pixelsOf(parentColour) == 90; }));
    // A new colour reaches the screen through the parent's WM_CTLCOLORSTATIC.
    label.SetBackColour(RGB(0, 255, 0));
    EXPECT_TRUE(WaitUntil([&] { return pixelsOf(RGB(0, 255, 0)) == 90; }));
    ParentObject().SetBackgroundColour(GetSysColor(COLOR_BTNFACE));

    // A destroyed window takes the colours with it.
    DestroyWindow(label.Handle());
    EXPECT_EQ(0u, label.BackColour());
    EXPECT_EQ(0u, label.TextColour());
}

TEST_F(TextControlsTest, ButtonsRunTheirClickHandlerWhileTheirWindowLivesAndOwnTheirImages) {
    ButtonControl silent;  // no handler: a click does nothing
    ButtonControl counted;
    counted.SetClickHandler([] { return ++clicks, 0; });  // before Create, as the application does
    ASSERT_EQ(1, silent.Create(Parent(), std::nullopt, std::nullopt, 0, 10, 10));
    ASSERT_EQ(1, counted.Create(Parent(), TextBlock::FromWide(L"读取文件列表"), std::nullopt, 0, 10,
                                60, 120));
    const HBITMAP first = CreateBitmap(8, 8, 1, 32, nullptr);
    const HBITMAP second = CreateBitmap(8, 8, 1, 32, nullptr);
    silent.SetImage(UniqueBitmap(first));
    EXPECT_TRUE(silent.Style() & BS_BITMAP);
    EXPECT_EQ(reinterpret_cast<LRESULT>(first), silent.Send(BM_GETIMAGE, IMAGE_BITMAP, 0));
    silent.SetImage(UniqueBitmap(second));
    EXPECT_EQ(reinterpret_cast<LRESULT>(second), silent.Send(BM_GETIMAGE, IMAGE_BITMAP, 0));
    EXPECT_EQ(0u, GetObjectType(first));  // replaced, so released
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(second));

    ClickCentre(silent.Handle());
    ClickCentre(counted.Handle());
    ASSERT_TRUE(WaitUntil([] { return clicks == 1; }));
    // Input is handled in order, so the silent button's click is over too.
    EXPECT_EQ(1, clicks);
    EXPECT_TRUE(IsWindow(silent.Handle()));

    // Destroying the button forgets its handler; a new window needs a new registration.
    DestroyWindow(counted.Handle());
    ASSERT_EQ(1, counted.Create(Parent(), std::nullopt, std::nullopt, 0, 10, 60));
    ClickCentre(counted.Handle());
    ClickCentre(silent.Handle());
    ASSERT_TRUE(WaitUntil([&] { return GetFocus() == silent.Handle(); }));
    PumpMessages();
    EXPECT_EQ(1, clicks);
    DestroyWindow(silent.Handle());
    EXPECT_EQ(0u, GetObjectType(second));  // the image goes with the window
}

TEST_F(TextControlsTest, AReadOnlyCentredEditRefusesTypingWhileAPlainEditReportsChanges) {
    EditControl hotkey;
    EditControl directory;
    hotkey.SetCharHandler([] { return ++characters, 0; });
    directory.SetChangeHandler([] { return ++changes, 0; });
    ASSERT_EQ(1, hotkey.Create(Parent(), std::nullopt, ES_READONLY | ES_CENTER, 10, 10, 200));
    ASSERT_EQ(1, directory.Create(Parent(), std::nullopt, std::nullopt, 10, 50, 200));

    // The character reaches the read-only edit, which keeps its text.
    hotkey.Focus();
    PressKeys({'A'});
    ASSERT_TRUE(WaitUntil([] { return characters == 1; }));
    EXPECT_EQ(L"", hotkey.Text().WideView());

    directory.Focus();
    PressKeys({'B'});
    ASSERT_TRUE(WaitUntil([] { return changes == 1; }));
    EXPECT_EQ(L"b", directory.Text().WideView());

    // Text set by the program still shows in the read-only edit.
    hotkey.SetText(TextBlock::FromWide(L"Ctrl + A"));
    EXPECT_EQ(L"Ctrl + A", hotkey.Text().WideView());
    EXPECT_EQ(L"", EditControl().Text().WideView()) << "an edit without a window";
}

TEST_F(TextControlsTest, AnyCodePageComboBoxItemsSelectionAndMissingIndexes) {
    ComboBoxControl combo;
    combo.SetSelChangeHandler([] { return ++selectionChanges, 0; });
    ASSERT_EQ(1, combo.Create(Parent(), CBS_DROPDOWNLIST, 10, 10, 160));

    EXPECT_EQ(0, combo.SetCurSel(0));  // no items: nothing to select
    EXPECT_EQ(-1, combo.GetCurSel());
    EXPECT_EQ(0, combo.AddItem(TextBlock::FromWide(L"复制文件"), 11));
    EXPECT_EQ(1, combo.AddItem(TextBlock::FromWide(L"移动文件"), 22));
    EXPECT_EQ(22, combo.GetItemData(1));
    EXPECT_EQ(L"移动文件", combo.GetItemText(1).WideView());
    for (const TextBlock& missing : {combo.GetItemText(2), combo.GetItemText(-1)}) {
        EXPECT_EQ(L"", missing.WideView());
        EXPECT_EQ(static_cast<int32_t>(sizeof(wchar_t)), missing.ByteCount());
    }
    EXPECT_EQ(1, combo.SetCurSel(0));
    EXPECT_EQ(0, selectionChanges);  // a program's selection raises nothing

    // A key press in the focused box changes the selection and raises the event.
    combo.Focus();
    ASSERT_TRUE(WaitUntil([&] { return GetFocus() == combo.Handle(); }));
    PressKeys({VK_DOWN});
    ASSERT_TRUE(WaitUntil([] { return selectionChanges == 1; }));
    EXPECT_EQ(1, combo.GetCurSel());
}

}  // namespace
