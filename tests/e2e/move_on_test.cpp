// Moving on after a rule in the real program: with "处理后下一个" one key per file sorts
// consecutive rows in the order shown, even when the keys come faster than the screen, and
// an undo brings the focus back. Without it the focus stays where the user put it, as the
// sorting tests' presses rely on.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/support/config_file.h"
#include "tests/support/folder_session.h"
#include "tests/support/input.h"
#include "tests/support/key_strokes.h"
#include "tests/support/row_presses.h"
#include "tests/support/sorting_files.h"
#include "tests/support/wait.h"
#include "tests/support/zemo_app.h"

namespace {

constexpr int kFiles = 6;

class MoveOnTest : public FolderSessionTest {
  protected:
    // The program with a copy rule on C and `settings` under "设置", listing six files.
    void StartWith(const std::wstring& settings) {
        FileContents files;
        for (int i = 0; i < kFiles; ++i)
            files.emplace_back(L"file" + std::to_wstring(100 + i) + L".txt", std::to_string(i));
        StartOn(RuleConfig({KeyNameOf('C') + L"=复制文件|" + target_.Path()}) +
                    SettingsConfig(settings),
                files);
    }
    // The focus is on `position` and it alone is selected.
    bool FocusedAlone(int position) {
        return WaitUntil([&] {
            if (app_->FileList().FocusedRow() != position)
                return false;
            for (int other = 0; other < kFiles; ++other)
                if (app_->FileList().IsSelected(other) != (other == position))
                    return false;
            return true;
        });
    }
    std::wstring NameAt(int position) { return app_->FileList().Text(position, 1); }
};

}  // namespace

// The list runs backwards, so the row shown next is not the next row's number.
TEST_F(MoveOnTest, QuickPressesSortConsecutiveShownRowsAndUndoBringsTheFocusBack) {
    StartWith(L"处理后下一个=1\r\n倒序=1\r\n");
    ASSERT_TRUE(app_->ClickFileRow(0));
    SendBurst({StrokeOf('C'), StrokeOf('C'), StrokeOf('C')});
    for (int position = 0; position < 3; ++position)
        ASSERT_TRUE(RowResultIs(*app_, position, L"复制成功")) << "position " << position;
    ASSERT_TRUE(FocusedAlone(3));
    EXPECT_EQ(3, app_->FileList().SelectionMark());
    const std::vector<std::wstring> copied = FolderListing(target_.Path());
    EXPECT_EQ((std::set<std::wstring>{NameAt(0), NameAt(1), NameAt(2)}),
              std::set<std::wstring>(copied.begin(), copied.end()));
    EXPECT_EQ(L"", app_->FileList().Text(3, 3));

    PressKeys({VK_LCONTROL, 'Z'});
    ASSERT_TRUE(RowResultIs(*app_, 2, L"已撤销"));
    EXPECT_TRUE(FocusedAlone(2));

    // On the last row the focus stays.
    const int last = kFiles - 1;
    ASSERT_TRUE(app_->ClickFileRow(last));
    SendBurst({StrokeOf('C')});
    ASSERT_TRUE(RowResultIs(*app_, last, L"复制成功"));
    EXPECT_TRUE(FocusedAlone(last));
}
