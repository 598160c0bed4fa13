// How much memory another process has held at its peak.
#pragma once

#include <windows.h>

#include <string>

// The peak resident memory in megabytes of the process started as `program`. Under Wine
// the process is found by its command line among the Linux processes (Z:\proc) and its
// VmHWM read, since Wine does not report the memory of another process; on Windows it is
// the process's PeakWorkingSetSize. 0 when neither is known.
double PeakMegabytes(HANDLE process, const std::wstring& program);
