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
// With "move-on" the option "处理后下一个" is on and the rule keys come in runs, 200 ms apart
// (5 a second) with no wait for any result, so each press acts on the row the focus moved
// on to: the journal must name the files in the order the focus walked them.
// Usage: soak.exe <zemo.exe> [presses] [files] [seed] [keep-both | move-on]
#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
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

// The gaps between the paced presses as they were sent.
struct PaceFigures {
    int presses = 0;
    double totalGapMs = 0;
    double worstGapMs = 0;
    int gaps = 0;

    void Add(double gapMs) {
        totalGapMs += gapMs;
        worstGapMs = std::max(worstGapMs, gapMs);
        ++gaps;
    }
};

// Sleeps until `due`, then sends the hotkey; the gap since the previous send, in ms.
double SendHotkeyAt(std::chrono::steady_clock::time_point due,
                    std::chrono::steady_clock::time_point& previous, const Rule& rule) {
    for (auto now = std::chrono::steady_clock::now(); now < due;
         now = std::chrono::steady_clock::now())
        Sleep(static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(due - now).count()));
    const auto sent = std::chrono::steady_clock::now();
    SendHotkey(0, rule.key, rule.withControl);
    const double gapMs = std::chrono::duration<double, std::milli>(sent - previous).count();
    previous = sent;
    return gapMs;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: soak <zemo.exe> [presses] [files] [seed] [keep-both | move-on]\n");
        return 2;
    }
    const int presses = argc > 2 ? _wtoi(argv[2]) : 2000;
    const int fileCount = argc > 3 ? _wtoi(argv[3]) : 200;
    const unsigned seed = argc > 4 ? static_cast<unsigned>(_wtoi(argv[4])) : 20261206u;
    const std::wstring mode = argc > 5 ? argv[5] : L"";
    const bool keepBoth = mode == L"keep-both";
    const bool moveOn = mode == L"move-on";
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
    if (moveOn)
        config += Gbk(L"[设置]\r\n处理后下一个=1\r\n");

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
    // Before a press: where it must put a file, judged from the disk as it is and from the
    // files that presses not yet ended will make (`planned`: path and bytes' hash). A taken
    // name fails, unless both are kept: then each numbered name in turn, the same bytes
    // failing.
    const auto expectAfter = [&](const SourceFile& file, bool inSource, const Rule& rule,
                                 const std::map<std::wstring, uint64_t>& planned) {
        Expectation expectation{false, rule.target + L"\\" + file.name};
        if (!inSource || !rule.targetExists)
            return expectation;
        for (int32_t number = 1; number <= kLastNameNumber; ++number) {
            const std::wstring path = NumberedPath(rule.target + L"\\" + file.name, number);
            const auto plannedFile = planned.find(path);
            std::optional<uint64_t> hash;
            if (plannedFile != planned.end())
                hash = plannedFile->second;
            else if (const std::optional<std::string> bytes = ReadFileBytes(path))
                hash = Hash(*bytes);
            else if (!FileExists(path))
                return Expectation{true, path};
            if (!keepBoth || hash == file.hash)
                break;
        }
        return expectation;
    };
    const auto expect = [&](const SourceFile& file, const Rule& rule) {
        return expectAfter(file, file.inSource, rule, {});
    };
    std::vector<Done> undoable;

    int successes = 0, failures = 0, mismatches = 0, arrowPresses = 0, multiRowPresses = 0;
    int undos = 0;
    int current = 0;  // the focused row
    // Ctrl+Z on the last successful operation; false when its result never came.
    const auto undoLast = [&](int press) {
        const Done done = undoable.back();
        undoable.pop_back();
        PressKeys({VK_LCONTROL, 'Z'});
        if (!WaitUntil([&] { return operationsEnded() >= ended + 1; }, 30000)) {
            std::fprintf(stderr, "press %d: no undo result in row %d\n", press, done.row);
            return false;
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
        // Moving on, the focus comes back to the undone row.
        if (moveOn && !WaitUntil([&] { return list.FocusedRow() == done.row; }, 5000)) {
            ++mismatches;
            std::fprintf(stderr, "press %d: after the undo of row %d the focus is on %d\n", press,
                         done.row, list.FocusedRow());
        }
        current = moveOn ? done.row : current;
        return true;
    };
    // Records a press's ended operation in the model: where its file now is.
    const auto apply = [&](int row, const Rule& rule, const Expectation& expected,
                           const std::wstring& result) {
        SourceFile& file = files[fileOfRow[row]];
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
    };
    const auto resultTextOf = [](const Rule& rule, bool success) {
        return std::wstring(rule.copy ? (success ? L"复制成功" : L"复制失败")
                                      : (success ? L"移动成功" : L"移动失败"));
    };
    PaceFigures pace;
    for (int press = 0; press < presses && !moveOn; ++press) {
        if (!undoable.empty() && random() % 10 == 0) {
            if (!undoLast(press))
                return 1;
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
                list.SetSelected(order[i], true, i + 1 == order.size());
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
            const Expectation& expected = expectations[r];
            const bool expectSuccess = expected.success;
            const std::wstring expectedResult = resultTextOf(rule, expectSuccess);
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
            apply(row, rule, expected, result);
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

    // Moving on: runs of rule keys 200 ms apart, sent without waiting for any result, so
    // each acts on the row the focus moved on to: the run's first row, the rows shown after
    // it in turn, the last row again once there. A run is judged once its operations ended:
    // the journal's lines name the files in the order the focus walked.
    constexpr auto kPressGap = std::chrono::milliseconds(200);
    for (int press = 0; press < presses && moveOn;) {
        if (!undoable.empty() && random() % 10 == 0) {
            if (!undoLast(press))
                return 1;
            ++press;
            continue;
        }
        if (current == fileCount - 1 ? random() % 2 == 0 : random() % 5 == 0) {
            current = static_cast<int>(random() % fileCount);
            list.SelectOnly(current);
        }
        struct Step {
            int row;
            const Rule* rule;
            Expectation expected;
        };
        std::vector<Step> steps;
        std::map<std::wstring, uint64_t> planned;
        std::map<int, bool> inSource;  // by file, as the run's earlier presses leave it
        const int run = std::min(1 + static_cast<int>(random() % 20), presses - press);
        int row = current;
        for (int k = 0; k < run; ++k, row = std::min(row + 1, fileCount - 1)) {
            const Rule& rule = rules[random() % rules.size()];
            const SourceFile& file = files[fileOfRow[row]];
            bool& present = inSource.try_emplace(fileOfRow[row], file.inSource).first->second;
            const Expectation expected = expectAfter(file, present, rule, planned);
            if (expected.success) {
                planned[expected.path] = file.hash;
                present = present && rule.copy;
            }
            steps.push_back({row, &rule, expected});
        }
        const int focusAfter = row;

        auto previous = std::chrono::steady_clock::now();
        const auto start = previous;
        for (int k = 0; k < run; ++k) {
            const double gapMs = SendHotkeyAt(start + k * kPressGap, previous, *steps[k].rule);
            if (k > 0)
                pace.Add(gapMs);
            ++pace.presses;
        }
        if (!WaitUntil([&] { return operationsEnded() >= ended + run; }, 30000 + 2000 * run)) {
            std::fprintf(stderr, "press %d: %d of a run of %d presses ended\n", press,
                         static_cast<int>(operationsEnded() - ended), run);
            return 1;
        }
        ended += run;
        std::vector<std::vector<std::wstring>> lines = JournalRecords(journal);
        lines.erase(lines.begin(), lines.end() - run);
        for (int k = 0; k < run; ++k) {
            const Step& step = steps[k];
            const std::vector<std::wstring>& line = lines[k];
            const std::wstring& name = files[fileOfRow[step.row]].name;
            const std::wstring expectedResult = resultTextOf(*step.rule, step.expected.success);
            const bool sameFile = line.size() > 4 && line[2].size() > name.size() &&
                                  line[2].compare(line[2].size() - name.size() - 1,
                                                  std::wstring::npos, L"\\" + name) == 0;
            if (!sameFile || line[4] != expectedResult ||
                (step.expected.success && line[3] != step.expected.path)) {
                ++mismatches;
                std::fprintf(stderr, "press %d: the journal says %s %s -> %s, expected %s %s\n",
                             press + k, Utf8(line.size() > 4 ? line[4] : L"").c_str(),
                             Utf8(line.size() > 2 ? line[2] : L"").c_str(),
                             Utf8(line.size() > 3 ? line[3] : L"").c_str(),
                             Utf8(expectedResult).c_str(), Utf8(name).c_str());
            }
            apply(step.row, *step.rule, step.expected, line.size() > 4 ? line[4] : L"");
        }
        // Each row shows what its last press did; the focus is on the row after the run.
        for (int k = 0; k < run; ++k) {
            const Step& step = steps[k];
            if (k + 1 < run && steps[k + 1].row == step.row)
                continue;
            std::wstring result;
            WaitUntil([&] { return final(result = list.Text(step.row, 3)); }, 30000);
            if (result != resultTextOf(*step.rule, step.expected.success)) {
                ++mismatches;
                std::fprintf(stderr, "press %d: row %d shows %s\n", press + k, step.row,
                             Utf8(result).c_str());
            }
        }
        if (!WaitUntil(
                [&] { return list.FocusedRow() == focusAfter && list.IsSelected(focusAfter); },
                5000)) {
            ++mismatches;
            std::fprintf(stderr, "press %d: the focus is on row %d, not %d\n", press + run - 1,
                         list.FocusedRow(), focusAfter);
        }
        current = focusAfter;
        press += run;
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

    std::printf("mode: %s\n", moveOn     ? "moving on after each rule, rules 200 ms apart"
                              : keepBoth ? "both files kept on a taken name"
                                         : "taken names fail");
    if (pace.gaps > 0)
        std::printf("paced presses %d, gap between presses %.1f ms on average, %.1f ms at worst\n",
                    pace.presses, pace.totalGapMs / pace.gaps, pace.worstGapMs);
    std::printf(
        "presses %d (after Down/Up %d, several rows %d, undos %d), operations %d, successes %d, "
        "failures %d, result mismatches %d\n",
        presses, arrowPresses, multiRowPresses, undos, successes + failures, successes, failures,
        mismatches);
    std::printf("files checked %d, wrong %d, files lost %d, bytes lost %lld, exit code %lu\n",
                checked, wrong, lost, lostBytes, exit ? *exit : 999ul);
    return mismatches == 0 && wrong == 0 && lost == 0 && exit == 0u ? 0 : 1;
}
