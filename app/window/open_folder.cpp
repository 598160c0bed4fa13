#include "app/window/open_folder.h"

#include <windows.h>

#include <string>

#include "app/window/application.h"
#include "app/files/folder_path.h"

namespace {

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// "C:\photos\a.jpg" -> "C:\photos"; "C:\a.jpg" -> "C:\".
std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return path;
    return path.substr(0, slash == 2 && path[1] == L':' ? 3 : slash);
}

}  // namespace

bool OpenFolder(Application& app, const TextBlock& folder) {
    app.controls.directoryEdit.SetText(folder);
    return ReadDirectoryBoxFolder(app);
}

void OpenCommandLineFolder(Application& app) {
    // The raw line, read as a path: the C runtime's rules would take the backslash of a
    // drive root "E:\" as escaping its closing quote.
    const std::wstring folder = FirstCommandLineArgument(GetCommandLineW());
    if (!folder.empty())
        OpenFolder(app, TextBlock::FromWide(folder));
}

int32_t OpenDroppedFiles(Application& app, const TextBlock* paths) {
    if (!paths)
        return 0;
    // Several items dropped at once: the first one counts.
    const std::wstring_view all = paths->WideView();
    const std::wstring first(all.substr(0, all.find(L"\r\n")));
    if (first.empty())
        return 0;
    // Asked before the directory box changes, so that No leaves the box, the list and its
    // selection as they were; the read below then finds nothing pending.
    if (!MayReadAnotherFolder(app))
        return 0;
    if (IsFolder(first)) {
        OpenFolder(app, TextBlock::FromWide(first));
        return 0;
    }
    if (OpenFolder(app, TextBlock::FromWide(FolderOf(first))))
        SelectFileRow(app, TextBlock::FromWide(first));
    return 0;
}

void SelectFileRow(Application& app, const TextBlock& path) {
    const std::wstring_view full = path.WideView();
    const size_t slash = full.find_last_of(L"\\/");
    SelectRowWhenListed(app.listing, app.fileRows, app.controls.fileList,
                        slash == std::wstring_view::npos ? full : full.substr(slash + 1));
}
