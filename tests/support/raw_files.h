// Camera RAW files built by the tests around real JPEGs, after each format's layout: the
// sensor data is filler. Wine has no codec for any RAW format, so a photo the program
// shows from one of them can only have come from the JPEG inside.
#pragma once

#include <cstddef>
#include <string>

// A NEF: big-endian, the orientation in IFD0, the JPEG in a SubIFD, then `filler` bytes.
std::string NefBytes(const std::string& jpeg, int orientation, size_t filler = 5000);
// A DNG: a small preview as IFD0's JPEG strip, a larger one in a SubIFD.
std::string DngBytes(const std::string& small, const std::string& large);
// A DNG with no JPEG inside, only an orientation and filler.
std::string DngWithoutJpegBytes();
// A RAF: the JPEG at the offset its header gives (it carries its own orientation).
std::string RafBytes(const std::string& jpeg);
// A CR3: the thumbnail in THMB, the preview in PRVW, the full-size JPEG as the first
// track's only sample.
std::string Cr3Bytes(const std::string& thumbnail, const std::string& preview,
                     const std::string& full);
