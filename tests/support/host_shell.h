// The host system under Wine: its names for paths and its shell, for tests that mount
// folders or make many files faster than the system calls can.
#pragma once

#include <string>

// The host system's name of a path, in single quotes for the shell; empty when there is
// no host system (outside Wine).
std::string HostPath(const std::wstring& path);
// Runs a command of the host's shell as the user running Wine (root here, so it may
// mount) and waits for it; true when it ended with status 0.
bool RunHostShell(const std::string& command);
