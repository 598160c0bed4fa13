#include "app/preview/media_preview.h"

#include <shlwapi.h>
#include <wrl/client.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/metadata/raw_previews.h"
#include "app/window/application.h"
#include "app/preview/image_decoder.h"
#include "app/preview/image_pane.h"
#include "app/window/full_screen.h"
#include "app/base/unique_file.h"

namespace {

// The full path (UTF-16) of the row shown at a position of the file list; empty when there
// is no such row.
std::wstring PathAt(const FileRows& rows, int32_t position) {
    const int32_t row = RowAtPosition(rows, position);
    return row == FileRows::kNoIndex ? std::wstring() : rows.Path(row);
}

std::wstring ExtensionOf(const std::wstring& path) {
    return LowerExtension(PathFindExtensionW(path.c_str()));
}

// A file the player can open now. A row can outlive its file (moved by a rule or by
// another program), or another program can hold the file without sharing it; under Wine
// every play of a file that cannot be opened leaves one of the player's threads behind.
bool CanBeOpenedForReading(const std::wstring& path) {
    return static_cast<bool>(OwnedFile(CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

// The extensions the installed decoders claim, asked for on the first selection rather
// than at start-up: loading the imaging component takes longer than the window itself.
const std::vector<std::wstring>& ImageExtensions(MediaPreview& preview) {
    if (!preview.imageExtensions) {
        preview.imageExtensions.emplace();
        Microsoft::WRL::ComPtr<IWICImagingFactory> factory;
        if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_PPV_ARGS(&factory))))
            *preview.imageExtensions = InstalledImageExtensions(factory.Get());
    }
    return *preview.imageExtensions;
}

// Camera RAW files show the JPEG inside them, whether or not a codec for them is installed.
bool IsImageExtension(MediaPreview& preview, const std::wstring& extension) {
    if (IsRawExtension(extension))
        return true;
    const std::vector<std::wstring>& known = ImageExtensions(preview);
    return !extension.empty() && std::find(known.begin(), known.end(), extension) != known.end();
}

// The photos to prepare after the focused one: in the direction of travel, as many rows as
// the pace asks for, and at a slow pace the row just behind too, for a step back.
std::vector<std::wstring> PhotosAhead(Application& app, int32_t position) {
    const StepPace& pace = app.preview.pace;
    const int direction = pace.Direction();
    const int rows = pace.RowsAhead();
    std::vector<int32_t> positions;
    for (int step = 1; step <= rows; ++step)
        positions.push_back(position + direction * step);
    if (rows == 1)
        positions.push_back(position - direction);
    std::vector<std::wstring> photos;
    for (const int32_t at : positions) {
        std::wstring path = PathAt(app.fileRows, at);
        if (!path.empty() && IsImageExtension(app.preview, ExtensionOf(path)))
            photos.push_back(std::move(path));
    }
    return photos;
}

void StopAndHidePlayer(MediaPreview& preview, MediaPlayerHost& player) {
    if (!preview.previewedPath.IsMissing()) {
        player.SetWideUrl(TextBlock::EmptyWide());  // an empty URL closes the media and its file
        preview.previewedPath = TextBlock();
    }
    if (player.IsVisible())
        player.SetVisible(false);
}

void Play(MediaPreview& preview, MediaPlayerHost& player, const std::wstring& path) {
    const HWND pane = preview.imagePane;
    if (pane && IsWindowVisible(pane))
        ShowWindow(pane, SW_HIDE);
    if (!player.IsVisible())
        player.SetVisible(true);
    preview.previewedPath = TextBlock::FromWide(path);
    player.SetWideUrl(preview.previewedPath);
    player.Play();
}

}  // namespace

void CreatePreviewPane(MediaPreview& preview, MediaPlayerHost& player, HWND parent, int32_t x,
                       int32_t y, int32_t width, int32_t height) {
    preview.playerWindow = player.Create(parent, x, y, width, height);
    preview.imagePane = CreateImagePane(parent, x, y, width, height);
    preview.paneRect = {x, y, x + width, y + height};
    // The preview starts playback itself. Left to start on its own, the player would also
    // "play" the empty URL that closes a file before it is moved, and each such attempt
    // leaves one of its threads behind for the rest of the session.
    player.SetAutoStart(false);
}

void MovePreviewPane(MediaPreview& preview, int32_t x, int32_t y, int32_t width, int32_t height) {
    preview.paneRect = {x, y, x + width, y + height};
    if (preview.fullScreenWindow)
        return;
    for (const HWND window : {preview.playerWindow, preview.imagePane})
        if (window)
            MoveWindow(window, x, y, width, height, FALSE);
}

bool IsPlayableMediaExtension(std::wstring_view extension) {
    static constexpr std::wstring_view kMediaExtensions[] = {
        L".mp4", L".m4v", L".mov", L".wmv", L".avi", L".mkv", L".webm", L".mpg", L".mpeg",
        L".3gp", L".mp3", L".m4a", L".aac", L".wav", L".wma", L".flac", L".ogg"};
    const std::wstring lower = LowerExtension(extension);
    return std::find(std::begin(kMediaExtensions), std::end(kMediaExtensions), lower) !=
           std::end(kMediaExtensions);
}

int32_t PreviewSelectedFile(Application& app, int32_t position) {
    const std::wstring path = PathAt(app.fileRows, position);
    const std::wstring extension = ExtensionOf(path);
    const HWND pane = app.preview.imagePane;
    const int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                            PreviewClock::now().time_since_epoch())
                            .count();
    app.preview.pace.Step(app.preview.focusedPosition, position, now);
    app.preview.focusedPosition = position;
    if (pane && IsImageExtension(app.preview, extension)) {
        StopAndHidePlayer(app.preview, app.controls.mediaPlayer);
        const PreviewClock::time_point decodesFrom{
            std::chrono::milliseconds(app.preview.pace.DecodesFrom())};
        ShowImageInPane(
            pane,
            {.focused = path, .ahead = PhotosAhead(app, position), .decodesFrom = decodesFrom});
    } else if (IsPlayableMediaExtension(extension)) {
        if (pane)
            FitImageInPane(pane);  // the zoom is for photos
        if (CanBeOpenedForReading(path))
            Play(app.preview, app.controls.mediaPlayer, path);
        else
            StopAndHidePlayer(app.preview, app.controls.mediaPlayer);
    }
    return 0;
}

void ReleasePreviewedFile(MediaPreview& preview, MediaPlayerHost& player, const TextBlock& path) {
    TextBlock& previewed = preview.previewedPath;
    if (preview.imagePane)
        ForgetImageInPane(preview.imagePane, std::wstring(path.WideView()));
    if (previewed.IsMissing())
        return;
    // File names compare without regard to case, as the file system does.
    if (CompareStringOrdinal(previewed.Wide(), -1, path.Wide(), -1, TRUE) != CSTR_EQUAL)
        return;
    player.SetWideUrl(TextBlock::EmptyWide());
    previewed = TextBlock();
}
