// The line of facts under a photo in the preview: pixel size, time, camera, exposure and
// file size, each left out when the file lacks it, joined by " · ". Platform-free, like the
// reader whose facts it shows.
//
//   6000×4000 · 2026-01-28 14:05:09 · NIKON D850 · 1/250 s f/2.8 ISO 400 50 mm · 8.3 MB
#pragma once

#include <cstdint>
#include <string>

#include "app/metadata/image_metadata.h"

// What the file system says of the file.
struct FileFacts {
    uint64_t size = 0;
    std::string lastWriteTime;  // local time, "YYYY-MM-DD hh:mm:ss"; empty when unknown
};

// Each fact of the line on its own (UTF-8); empty when the file lacks it.
std::string PixelSizeFact(const ImageMetadata& photo);  // after the orientation
std::string TimeFact(const ImageMetadata& photo, const FileFacts& file);
std::string CameraFact(const ImageMetadata& photo);
std::string ShutterSpeedFact(const Rational& seconds);  // "1/250 s", "2.5 s"
std::string ApertureFact(const Rational& fNumber);      // "f/2.8", "f/16"
std::string FocalLengthFact(const Rational& millimetres);
std::string FileSizeFact(uint64_t bytes);  // "8.3 MB", "512 KB"

// The whole line (UTF-8). A file that is no photo passes an empty ImageMetadata: its line
// is its time and its size.
std::string FactsLine(const ImageMetadata& photo, const FileFacts& file);
