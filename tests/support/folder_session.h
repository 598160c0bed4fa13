// The real program on folders of the test's own: files written into a source folder, a
// config given, the program started and its listing read; a target folder for the rules.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/image_files.h"
#include "tests/support/process.h"
#include "tests/support/wait.h"
#include "tests/support/zemo_app.h"

// Files by name, each with its bytes.
using FileContents = std::vector<std::pair<std::wstring, std::string>>;

// A config.ini holding these lines under "[设置]".
std::string SettingsConfig(const std::wstring& lines);

class FolderSessionTest : public ::testing::Test {
  protected:
    // Writes `files` into the source folder under their exact names, starts the program with
    // `config` and reads the folder, waiting until the list shows `rows` rows (by default the
    // files written).
    void StartOn(std::string config, const FileContents& files = {}, int rows = -1);

    int RowOf(const std::wstring& name);
    std::wstring ResultOf(const std::wstring& name);
    // Clicks the row of `name`, presses `key` and waits for `result` in the row.
    bool PressOn(const std::wstring& name, WORD key, const std::wstring& result,
                 DWORD timeoutMs = kDefaultWaitMs);
    // Makes the row of `name` the only selected one through a click.
    bool SelectFile(const std::wstring& name);
    // Chooses "撤销" in the right-click menu of the row of `name`.
    bool UndoByMenu(const std::wstring& name);
    // The journal's records beside the program.
    std::vector<std::vector<std::wstring>> Journal();
    // The temporary file a running copy writes in the target folder; empty when none is.
    std::wstring PartialFile();

    // The preview pane, and a wait until it is on screen and its pixels satisfy `condition`.
    HWND Pane();
    bool PaneShows(const std::function<bool(const ScreenShot&)>& condition);

    TempDirectory source_;
    TempDirectory target_;
    std::unique_ptr<ZemoApp> app_;
};
