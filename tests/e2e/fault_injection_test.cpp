// Faults from outside the program while it sorts: a read-only target, files and folders
// that vanish. Each press reports its failure in the row, leaves no partial file, and
// changes nothing else. Held sources and a full disk are in the background operations tests.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "tests/support/config_file.h"
#include "tests/support/row_presses.h"
#include "tests/support/host_shell.h"
#include "tests/support/sorting_files.h"
#include "tests/support/zemo_app.h"

namespace {

// Every entry of a folder with its bytes (the files here are a few bytes each): what
// "nothing else changed" compares.
std::map<std::wstring, std::optional<std::string>> ContentsOf(const std::wstring& folder) {
    std::map<std::wstring, std::optional<std::string>> contents;
    for (const std::wstring& name : FolderListing(folder))
        contents[name] = ReadFileBytes(folder + L"\\" + name);
    return contents;
}

// A folder bound onto itself read-only for the length of a test, unmounted on destruction
// (before the folder's temporary parent is removed).
class ReadOnlyMount {
  public:
    explicit ReadOnlyMount(const std::wstring& folder) : folder_(HostPath(folder)) {
        mounted_ = !folder_.empty() &&
                   RunHostShell("mount -o bind,ro " + folder_ + " " + folder_ + " >/dev/null 2>&1");
    }
    ~ReadOnlyMount() {
        if (mounted_)
            RunHostShell("umount " + folder_ + " || umount -l " + folder_);
    }
    ReadOnlyMount(const ReadOnlyMount&) = delete;
    ReadOnlyMount& operator=(const ReadOnlyMount&) = delete;

    bool Mounted() const { return mounted_; }

  private:
    std::string folder_;
    bool mounted_ = false;
};

}  // namespace

// A source deleted since the list was read, a target folder deleted since the rule was
// added, and a target on a read-only mount.
TEST(FaultInjectionTest, VanishedSourcesAndTargetsAndAReadOnlyTargetFail) {
    const TempDirectory source, targets;
    WriteFileBytes(source / L"gone.mp4", "gone");
    WriteFileBytes(source / L"kept.mp4", "kept");
    const std::wstring target = targets / L"target";
    const std::wstring vanishing = targets / L"vanishing";
    const std::wstring readOnly = targets / L"readonly";
    ASSERT_TRUE(CreateDirectoryW(vanishing.c_str(), nullptr));
    for (const std::wstring& folder : {target, readOnly}) {
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        WriteFileBytes(folder + L"\\earlier.mp4", "earlier");
    }
    const ReadOnlyMount mount(readOnly);
    if (mount.Mounted()) {
        ASSERT_FALSE(WriteFileBytes(readOnly + L"\\probe", "x"));
    }
    ZemoApp app(RuleConfig(
        {KeyNameOf('C') + L"=复制文件|" + target, KeyNameOf('M') + L"=移动文件|" + target,
         KeyNameOf('V') + L"=复制文件|" + vanishing, KeyNameOf('W') + L"=移动文件|" + vanishing,
         KeyNameOf('R') + L"=复制文件|" + readOnly, KeyNameOf('O') + L"=移动文件|" + readOnly}));
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.LoadDirectory(source.Path(), 2));

    ASSERT_TRUE(DeleteFileW((source / L"gone.mp4").c_str()));
    ASSERT_TRUE(RemoveDirectoryW(vanishing.c_str()));
    const auto sources = ContentsOf(source.Path());
    const auto targetFolders = ContentsOf(targets.Path());
    const auto inTarget = ContentsOf(target);
    const auto inReadOnly = ContentsOf(readOnly);

    // Presses on one row alternate copy and move, so each awaits a result of its own.
    struct Press {
        const wchar_t* file;
        char key;
        const wchar_t* result;
    };
    const Press presses[] = {{L"gone.mp4", 'C', L"复制失败"}, {L"gone.mp4", 'M', L"移动失败"},
                             {L"kept.mp4", 'V', L"复制失败"}, {L"kept.mp4", 'W', L"移动失败"},
                             {L"kept.mp4", 'R', L"复制失败"}, {L"kept.mp4", 'O', L"移动失败"}};
    for (const Press& press : presses) {
        // The read-only target's keys only where it could be mounted.
        if ((press.key == 'R' || press.key == 'O') && !mount.Mounted())
            continue;
        ASSERT_TRUE(PressOnFile(app, press.file, {static_cast<WORD>(press.key)}));
        const int row = FileRowOf(app, press.file);
        EXPECT_TRUE(RowResultIs(app, row, press.result))
            << press.key << " on " << press.file << ": " << app.FileList().Text(row, 3);
    }
    EXPECT_FALSE(DirectoryExists(vanishing));
    EXPECT_EQ(sources, ContentsOf(source.Path()));
    EXPECT_EQ(targetFolders, ContentsOf(targets.Path()));
    EXPECT_EQ(inTarget, ContentsOf(target));
    EXPECT_EQ(inReadOnly, ContentsOf(readOnly));
    if (!mount.Mounted())
        GTEST_SKIP() << "no read-only bind mount here (mounting needs root under Wine)";
}
