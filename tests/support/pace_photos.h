// Photos for stepping through the real program's pane at the pace of a hand, and what the
// pane tells about them. Each photo has a colour of its own with a square of another colour
// (the marker) right of its centre; its EXIF thumbnail has the photo's colour and no marker,
// so the screen tells the placeholder from the sharp image.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// A colour per photo index: neighbours differ by half the range in some channel, and none
// lies near the pane's background grey.
COLORREF DistinctColour(int index);
// The marker's colour on a photo of `colour`: far from it in every channel but one at most.
COLORREF MarkerColour(COLORREF colour);

std::wstring PacePhotoName(int index);  // "photo-007.jpg"
int PacePhotoIndex(const std::wstring& name);

// Writes photo `index` of width x height: its colour, its marker and, unless told otherwise,
// its thumbnail. A textured photo has its colour only in a block around the centre and
// grain elsewhere, so it decodes as slowly as a camera's. Gives the thumbnail's bytes
// (empty without one), nothing on failure.
std::optional<std::string> WritePacePhoto(const std::wstring& path, int index, int width,
                                          int height, bool textured = false, bool thumbnail = true);
// Writes photos 0 .. count-1 into the folder, skipping those already there.
bool WritePacePhotos(const std::wstring& folder, int count, int width, int height,
                     bool textured = false);

// Where a width x height photo fitted into the pane lands on the screen: the photo's
// centre, and its marker's.
struct PhotoPoints {
    POINT centre;
    POINT marker;
};
PhotoPoints PhotoPointsOnScreen(HWND pane, int width, int height);

COLORREF ScreenPixel(POINT point);

// The number of decodes of whole photos the pane has started since the program started
// (placeholders not counted); nothing when the pane does not answer.
std::optional<int> DecodesStarted(HWND pane);
// The same count once it has stayed the same for 700 ms; nothing when it never does.
std::optional<int> SettledDecodes(HWND pane);

// An environment variable of this process, and so of the programs it starts, set for the
// object's lifetime and put back after.
class ScopedEnvironmentVariable {
  public:
    ScopedEnvironmentVariable(const wchar_t* name, const std::wstring& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

  private:
    const wchar_t* name_;
    std::optional<std::wstring> previous_;
};
