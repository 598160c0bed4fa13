// Randomised soak run of the real program: many real key presses over files of random
// content and sizes, with copy and move rules, one target missing and some names already
// present in the targets. Every press is checked against a model of the disk, and at the
// end every original file's bytes must be exactly where the model says, no file that was
// in a target before may have changed, and nothing may be lost. Between hotkeys the run
// steps through the list with Down and Up (sent in one burst with the hotkey) and at times
// selects several rows with Ctrl+click, which one press then sorts together.
// With "keep-both" the option "重名时保留两者" is on and half the files' names are taken in
// the targets, some with their " (2)" too: a different file must land under the first free
// numbered name, which the journal records, and an identical one nowhere.
// Usage: soak.exe <zemo.exe> [presses] [files] [seed] [keep-both]
#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/operations/free_name.h"
#include "tests/support/input.h"
#include "tests/support/remote_selection.h"
#include "tests/support/sorting_files.h"
#include "tests/support/zemo_app.h"

namespace {

uint64_t Hash(const std::string& bytes) {
    uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : bytes)
        h = (h ^ c) * 1099511628211ULL;
    return h ^ bytes.size();
}

std::string Gbk(const std::wstring& text) {
    const int size = WideCharToMultiByte(936, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(936, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::string Utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::wstring KeyNameOf(UINT key) {
    wchar_t name[256] = {};
    GetKeyNameTextW(static_cast<LONG>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC) << 16), name, 256);
    return name;
}

INPUT KeyInput(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    const bool extended = key == VK_UP || key == VK_DOWN;
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

// Optionally an arrow key, then the hotkey (with Ctrl when asked), in one SendInput call.
void SendHotkey(WORD arrow, WORD key, bool withControl) {
    std::vector<INPUT> inputs;
    if (arrow) {
        inputs.push_back(KeyInput(arrow, false));
        inputs.push_back(KeyInput(arrow, true));
    }
    if (withControl)
        inputs.push_back(KeyInput(VK_LCONTROL, false));
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    if (withControl)
        inputs.push_back(KeyInput(VK_LCONTROL, true));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

struct Rule {
    WORD key;
    bool withControl;
    bool copy;
    std::wstring target;
    bool targetExists;
};

struct SourceFile {
    std::wstring name;
    uint64_t hash;
    size_t size;
    bool inSource = true;
    std::set<std::wstring> copies;  // paths of the copies the program made
    std::wstring movedTo;           // path the file was moved to, or empty
};

// What a press must do to one file: succeed, putting it at `path`, or fail.
struct Expectation {
    bool success = false;
    std::wstring path;
};

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 2) {
        std::fprintf(stderr, "usage: soak <zemo.exe> [presses] [files] [seed]\n");
        return 2;
    }
    const int presses = argc > 2 ? _wtoi(argv[2]) : 2000;
    const int fileCount = argc > 3 ? _wtoi(argv[3]) : 200;
    const unsigned seed = argc > 4 ? static_cast<unsigned>(_wtoi(argv[4])) : 20261206u;
    const bool keepBoth = argc > 5 && std::wstring(argv[5]) == L"keep-both";
    std::mt19937 random(seed);
    // The key names come from the keyboard driver, loaded once this process has a window.
    CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);

    TempDirectory work;
    const std::wstring source = work / L"来源";
    CreateDirectoryW(source.c_str(), nullptr);
    std::vector<Rule> rules = {
        {'A', false, true, work / L"copies-a", true},  {'S', false, true, work / L"副本-s", true},
        {'D', false, false, work / L"moved-d", true},  {'F', true, false, work / L"moved-f", true},
        {'G', false, false, work / L"missing", false},
    };
    for (const Rule& rule : rules)
        if (rule.targetExists)
            CreateDirectoryW(rule.target.c_str(), nullptr);

    // Source files: random sizes (mostly small, some of several megabytes) and content;
    // names with Chinese, accented and Korean characters, some media files.
    const wchar_t* stems[] = {L"photo", L"录音", L"caf\u00e9", L"\ud55c\uad6d", L"clip", L"歌曲"};
    const wchar_t* extensions[] = {L".jpg", L".mp4", L".mp3", L".txt", L".MP3", L""};
    std::vector<SourceFile> files;
    for (int i = 0; i < fileCount; ++i) {
        const std::wstring name = std::wstring(stems[random() % 6]) + L"-" + std::to_wstring(i) +
                                  extensions[random() % 6];
        size_t size = random() % 20 == 0 ? 1000000 + random() % 7000000 : random() % 200000;
        std::string bytes(size, '\0');
        for (char& b : bytes)
            b = static_cast<char>(random());
        WriteFileBytes(source + L"\\" + name, bytes);
        files.push_back({name, Hash(bytes), bytes.size()});
    }
    // Names already present in the targets, with other content: never to be touched.
    std::map<std::wstring, uint64_t> foreign;
    for (int i = 0; i < (keepBoth ? fileCount / 2 : fileCount / 10); ++i) {
        const Rule& rule = rules[random() % 4];
        const std::wstring path = rule.target + L"\\" + files[random() % files.size()].name;
        const std::string bytes = "existing file " + std::to_string(i);
        if (!FileExists(path) && WriteFileBytes(path, bytes))
            foreign[path] = Hash(bytes);
        const std::wstring second = NumberedPath(path, 2);
        if (keepBoth && random() % 3 == 0 && !FileExists(second) && WriteFileBytes(second, bytes))
            foreign[second] = Hash(bytes);
    }

    std::string config = Gbk(L"[快捷键配置]") + "\r\n";
    for (const Rule& rule : rules) {
        const std::wstring hotkey = rule.withControl
                                        ? KeyNameOf(VK_CONTROL) + L"+" + KeyNameOf(rule.key)
                                        : KeyNameOf(rule.key);
        config +=
            Gbk(hotkey + L"=" + (rule.copy ? L"复制文件" : L"移动文件") + L"|" + rule.target) +
            "\r\n";
    }
    if (keepBoth)
        config += Gbk(L"[设置]\r\n重名时保留两者=1\r\n");

    ZemoApp app(config);
    if (!app.Start() || !app.LoadDirectory(source, fileCount)) {
        std::fprintf(stderr, "zemo.exe did not start or did not list the files\n");
        return 1;
    }
    RemoteListView& list = app.FileList();
    std::vector<int> fileOfRow(fileCount);
    for (int row = 0; row < fileCount; ++row) {
        const std::wstring shown = list.Text(row, 1);
        for (int i = 0; i < fileCount; ++i)
            if (Gbk(files[i].name) == Gbk(shown) || files[i].name == shown)
                fileOfRow[row] = i;
    }
    if (!app.ClickFileRow(0)) {
        std::fprintf(stderr, "could not focus the file list\n");
        return 1;
    }

    // Operations end in the background; each ended one is a line of the program's journal
    // (no path here holds a line break). A press is judged once its lines are there.
    const std::wstring journal = app.Directory() + L"\\操作记录.csv";
    size_t journalLines = 0;
    size_t journalRead = 0;
    const auto operationsEnded = [&] {
        const std::string bytes = ReadFileBytes(journal).value_or("");
        for (; journalRead < bytes.size(); ++journalRead)
            journalLines += bytes[journalRead] == '\n';
        return journalLines > 0 ? journalLines - 1 : 0;  // the first line is the header
    };
    size_t ended = 0;
    // The row shows "等待中" and a percentage until the UI thread has heard of the end.
    const auto final = [](const std::wstring& text) {
        return (text.size() == 4 || text.size() == 3) && text.find(L"中") == std::wstring::npos;
    };
    // Successful operations not undone yet, the most recent last: Ctrl+Z undoes the last.
    struct Done {
        int row;
        bool copy;
        std::wstring path;
    };
    // Before a press: where it must put a file, judged from the disk as it is. A taken name
    // fails, unless both are kept: then each numbered name in turn, the same bytes failing.
    const auto expect = [&](const SourceFile& file, const Rule& rule) {
        Expectation expectation{false, rule.target + L"\\" + file.name};
        if (!file.inSource || !rule.targetExists)
            return expectation;
        for (int32_t number = 1; number <= kLastNameNumber; ++number) {
            const std::wstring path = NumberedPath(rule.target + L"\\" + file.name, number);
            const std::optional<std::string> bytes = ReadFileBytes(path);
            if (!bytes && !FileExists(path))
                return Expectation{true, path};
            if (!keepBoth || (bytes && Hash(*bytes) == file.hash))
                break;
        }
        return expectation;
    };
    std::vector<Done> undoable;

    int successes = 0, failures = 0, mismatches = 0, arrowPresses = 0, multiRowPresses = 0;
    int undos = 0;
    int current = 0;  // the focused row
    for (int press = 0; press < presses; ++press) {
        if (!undoable.empty() && random() % 10 == 0) {
            const Done done = undoable.back();
            undoable.pop_back();
            PressKeys({VK_LCONTROL, 'Z'});
            if (!WaitUntil([&] { return operationsEnded() >= ended + 1; }, 30000)) {
                std::fprintf(stderr, "press %d: no undo result in row %d\n", press, done.row);
                return 1;
            }
            ended += 1;
            std::wstring result;
            WaitUntil([&] { return final(result = list.Text(done.row, 3)); }, 30000);
            ++undos;
            // Nothing else touches a copy or the place a file came from: every undo succeeds.
            SourceFile& file = files[fileOfRow[done.row]];
            if (result != L"已撤销") {
                ++mismatches;
                std::fprintf(stderr, "press %d: undo in row %d failed\n", press, done.row);
            } else if (done.copy) {
                file.copies.erase(done.path);
            } else {
                file.inSource = true;
                file.movedTo.clear();
            }
            continue;
        }
        const Rule& rule = rules[random() % rules.size()];
        // The rows this press must sort, in list order.
        std::vector<int> rows;
        WORD arrow = 0;
        const unsigned kind = random() % 10;
        if (kind < 4) {
            // Down or Up from the focused row, in the same burst as the hotkey.
            arrow = (current == fileCount - 1 || (current > 0 && random() % 2)) ? VK_UP : VK_DOWN;
            current += arrow == VK_DOWN ? 1 : -1;
            rows = {current};
            ++arrowPresses;
        } else if (kind < 5 && fileCount >= 3) {
            // Several rows: the first selected alone, the others added as Ctrl+click adds.
            std::set<int> chosen;
            while (chosen.size() < 2 + random() % 3)
                chosen.insert(static_cast<int>(random() % fileCount));
            std::vector<int> order(chosen.begin(), chosen.end());
            std::shuffle(order.begin(), order.end(), random);
            list.SelectOnly(order[0]);
            for (size_t i = 1; i < order.size(); ++i)
                SetRowSelected(list.Handle(), order[i], true, i + 1 == order.size());
            rows.assign(chosen.begin(), chosen.end());
            for (const int row : rows)
                if (!list.IsSelected(row)) {
                    ++mismatches;
                    std::fprintf(stderr, "press %d: row %d is not selected\n", press, row);
                }
            current = order.back();
            ++multiRowPresses;
        } else {
            current = static_cast<int>(random() % fileCount);
            list.SelectOnly(current);
            rows = {current};
        }
        std::vector<Expectation> expectations;
        for (const int row : rows)
            expectations.push_back(expect(files[fileOfRow[row]], rule));
        SendHotkey(arrow, rule.key, rule.withControl);
        const bool allEnded =
            WaitUntil([&] { return operationsEnded() >= ended + rows.size(); }, 30000);
        ended += rows.size();
        // This press's journal lines, one per row in list order: the name each file took.
        std::vector<std::vector<std::wstring>> lines;
        if (keepBoth && allEnded) {
            lines = JournalRecords(journal);
            lines.erase(lines.begin(), lines.end() - static_cast<ptrdiff_t>(rows.size()));
        }

        for (size_t r = 0; r < rows.size(); ++r) {
            const int row = rows[r];
            std::wstring result;
            if (!allEnded || !WaitUntil([&] { return final(result = list.Text(row, 3)); }, 30000)) {
                std::fprintf(
                    stderr, "press %d: no result in row %d (arrow %d, %d rows, focus on %d)\n",
                    press, row, arrow, static_cast<int>(rows.size()), list.SelectionMark());
                for (int r = 0; r < fileCount; ++r)
                    if (list.IsSelected(r))
                        std::fprintf(stderr, "  row %d selected, result %ls\n", r,
                                     list.Text(r, 3).c_str());
                for (int r : rows)
                    std::fprintf(stderr, "  expected row %d\n", r);
                return 1;
            }

            // What the model expects of this row.
            SourceFile& file = files[fileOfRow[row]];
            const Expectation& expected = expectations[r];
            const bool expectSuccess = expected.success;
            const std::wstring expectedResult = rule.copy
                                                    ? (expectSuccess ? L"复制成功" : L"复制失败")
                                                    : (expectSuccess ? L"移动成功" : L"移动失败");
            if (result != expectedResult ||
                list.Text(row, 2) != (rule.copy ? L"复制文件" : L"移动文件")) {
                ++mismatches;
                std::fprintf(stderr, "press %d: row %d shows %s %s, expected %s\n", press, row,
                             Utf8(list.Text(row, 2)).c_str(), Utf8(result).c_str(),
                             Utf8(expectedResult).c_str());
            }
            if (keepBoth && expectSuccess &&
                (lines.size() <= r || lines[r].size() < 4 || lines[r][3] != expected.path)) {
                ++mismatches;
                std::fprintf(stderr, "press %d: row %d's journal line does not name %s\n", press,
                             row, Utf8(expected.path).c_str());
            }
            if (result == L"复制成功" || result == L"移动成功") {
                ++successes;
                undoable.push_back({row, rule.copy, expected.path});
                if (rule.copy) {
                    file.copies.insert(expected.path);
                } else {
                    file.inSource = false;
                    file.movedTo = expected.path;
                }
            } else {
                ++failures;
            }
        }
        // No other row may have been sorted by this press.
        const int focused = list.SelectionMark();
        if (focused != current) {
            ++mismatches;
            std::fprintf(stderr, "press %d: the focus is on row %d, not %d\n", press, focused,
                         current);
            current = focused >= 0 ? focused : current;
        }
    }
    const std::optional<DWORD> exit = app.Close();

    // Every file's bytes must be exactly where the model says, and nowhere lost.
    int checked = 0, wrong = 0, lost = 0;
    long long lostBytes = 0;
    auto Matches = [&](const std::wstring& path, uint64_t hash) {
        ++checked;
        const std::optional<std::string> bytes = ReadFileBytes(path);
        const bool ok = bytes && Hash(*bytes) == hash;
        if (!ok)
            ++wrong;
        return ok;
    };
    for (const SourceFile& file : files) {
        bool somewhere = false;
        if (file.inSource)
            somewhere |= Matches(source + L"\\" + file.name, file.hash);
        else if (FileExists(source + L"\\" + file.name))
            ++wrong;
        for (const std::wstring& copy : file.copies)
            somewhere |= Matches(copy, file.hash);
        if (!file.movedTo.empty())
            somewhere |= Matches(file.movedTo, file.hash);
        if (!somewhere) {
            ++lost;
            lostBytes += static_cast<long long>(file.size);
        }
    }
    for (const auto& [path, hash] : foreign)
        Matches(path, hash);

    std::printf("mode: %s\n", keepBoth ? "both files kept on a taken name" : "taken names fail");
    std::printf(
        "presses %d (after Down/Up %d, several rows %d, undos %d), operations %d, successes %d, "
        "failures %d, result mismatches %d\n",
        presses, arrowPresses, multiRowPresses, undos, successes + failures, successes, failures,
        mismatches);
    std::printf("files checked %d, wrong %d, files lost %d, bytes lost %lld, exit code %lu\n",
                checked, wrong, lost, lostBytes, exit ? *exit : 999ul);
    return mismatches == 0 && wrong == 0 && lost == 0 && exit == 0u ? 0 : 1;
}
