#include "tests/support/row_presses.h"

#include <algorithm>
#include <vector>

#include "tests/support/input.h"

int FileRowOf(ZemoApp& app, const std::wstring& name) {
    const std::vector<std::wstring> names = app.FileList().Column(1);
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

bool PressOnFile(ZemoApp& app, const std::wstring& name, std::initializer_list<WORD> keys) {
    const int row = FileRowOf(app, name);
    if (row < 0 || !app.ClickFileRow(row))
        return false;
    PressKeys(keys);
    return true;
}

::testing::AssertionResult RowResultIs(ZemoApp& app, int row, const std::wstring& result,
                                       DWORD timeoutMs) {
    if (WaitUntil([&] { return app.FileList().Text(row, 3) == result; }, timeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "row " << row << " shows " << ::testing::PrintToString(app.FileList().Text(row, 3))
           << " (" << ::testing::PrintToString(app.FileList().Text(row, 1)) << "), not "
           << ::testing::PrintToString(result);
}
