// Playing the selected video or audio file in the media player.
#pragma once

#include <cstdint>

#include "runtime/text.h"

// The file list's item-selected handler: plays the row's file when its extension is
// exactly ".mp4" or ".mp3".
int32_t PreviewSelectedFile(int32_t row, intptr_t itemData);

// Before a file is moved: when the player holds exactly this file (UTF-16 full path), the
// player lets go of it, since an open file cannot be moved.
void ReleasePreviewedFile(const TextBlock& path);
