// Programs started by the tests, and temporary directories they work in.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "tests/support/wait.h"

// A fresh directory under %TEMP%, deleted with everything in it on destruction.
class TempDirectory {
  public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::wstring& Path() const { return path_; }
    // Path of `name` inside the directory.
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

  private:
    std::wstring path_;
};

// Full path of a program built beside the running test executable.
std::wstring ProgramPath(const std::wstring& exeName);

// A started program; terminated on destruction when it is still running.
class TestProcess {
  public:
    // `arguments` is appended to the quoted program path as given.
    explicit TestProcess(const std::wstring& program, const std::wstring& arguments = L"",
                         const std::wstring& workingDirectory = L"");
    ~TestProcess();
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_; }
    bool Running() const;
    // The exit code, or nothing when the program is still running at the deadline.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs = kDefaultWaitMs);
    // Waits until the program waits for input (its first window is up and idle).
    bool WaitForIdle(DWORD timeoutMs = kDefaultWaitMs);
    void Terminate();

  private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// File helpers for checking what a program did on disk.
bool FileExists(const std::wstring& path);
bool DirectoryExists(const std::wstring& path);
std::optional<std::string> ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
