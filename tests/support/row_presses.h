// A named file's row in the real program's list: found, clicked and sorted with a rule's
// key, its result awaited.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "tests/support/wait.h"
#include "tests/support/zemo_app.h"

// The row whose name cell is exactly `name`; -1 when no row shows it.
int FileRowOf(ZemoApp& app, const std::wstring& name);
// Clicks the row of `name` (which gives the list the focus) and presses `keys` together.
bool PressOnFile(ZemoApp& app, const std::wstring& name, std::initializer_list<WORD> keys);
// Waits until the row's result cell shows `result`; a failure says what the row showed.
::testing::AssertionResult RowResultIs(ZemoApp& app, int row, const std::wstring& result,
                                       DWORD timeoutMs = kDefaultWaitMs);
