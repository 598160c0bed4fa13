// Faults from outside the program while it sorts: a read-only target, files and folders
// that vanish. Each press reports its failure in the row, leaves no partial file, and
// changes nothing else. Held sources and a full disk are in the background operations tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>
#include <string>

#include "tests/support/config_file.h"
#include "tests/support/input.h"
#include "tests/support/zemo_app.h"

namespace {

// Every file of a folder with its size and a digest of its bytes: what "nothing else
// changed" compares, short enough to print.
using FolderContents = std::map<std::wstring, std::string>;

std::string Digest(const std::string& bytes) {
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char byte : bytes)
        hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ull;
    return std::to_string(bytes.size()) + " bytes #" + std::to_string(hash);
}

FolderContents ContentsOf(const std::wstring& folder) {
    FolderContents contents;
    WIN32_FIND_DATAW found = {};
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return contents;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::optional<std::string> bytes = ReadFileBytes(folder + L"\\" + name);
        contents[name] = bytes ? Digest(*bytes) : "unreadable";
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return contents;
}

// The row's result once the operation has ended: the row may first show that it waits or
// how far it has come.
std::wstring FinalResult(ZemoApp& app, int row, bool copy) {
    const std::wstring success = copy ? L"复制成功" : L"移动成功";
    const std::wstring failure = copy ? L"复制失败" : L"移动失败";
    std::wstring result;
    WaitUntil([&] {
        result = app.FileList().Text(row, 3);
        return result == success || result == failure;
    });
    return result;
}

int RowOf(ZemoApp& app, const std::wstring& name) {
    const std::vector<std::wstring> names = app.FileList().Column(1);
    for (size_t row = 0; row < names.size(); ++row)
        if (names[row] == name)
            return static_cast<int>(row);
    return -1;
}

// Presses `key` on the row of `name` and gives the row's final result.
std::wstring PressOn(ZemoApp& app, const std::wstring& name, char key, bool copy) {
    const int row = RowOf(app, name);
    if (row < 0 || !app.ClickFileRow(row))
        return L"<no row " + name + L">";
    PressKeys({static_cast<WORD>(key)});
    return FinalResult(app, row, copy);
}

// Runs a shell command of the host system as the user running Wine (root here, so it
// may mount), and tells whether it succeeded. Wine lets a program start a host program
// through ntdll's __wine_unix_spawnvp; elsewhere there is no host shell.
bool RunHostCommand(const std::string& command, const std::wstring& successMarker) {
    using Spawn = LONG(WINAPI*)(char* const argv[], int wait);
    const auto spawn = reinterpret_cast<Spawn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
    if (!spawn)
        return false;
    DeleteFileW(successMarker.c_str());
    std::string shell = "/bin/sh", option = "-c", line = command;
    char* const argv[] = {shell.data(), option.data(), line.data(), nullptr};
    spawn(argv, TRUE);
    return FileExists(successMarker);
}

// The host system's name of a path, in single quotes for the shell.
std::string HostPath(const std::wstring& path) {
    using UnixName = char*(__cdecl*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(path.c_str()) : nullptr;
    if (!name)
        return {};
    const std::string quoted = std::string("'").append(name).append("'");
    HeapFree(GetProcessHeap(), 0, name);
    return quoted;
}

// A folder bound onto itself with mount `options` ("-o bind,ro") for the length of a test,
// unmounted on destruction (before the folder's temporary parent is removed).
class HostMount {
  public:
    HostMount(const std::wstring& folder, const std::string& options) : folder_(HostPath(folder)) {
        const std::wstring marker = folder + L".mounted";
        const std::string mounted = HostPath(marker);
        if (folder_.empty() || mounted.empty())
            return;
        mounted_ = RunHostCommand("mount " + options + " " + folder_ + " " + folder_ +
                                      " >/dev/null 2>&1 && : >" + mounted,
                                  marker);
        DeleteFileW(marker.c_str());
    }
    ~HostMount() {
        if (mounted_)
            RunHostCommand("umount " + folder_ + " || umount -l " + folder_, L"");
    }
    HostMount(const HostMount&) = delete;
    HostMount& operator=(const HostMount&) = delete;

    bool Mounted() const { return mounted_; }

  private:
    std::string folder_;
    bool mounted_ = false;
};

class FaultInjectionTest : public ::testing::Test {
  protected:
    // The program started with its list showing the `files` files of `source_`.
    bool Start(ZemoApp& app, int files) {
        return app.Start() && app.LoadDirectory(source_.Path(), files);
    }

    TempDirectory source_;
    TempDirectory targets_;
};

}  // namespace

TEST_F(FaultInjectionTest, ATargetOnAReadOnlyMountFails) {
    const std::wstring target = targets_ / L"readonly";
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    WriteFileBytes(target + L"\\earlier.mp4", "earlier");
    const HostMount mount(target, "-o bind,ro");
    if (!mount.Mounted())
        GTEST_SKIP() << "no read-only bind mount here (mounting needs root under Wine)";
    ASSERT_FALSE(WriteFileBytes(target + L"\\probe", "x"));
    WriteFileBytes(source_ / L"copied.mp4", "sorted");
    WriteFileBytes(source_ / L"moved.mp4", "sorted");
    const FolderContents sources = ContentsOf(source_.Path());
    const FolderContents targets = ContentsOf(target);
    ZemoApp app(RuleConfig(
        {KeyNameOf('C') + L"=复制文件|" + target, KeyNameOf('M') + L"=移动文件|" + target}));
    ASSERT_TRUE(Start(app, 2));
    EXPECT_EQ(L"复制失败", PressOn(app, L"copied.mp4", 'C', true));
    EXPECT_EQ(L"移动失败", PressOn(app, L"moved.mp4", 'M', false));
    EXPECT_EQ(sources, ContentsOf(source_.Path()));
    EXPECT_EQ(targets, ContentsOf(target));
}

// A source deleted since the list was read, and a target folder deleted since the rule
// was added.
TEST_F(FaultInjectionTest, VanishedSourcesAndTargetsFail) {
    WriteFileBytes(source_ / L"gone.mp4", "gone");
    WriteFileBytes(source_ / L"kept.mp4", "kept");
    const std::wstring target = targets_ / L"target";
    const std::wstring vanishing = targets_ / L"vanishing";
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(vanishing.c_str(), nullptr));
    WriteFileBytes(target + L"\\earlier.mp4", "earlier");
    ZemoApp app(RuleConfig(
        {KeyNameOf('C') + L"=复制文件|" + target, KeyNameOf('M') + L"=移动文件|" + target,
         KeyNameOf('V') + L"=复制文件|" + vanishing, KeyNameOf('W') + L"=移动文件|" + vanishing}));
    ASSERT_TRUE(Start(app, 2));

    ASSERT_TRUE(DeleteFileW((source_ / L"gone.mp4").c_str()));
    ASSERT_TRUE(RemoveDirectoryW(vanishing.c_str()));
    const FolderContents sources = ContentsOf(source_.Path());
    const FolderContents targets = ContentsOf(targets_.Path());
    const FolderContents inTarget = ContentsOf(target);

    EXPECT_EQ(L"复制失败", PressOn(app, L"gone.mp4", 'C', true));
    EXPECT_EQ(L"移动失败", PressOn(app, L"gone.mp4", 'M', false));
    EXPECT_EQ(L"复制失败", PressOn(app, L"kept.mp4", 'V', true));
    EXPECT_EQ(L"移动失败", PressOn(app, L"kept.mp4", 'W', false));
    EXPECT_FALSE(DirectoryExists(vanishing));
    EXPECT_EQ(sources, ContentsOf(source_.Path()));
    EXPECT_EQ(targets, ContentsOf(targets_.Path()));
    EXPECT_EQ(inTarget, ContentsOf(target));
}
