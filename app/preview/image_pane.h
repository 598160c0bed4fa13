// The photo pane: a child window that shows one decoded preview fitted and centred on a
// neutral background, or "无法预览此文件" for a file that cannot be decoded. It owns the
// previewer that decodes for it, which ends with the window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/preview/image_preview.h"

// The pane's window class.
inline constexpr wchar_t kImagePaneClass[] = L"ZemoImagePane";

// Creates the pane, hidden, at the given place in the parent's client area; null on failure.
HWND CreateImagePane(HWND parent, int x, int y, int width, int height);

// The part of the pane's client area the photo is fitted into: all but the line of the
// focused file's facts at its bottom.
RECT ImagePanePhotoArea(HWND pane);

// Shows the pane with the focused photo: at once when its image is made already, else its
// placeholder as soon as the fast lane has read it, then the photo when decoded (the
// background meanwhile). The files ahead are prepared after it, so stepping to them shows
// them at once. The request's box is the pane's own.
void ShowImageInPane(HWND pane, PreviewRequest request);

// The key legend over the photo: F1 shows it with these entries, or hides it; Esc and a
// click on the pane hide it; stepping to another file keeps it. Hiding gives whether it
// was shown.
void ToggleKeyLegend(HWND pane, std::vector<std::wstring> entries);
bool HideKeyLegend(HWND pane);
bool KeyLegendShown(HWND pane);

// Drops any preview of the file (it is being moved or replaced).
void ForgetImageInPane(HWND pane, const std::wstring& path);

// Full screen: the pane draws on black, and its bottom line shows what ShowImagePaneLine
// gives (the file, then its result) instead of the photo's facts, fading 2 s after it last
// changed.
void SetImagePaneFullScreen(HWND pane, bool fullScreen);
void ShowImagePaneLine(HWND pane, std::wstring line);
// What a double-click on the pane does.
void SetImagePaneDoubleClick(HWND pane, std::function<void()> doubleClicked);
