// A folder named from outside the program, as typed into the directory box or passed on
// the command line, turned into the path the system means by it.
#pragma once

#include <string>
#include <string_view>

// The first argument of a raw command line (as GetCommandLineW gives it), empty when
// there is none. Backslashes are taken literally, since a folder path holds no quotes:
// the shell writes a drive root as "E:\", which the C runtime's rules would read as
// `E:"` and run on into the next argument. Quotes only group blanks into the argument.
std::wstring FirstCommandLineArgument(std::wstring_view commandLine);

// `path` as Windows normalises it before it opens it: "/" read as "\", doubled separators
// and a final one dropped (not a root's: "C:\", "\\server\share"), trailing blanks and
// dots trimmed from each part but "." and "..". The system trims them too, but Wine only
// from the last part, so "D:\photos \" would name a folder that cannot be listed.
// "\\?\" and "\\.\" paths are returned as they are, as Windows leaves them.
std::wstring NormalizedFolderPath(std::wstring_view path);
