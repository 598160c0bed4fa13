// Writes the tests' photos with EXIF thumbnails into a folder, each thumbnail's bytes
// beside its photo, for the check against exiftool (tests/scripts/metadata_compare.py
// --thumbnails): write_thumbnail_photos <folder>.
#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>

#include "tests/support/image_files.h"
#include "tests/support/pace_photos.h"
#include "tests/support/process.h"

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2)
        return 2;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring folder = argv[1];
    CreateDirectoryW(folder.c_str(), nullptr);
    // A plain photo of one colour, and one as the pace tests write them (texture, marker).
    const std::optional<std::string> plain = WriteJpegWithThumbnail(
        folder + L"\\plain.jpg", 640, 480, [](int, int) { return RGB(200, 30, 30); },
        RGB(30, 30, 200));
    const std::optional<std::string> pace =
        WritePacePhoto(folder + L"\\pace.jpg", 5, 1200, 800, true);
    return plain && pace && WriteFileBytes(folder + L"\\plain.thumbnail.jpg", *plain) &&
                   WriteFileBytes(folder + L"\\pace.thumbnail.jpg", *pace)
               ? 0
               : 1;
}
