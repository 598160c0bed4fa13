// FolderBrowser: the shell's folder-selection dialog (SHBrowseForFolderW). It is not a
// window object and raises no events; Browse runs the dialog and GetPath hands back the chosen
// folder.
//
// All folder browsers of the process share one initial-folder text: constructing a
// browser or configuring one resets it, and the browser configured last with a folder
// decides where the next dialog opens.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "runtime/text.h"

// The browse parameters kept between calls: the fields of BROWSEINFOW, with the title
// held as a UTF-16 text block. No display-name buffer is ever set.
struct BrowseParameters {
    HWND owner = nullptr;
    PCIDLIST_ABSOLUTE root = nullptr;
    TextBlock title;
    UINT flags = 0;
    BFFCALLBACK callback = nullptr;
    LPARAM callbackData = 0;
    int image = 0;
};

class FolderBrowser {
  public:
    // Zeroed parameters, no chosen folder; resets the shared initial-folder text.
    FolderBrowser();

    // Frees the chosen folder's item list.
    virtual ~FolderBrowser();
    // The same parameters and its own copy of the chosen item list.
    std::unique_ptr<FolderBrowser> Clone() const;
    // Resets the shared initial-folder text; then keeps the title when given, makes the
    // dialog open at the folder when given, and ORs the flags in when given (flags are
    // never cleared).
    void Configure(std::optional<TextBlock> title = std::nullopt,
                   std::optional<TextBlock> initialFolder = std::nullopt,
                   std::optional<UINT> flags = std::nullopt);
    // Runs the dialog (owner 0: none). 1 when a folder was chosen, 0 on cancel.
    int32_t Browse(HWND owner);
    // The chosen folder's file-system path without a trailing "\" (a drive root keeps
    // it), and forgets the choice. The empty text after a cancel, for a folder without a
    // file-system path, and at the second call.
    TextBlock GetPath();

    const BrowseParameters& Parameters() const { return parameters_; }

  protected:
    FolderBrowser(const FolderBrowser& other);
    FolderBrowser& operator=(const FolderBrowser&) = delete;

  private:
    // Item lists come from the shell's allocator and go back to it.
    struct ShellAllocatorFree {
        void operator()(ITEMIDLIST* items) const;
    };

    BrowseParameters parameters_;
    std::unique_ptr<ITEMIDLIST, ShellAllocatorFree> chosen_;
};
