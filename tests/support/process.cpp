#include "tests/support/process.h"

#include <vector>

namespace {

// Removes a folder and everything in it by exact paths. The shell's delete cuts paths
// longer than MAX_PATH and then acts on whatever the cut path names, which under Wine
// was the current directory.
void RemoveTree(const std::wstring& exactFolder) {
    WIN32_FIND_DATAW found = {};
    const HANDLE search = FindFirstFileW((exactFolder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = exactFolder + L"\\" + name;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(exactFolder.c_str());
}

}  // namespace

TempDirectory::TempDirectory() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static LONG counter = 0;
    for (;;) {
        std::wstring candidate = std::wstring(base) + L"zemo-test-" +
                                 std::to_wstring(GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(InterlockedIncrement(&counter)) + L"-" +
                                 std::to_wstring(GetTickCount64() % 100000);
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return;
    }
}

TempDirectory::~TempDirectory() {
    if (path_.size() > 2 && path_[1] == L':' && path_[2] == L'\\')
        RemoveTree(L"\\\\?\\" + path_);
}

std::wstring ProgramPath(const std::wstring& exeName) {
    wchar_t self[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    return path.substr(0, path.find_last_of(L'\\') + 1) + exeName;
}

TestProcess::TestProcess(const std::wstring& program, const std::wstring& arguments,
                         const std::wstring& workingDirectory) {
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(0);
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup,
                       &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = info.dwProcessId;
    }
}

TestProcess::~TestProcess() {
    if (!process_)
        return;
    if (Running()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

bool TestProcess::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> TestProcess::WaitForExit(DWORD timeoutMs) {
    if (!process_)
        return std::nullopt;
    const bool ended = WaitUntil([&] { return !Running(); }, timeoutMs);
    if (!ended)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

bool TestProcess::WaitForIdle(DWORD timeoutMs) {
    return process_ && WaitForInputIdle(process_, timeoutMs) == 0;
}

void TestProcess::Terminate() {
    if (Running())
        TerminateProcess(process_, 1);
}

bool FileExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, chunk, sizeof chunk, &read, nullptr)) && read > 0)
        bytes.append(chunk, read);
    CloseHandle(file);
    if (!ok)
        return std::nullopt;
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    CloseHandle(file);
    return ok;
}
