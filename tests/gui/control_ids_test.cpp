// Child-window identifiers: the one a creator passes is the control's, and leaves the
// counter alone; creations without one take the counter's next values. That each kind of
// control has the identifier it is given is checked in the program's windows.
#include "tests/gui/gui_controls_fixture.h"
#include "ui/button_control.h"
#include "ui/combo_box_control.h"
#include "ui/edit_control.h"
#include "ui/label_control.h"
#include "ui/list_view_control.h"
#include "ui/virtual_list_view.h"

namespace {

using ControlIdsTest = ControlsTest;

TEST_F(ControlIdsTest, GivenIdentifiersLeaveTheCounterAndTheOthersTakeItsNextValues) {
    const int32_t counter = ControlIdCounter;
    LabelControl label, unnamedLabel;
    EditControl edit;
    ComboBoxControl combo;
    ButtonControl button, namedButton;
    ListViewControl list;
    VirtualListViewControl virtualList, unnamedVirtualList;
    ASSERT_EQ(1, label.Create(Parent(), ChildWindowId{601}, std::nullopt, std::nullopt, 0, 0));
    ASSERT_EQ(1, edit.Create(Parent(), ChildWindowId{602}, std::nullopt, std::nullopt, 0, 30));
    ASSERT_EQ(1, combo.Create(Parent(), ChildWindowId{603}, CBS_DROPDOWNLIST, 0, 60));
    ASSERT_EQ(1, button.Create(Parent(), ChildWindowId{604}, std::nullopt, 0, 0, 90));
    ASSERT_EQ(1, list.Create(Parent(), ChildWindowId{605}, LVS_REPORT, 100, 0));
    ASSERT_EQ(1, virtualList.Create(Parent(), ChildWindowId{606}, LVS_REPORT, 220, 0));
    EXPECT_EQ(counter, ControlIdCounter);

    ASSERT_EQ(1, unnamedLabel.Create(Parent(), std::nullopt, std::nullopt, 0, 120));
    // A button given its identifier the older way still uses up a counter value.
    ASSERT_EQ(1, namedButton.Create(Parent(), std::nullopt, 700, 0, 0, 150));
    ASSERT_EQ(1, unnamedVirtualList.Create(Parent(), LVS_REPORT, 340, 0));
    EXPECT_EQ(counter + 1, GetDlgCtrlID(unnamedLabel.Handle()));
    EXPECT_EQ(700, GetDlgCtrlID(namedButton.Handle()));
    EXPECT_EQ(counter + 3, GetDlgCtrlID(unnamedVirtualList.Handle()));
    EXPECT_EQ(counter + 3, ControlIdCounter);
    // The virtual list stays virtual however it is created.
    EXPECT_NE(0, GetWindowLongW(unnamedVirtualList.Handle(), GWL_STYLE) & LVS_OWNERDATA);
}

}  // namespace
