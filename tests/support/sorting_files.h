// Helpers for tests that sort files through the real program: large files made quickly,
// folder listings and the operation journal read back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A file of `size` bytes, made without writing them (the file system keeps it sparse).
bool CreateLargeFile(const std::wstring& path, uint64_t size);
// Size of a file, or -1 when it cannot be read.
int64_t FileSizeOf(const std::wstring& path);
// Names directly inside a folder, "." and ".." left out.
std::vector<std::wstring> FolderListing(const std::wstring& folder);

// The journal's records after its header, each split into its fields; empty when the
// file is missing or does not start with the UTF-8 byte order mark.
std::vector<std::vector<std::wstring>> JournalRecords(const std::wstring& path);
