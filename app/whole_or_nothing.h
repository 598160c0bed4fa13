// Copy and move of one file that either complete or leave the target folder as it was:
// a copy or a move onto another volume that stops half-way (a full disk, a vanished
// source) removes the partial file it made. Both take exact (\\?\) paths and never
// replace an existing file.
#pragma once

#include <string>

bool CopyWholeOrNothing(const std::wstring& source, const std::wstring& destination);
bool MoveWholeOrNothing(const std::wstring& source, const std::wstring& destination);
