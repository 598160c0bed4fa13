// The "\\?\" form of a full path: the system then takes the name exactly as written, so
// a file named "a." or "a " or "con.mp4" is that file and not "a" or a device, and paths
// over 260 characters work.
#pragma once

#include <string>
#include <string_view>

// `path` is a full path ("D:\dir\name" or "\\server\share\dir\name"). The folder part is
// made full and tidy ("." and "..", "/" and doubled separators), the last component is
// kept exactly. A UNC path becomes "\\?\UNC\server\share\...". A path already in the
// "\\?\" form is returned as it is.
std::wstring ExactPath(std::wstring_view path);
