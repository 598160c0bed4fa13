#include "app/media_preview.h"

#include <windows.h>

#include "app/file_enumeration.h"
#include "app/file_names.h"
#include "app/objects.h"

namespace {

// The full path last handed to the player, the missing block when none.
TextBlock g_previewedPath;

}  // namespace

int32_t PreviewSelectedFile(int32_t row, intptr_t) {
    const TextBlock& entry = FilePathList.At(row + 1);
    const Text path = FromUtf16(entry);
    const Text extension = ExtensionOf(path);
    if (extension == Text(".mp4") || extension == Text(".mp3")) {
        Objects().mediaPlayer.SetUrl(path);
        g_previewedPath = entry;
    }
    return 0;
}

void ReleasePreviewedFile(const TextBlock& path) {
    if (g_previewedPath.IsMissing())
        return;
    // File names compare without regard to case, as the file system does.
    if (CompareStringOrdinal(g_previewedPath.Wide(), -1, path.Wide(), -1, TRUE) != CSTR_EQUAL)
        return;
    Objects().mediaPlayer.SetUrl(Text(""));  // an empty URL closes the media and its file
    g_previewedPath = TextBlock();
}
