// A read-only IStream over a file opened with read, write and delete sharing, so that
// decoding a large file never stops anyone from copying, moving or deleting it.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <string>

#include "app/base/unique_file.h"

// Opens `path` for reading with every kind of sharing; empty when it cannot be opened.
UniqueFile OpenFileShared(const std::wstring& path);

// A new stream (reference count 1) that reads through `file` and closes it when the last
// reference goes.
IStream* CreateSharedFileStream(UniqueFile file);
