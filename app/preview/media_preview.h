// The preview at the right of the file list: photos in the photo pane, video and audio
// files in the media player.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/preview/step_pace.h"
#include "runtime/text.h"

struct Application;
class MediaPlayerHost;

// What the preview shows and can show.
struct MediaPreview {
    // The full path last handed to the player, the missing block when none.
    TextBlock previewedPath;
    HWND imagePane = nullptr;
    // The extensions the installed decoders claim; asked for on the first selection.
    std::optional<std::vector<std::wstring>> imageExtensions;
    // How the focus travels, so the photos ahead of it are prepared first.
    StepPace pace;
    int32_t focusedPosition = -1;
    // The full-screen window while the pane is in it, and the pane's place in the main
    // window to come back to.
    HWND fullScreenWindow = nullptr;
    RECT paneRect = {};
    // The player's window, which goes to full screen with the pane.
    HWND playerWindow = nullptr;
    // The last row a rule acted on in full screen, until its result is shown, and where the
    // rule sent it.
    int32_t ruleRow = -1;
    std::wstring ruleTarget;
};

// Creates the player and the photo pane over it (hidden until a photo is focused). The
// imaging component is asked which extensions its decoders claim on the first selection.
void CreatePreviewPane(MediaPreview& preview, MediaPlayerHost& player, HWND parent, int32_t x,
                       int32_t y, int32_t width, int32_t height);
// Places the photo pane and the player, when the window's layout changes (in full screen,
// the place they come back to).
void MovePreviewPane(MediaPreview& preview, int32_t x, int32_t y, int32_t width, int32_t height);

// The file list's item-selected handler, for the row shown at `position`. A photo (an
// extension an installed decoder claims) shows in the photo pane with the player hidden and
// stopped, and the photos ahead in the direction of travel are prepared; a video or audio file
// shows the player again and plays; any other row leaves the preview as it is.
int32_t PreviewSelectedFile(Application& app, int32_t position);

// Before a file is moved (UTF-16 full path): the player lets go of it when it holds it,
// since an open file cannot be moved, and the pane forgets its preview. Decoding never
// holds a file, so nothing else has to wait.
void ReleasePreviewedFile(MediaPreview& preview, MediaPlayerHost& player, const TextBlock& path);

// The video and audio extensions the player is given, compared without regard to case.
bool IsPlayableMediaExtension(std::wstring_view extension);
