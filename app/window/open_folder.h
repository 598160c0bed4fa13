// Opening a folder from outside the program: a folder given on the command line (by
// "Open with" or a shortcut), and folders or files dropped onto the main window. Each is
// read as if it had been typed into the directory box and "读取文件列表" clicked.
#pragma once

#include <cstdint>

#include "runtime/text.h"

struct Application;

// Puts `folder` into the directory box and reads it; a path that is not a folder gets
// the same message as typing it does. True when the read started.
bool OpenFolder(Application& app, const TextBlock& folder);

// Opens the folder named by the first command-line argument, if there is one
// (FirstCommandLineArgument).
void OpenCommandLineFolder(Application& app);

// The main window's drop handler, given the dropped paths one per line: a folder is
// opened; a file opens its folder and selects the file's row. With operations pending it
// asks first, and on No changes nothing.
int32_t OpenDroppedFiles(Application& app, const TextBlock* paths);

// Makes the row of the file with this full path the selected and current row of the
// file list, as soon as the read of its folder lists it.
void SelectFileRow(Application& app, const TextBlock& path);
