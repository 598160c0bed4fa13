// Real image files written by the tests themselves through the imaging component's
// encoders, and reading the preview pane's pixels off the screen.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Writes a width x height image in the container format (GUID_ContainerFormatJpeg, Png,
// Tiff, Bmp) whose pixel (x, y) has colourAt(x, y).
bool WriteImage(const std::wstring& path, const GUID& container, int width, int height,
                const std::function<COLORREF(int, int)>& colourAt);
// The same picture's bytes, encoded in memory.
std::optional<std::string> EncodeImage(const GUID& container, int width, int height,
                                       const std::function<COLORREF(int, int)>& colourAt);
bool WriteSolidImage(const std::wstring& path, const GUID& container, int width, int height,
                     COLORREF colour);

// A copy of JPEG bytes with an APP1 "Exif" segment holding these TIFF bytes, placed right
// after the start-of-image marker.
std::string WithExifTiff(const std::string& jpeg, const std::string& tiff);

// A copy of JPEG bytes with an APP1 "Exif" segment holding this orientation, placed right
// after the start-of-image marker (big-endian TIFF when `bigEndian`).
std::string WithExifOrientation(const std::string& jpeg, int orientation, bool bigEndian = false);

// A copy of JPEG bytes with an APP1 "Exif" segment whose EXIF directory holds this
// DateTimeOriginal ("YYYY:MM:DD hh:mm:ss").
std::string WithExifCaptureTime(const std::string& jpeg, const std::string& dateTimeOriginal);

// A copy of JPEG bytes with an APP1 "Exif" segment whose second directory (IFD1) holds
// `thumbnail`, a JPEG, at JPEGInterchangeFormat for JPEGInterchangeFormatLength bytes:
// where cameras keep the small picture viewers show first.
std::string WithExifThumbnail(const std::string& jpeg, const std::string& thumbnail);

// The size cameras give their EXIF thumbnails.
constexpr int kExifThumbnailWidth = 160;
constexpr int kExifThumbnailHeight = 120;

// Writes a width x height JPEG whose pixel (x, y) has colourAt(x, y), with an EXIF
// thumbnail all of `thumbnailColour`; gives the thumbnail's bytes, nothing on failure.
std::optional<std::string> WriteJpegWithThumbnail(const std::wstring& path, int width, int height,
                                                  const std::function<COLORREF(int, int)>& colourAt,
                                                  COLORREF thumbnailColour);

// Colours within `tolerance` per channel (JPEG moves colours a little).
bool NearColour(COLORREF a, COLORREF b, int tolerance = 48);

// The pixels of a window's client area, or of a rectangle of the screen, as they are on the
// screen now. A small rectangle is quick to take, for timing what the screen shows.
class ScreenShot {
  public:
    explicit ScreenShot(HWND window);
    explicit ScreenShot(const RECT& onScreen);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The pixel at client coordinates (or from the rectangle's top left); black outside.
    COLORREF At(int x, int y) const;
    COLORREF Centre() const { return At(width_ / 2, height_ / 2); }

  private:
    void Take(POINT origin);
    int width_ = 0;
    int height_ = 0;
    std::vector<COLORREF> pixels_;
};
