#include "ui/folder_browser.h"

#include <wrl/client.h>

namespace {

TextBlock& SharedInitialFolder() {
    static TextBlock folder;
    return folder;
}

// Opens the dialog at the shared initial folder.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM) {
    const TextBlock& folder = SharedInitialFolder();
    if (message == BFFM_INITIALIZED && folder.WideLength() > 0)
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.Wide()));
    return 0;
}

}  // namespace

void FolderBrowser::ShellAllocatorFree::operator()(ITEMIDLIST* items) const {
    Microsoft::WRL::ComPtr<IMalloc> allocator;
    if (SUCCEEDED(SHGetMalloc(&allocator)))
        allocator->Free(items);
    else
        CoTaskMemFree(items);  // the shell's allocator is the COM task allocator
}

FolderBrowser::FolderBrowser() {
    SharedInitialFolder() = TextBlock();
}

FolderBrowser::FolderBrowser(const FolderBrowser& other)
    : parameters_(other.parameters_),
      chosen_(other.chosen_ ? ILClone(other.chosen_.get()) : nullptr) {}

FolderBrowser::~FolderBrowser() = default;

std::unique_ptr<FolderBrowser> FolderBrowser::Clone() const {
    return std::unique_ptr<FolderBrowser>(new FolderBrowser(*this));
}

void FolderBrowser::Configure(std::optional<TextBlock> title,
                              std::optional<TextBlock> initialFolder, std::optional<UINT> flags) {
    SharedInitialFolder() = TextBlock();
    if (title)
        parameters_.title = std::move(*title);
    if (initialFolder) {
        parameters_.callback = BrowseCallback;
        SharedInitialFolder() = std::move(*initialFolder);
    }
    if (flags)
        parameters_.flags |= *flags;
}

int32_t FolderBrowser::Browse(HWND owner) {
    parameters_.owner = owner;
    BROWSEINFOW info = {};
    info.hwndOwner = parameters_.owner;
    info.pidlRoot = parameters_.root;
    info.lpszTitle = parameters_.title.IsMissing() ? nullptr : parameters_.title.Wide();
    info.ulFlags = parameters_.flags;
    info.lpfn = parameters_.callback;
    info.lParam = parameters_.callbackData;
    info.iImage = parameters_.image;

    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);

    parameters_.owner = info.hwndOwner;
    parameters_.root = info.pidlRoot;
    parameters_.flags = info.ulFlags;
    parameters_.callback = info.lpfn;
    parameters_.callbackData = info.lParam;
    parameters_.image = info.iImage;
    // A choice not taken with GetPath is freed here rather than lost.
    chosen_.reset(chosen);
    return chosen ? 1 : 0;
}

TextBlock FolderBrowser::GetPath() {
    wchar_t path[MAX_PATH] = {};
    if (chosen_ && !SHGetPathFromIDListW(chosen_.get(), path))
        path[0] = L'\0';
    chosen_.reset();
    return TextBlock::FromWide(path);
}
