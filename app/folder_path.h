// A folder named from outside the program, as typed into the directory box, turned into
// the path the system means by it.
#pragma once

#include <string>
#include <string_view>

// `path` as Windows normalises it before it opens it: "/" read as "\", doubled separators
// and a final one dropped (not a root's: "C:\", "\\server\share"), trailing blanks and
// dots trimmed from each part but "." and "..". The system trims them too, but Wine only
// from the last part, so "D:\photos \" would name a folder that cannot be listed.
// "\\?\" and "\\.\" paths are returned as they are, as Windows leaves them.
std::wstring NormalizedFolderPath(std::wstring_view path);
