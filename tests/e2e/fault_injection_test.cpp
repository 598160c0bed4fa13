// Faults from outside the program while it sorts: a read-only or full target, files and
// folders that vanish, a name the target already holds, a held source. Each press reports
// its failure in the row, leaves no partial file, and changes nothing else.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "tests/support/config_file.h"
#include "tests/support/row_presses.h"
#include "tests/support/host_shell.h"
#include "tests/support/sorting_files.h"
#include "tests/support/zemo_app.h"
#include "ui/unique_handle.h"

namespace {

// Every entry of a folder with its bytes, or with its size and a hash of them where they
// are too many to print: what "nothing else changed" compares.
std::map<std::wstring, std::optional<std::string>> ContentsOf(const std::wstring& folder) {
    std::map<std::wstring, std::optional<std::string>> contents;
    for (const std::wstring& name : FolderListing(folder)) {
        std::optional<std::string> bytes = ReadFileBytes(folder + L"\\" + name);
        if (bytes && bytes->size() > 64)
            bytes = std::to_string(bytes->size()) + " bytes, hash " +
                    std::to_string(std::hash<std::string>{}(*bytes));
        contents[name] = bytes;
    }
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
// added, a name the target already holds, a target on a read-only mount, and on a full
// volume of its own: a copy that does not fit, a move that does not fit and a move whose source is
// held (copied over, but not deleted). Each fails in its row and changes nothing; then a move to
// that volume works.
TEST(FaultInjectionTest, VanishedTakenReadOnlyOrFullTargetsAndHeldSourcesFailAndChangeNothing) {
    // A file system of 1 MB, mounted by the test script where it runs as root.
    wchar_t volume[MAX_PATH] = {};
    const bool hasSmall = GetEnvironmentVariableW(L"ZEMO_TEST_SMALL_VOLUME", volume, MAX_PATH);
    const std::wstring small = volume;
    const TempDirectory source, targets;
    const std::string big(3 << 20, 'x');
    for (const auto& [name, content] : {std::pair<const wchar_t*, std::string>{L"gone.mp4", "gone"},
                                        {L"kept.mp4", "kept"},
                                        {L"earlier.mp4", "mine"},
                                        {L"big.bin", big},
                                        {L"big moved.bin", big},
                                        {L"held.txt", "h"},
                                        {L"moved.txt", "m"}})
        WriteFileBytes(source / name, content);
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
         KeyNameOf('R') + L"=复制文件|" + readOnly, KeyNameOf('O') + L"=移动文件|" + readOnly,
         KeyNameOf('S') + L"=复制文件|" + small, KeyNameOf('T') + L"=移动文件|" + small}));
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.LoadDirectory(source.Path(), 7));

    ASSERT_TRUE(DeleteFileW((source / L"gone.mp4").c_str()));
    ASSERT_TRUE(RemoveDirectoryW(vanishing.c_str()));
    const auto sources = ContentsOf(source.Path());
    const auto targetFolders = ContentsOf(targets.Path());
    const auto inTarget = ContentsOf(target);
    const auto inReadOnly = ContentsOf(readOnly);
    const UniqueKernelHandle held(CreateFileW((source / L"held.txt").c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, held.Get());

    // Presses on one row alternate copy and move, so each awaits a result of its own.
    struct Press {
        const wchar_t* file;
        char key;
        const wchar_t* result;
    };
    const Press presses[] = {
        {L"gone.mp4", 'C', L"复制失败"},    {L"gone.mp4", 'M', L"移动失败"},
        {L"earlier.mp4", 'C', L"复制失败"}, {L"earlier.mp4", 'M', L"移动失败"},
        {L"kept.mp4", 'V', L"复制失败"},    {L"kept.mp4", 'W', L"移动失败"},
        {L"kept.mp4", 'R', L"复制失败"},    {L"kept.mp4", 'O', L"移动失败"},
        {L"big.bin", 'S', L"复制失败"},     {L"big moved.bin", 'T', L"移动失败"},
        {L"held.txt", 'T', L"移动失败"}};
    for (const Press& press : presses) {
        // The read-only and the full target's keys only where they could be mounted.
        if (((press.key == 'R' || press.key == 'O') && !mount.Mounted()) ||
            ((press.key == 'S' || press.key == 'T') && !hasSmall))
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
    if (hasSmall) {
        EXPECT_TRUE(FolderListing(small).empty());
        ASSERT_TRUE(PressOnFile(app, L"moved.txt", {'T'}));
        EXPECT_TRUE(RowResultIs(app, FileRowOf(app, L"moved.txt"), L"移动成功"));
        EXPECT_FALSE(FileExists(source / L"moved.txt"));
        EXPECT_EQ("m", ReadFileBytes(small + L"\\moved.txt"));
        EXPECT_EQ(std::vector<std::wstring>{L"moved.txt"}, FolderListing(small));
        DeleteFileW((small + L"\\moved.txt").c_str());
    }
    if (!mount.Mounted() || !hasSmall)
        GTEST_SKIP() << "no read-only bind mount or 1 MB file system here (scripts/test.sh "
                        "mounts them as root)";
}
