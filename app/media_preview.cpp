#include "app/media_preview.h"

#include <shlwapi.h>
#include <wrl/client.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/file_rows.h"
#include "app/image_decoder.h"
#include "app/image_pane.h"
#include "app/objects.h"

namespace {

// The full path last handed to the player, the missing block when none.
TextBlock g_previewedPath;
HWND g_imagePane = nullptr;

// The full path (UTF-16) of a file-list row; empty when there is no such row.
std::wstring RowPath(int32_t row) {
    if (row < 0 || row >= FileRowStore().RowCount())
        return {};
    return FileRowStore().Path(row);
}

std::wstring ExtensionOf(const std::wstring& path) {
    return LowerExtension(PathFindExtensionW(path.c_str()));
}

// The extensions the installed decoders claim, asked for on the first selection rather
// than at start-up: loading the imaging component takes longer than the window itself.
const std::vector<std::wstring>& ImageExtensions() {
    static const std::vector<std::wstring> extensions = [] {
        Microsoft::WRL::ComPtr<IWICImagingFactory> factory;
        if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&factory))))
            return std::vector<std::wstring>();
        return InstalledImageExtensions(factory.Get());
    }();
    return extensions;
}

bool IsImageExtension(const std::wstring& extension) {
    const std::vector<std::wstring>& known = ImageExtensions();
    return !extension.empty() && std::find(known.begin(), known.end(), extension) != known.end();
}

void StopAndHidePlayer() {
    MediaPlayerHost& player = Objects().mediaPlayer;
    if (!g_previewedPath.IsMissing()) {
        player.SetWideUrl(TextBlock::EmptyWide());  // an empty URL closes the media and its file
        g_previewedPath = TextBlock();
    }
    if (player.IsVisible())
        player.SetVisible(false);
}

void Play(const std::wstring& path) {
    if (g_imagePane && IsWindowVisible(g_imagePane))
        ShowWindow(g_imagePane, SW_HIDE);
    MediaPlayerHost& player = Objects().mediaPlayer;
    if (!player.IsVisible())
        player.SetVisible(true);
    g_previewedPath = TextBlock::FromWide(path);
    player.SetWideUrl(g_previewedPath);
    player.Play();
}

}  // namespace

void CreatePreviewPane(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height) {
    g_imagePane = CreateImagePane(parent, x, y, width, height);
    // The preview starts playback itself. Left to start on its own, the player would also
    // "play" the empty URL that closes a file before it is moved, and each such attempt
    // leaves one of its threads behind for the rest of the session.
    Objects().mediaPlayer.SetAutoStart(false);
}

void MovePreviewPane(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (g_imagePane)
        MoveWindow(g_imagePane, x, y, width, height, TRUE);
}

bool IsPlayableMediaExtension(std::wstring_view extension) {
    static constexpr std::wstring_view kMediaExtensions[] = {
        L".mp4", L".m4v", L".mov", L".wmv", L".avi", L".mkv", L".webm", L".mpg", L".mpeg",
        L".3gp", L".mp3", L".m4a", L".aac", L".wav", L".wma", L".flac", L".ogg"};
    const std::wstring lower = LowerExtension(extension);
    return std::find(std::begin(kMediaExtensions), std::end(kMediaExtensions), lower) !=
           std::end(kMediaExtensions);
}

int32_t PreviewSelectedFile(int32_t row, intptr_t) {
    const std::wstring path = RowPath(row);
    const std::wstring extension = ExtensionOf(path);
    if (g_imagePane && IsImageExtension(extension)) {
        StopAndHidePlayer();
        ShowImageInPane(g_imagePane, path, {RowPath(row + 1), RowPath(row - 1)});
    } else if (IsPlayableMediaExtension(extension)) {
        Play(path);
    }
    return 0;
}

void ReleasePreviewedFile(const TextBlock& path) {
    if (g_imagePane)
        ForgetImageInPane(g_imagePane, std::wstring(path.WideView()));
    if (g_previewedPath.IsMissing())
        return;
    // File names compare without regard to case, as the file system does.
    if (CompareStringOrdinal(g_previewedPath.Wide(), -1, path.Wide(), -1, TRUE) != CSTR_EQUAL)
        return;
    Objects().mediaPlayer.SetWideUrl(TextBlock::EmptyWide());
    g_previewedPath = TextBlock();
}
