// Parts of code page 936 paths. The scans step over two-byte characters, so a second
// byte that happens to be "\" or "." is never taken for a separator, whatever the
// system's ANSI code page is.
#pragma once

#include "runtime/text.h"

// The last component of a path, extension included; "" when the path ends with "\".
Text FileNameFromPath(const Text& path);

// The extension of the last component, from its last "." on; "" when there is none.
Text ExtensionOf(const Text& path);
