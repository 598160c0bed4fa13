// The hotkey rules' file format: section "快捷键配置" of config.ini, one entry per rule,
// key = hotkey text, value = operation text "|" target directory, all code page 936.
//
// The file is read from its bytes, as the system's profile functions read a section
// (GetPrivateProfileSectionA), without their size limit, and written whole: a change re-reads
// the file, changes only its own line, and the new file keeps every other byte and replaces
// the old one in one step, so a failed write leaves the old file as it was.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/text.h"
#include "ui/unique_handle.h"

// The section's name in config.ini.
extern const char* const kRuleSection;

// One entry of the section as the profile functions give it: "key=value", or a line
// without "=" (then key is empty, value holds the line and hasEquals is false).
struct RuleSectionEntry {
    std::string key;
    std::string value;
    bool hasEquals = false;
    std::string line;  // the file's line, untrimmed, without its line break
};

// Where the first rule section lies in a file and what it holds.
struct RuleSection {
    bool found = false;
    std::vector<RuleSectionEntry> entries;
    // Byte offset just after the header line (only meaningful when found).
    size_t bodyStart = 0;
    // Every line of the section after the header: [start, end) without the line break,
    // next = where the following line starts.
    struct Line {
        size_t start, end, next;
        bool isEntryLine;  // neither blank nor a comment: it belongs to the rules
    };
    std::vector<Line> lines;
};

// The section named `section` (compared without case for A-Z, trimmed) in config.ini's
// bytes: the first of repeated sections, lines ending at CR or LF, blanks and tabs
// trimmed around the line and around the first "=", comment lines (";") skipped, a
// two-byte character never taken for "=", "[", "]" or a line break.
RuleSection ParseRuleSection(std::string_view file, std::string_view section = kRuleSection);

// Reads config.ini's bytes. Returns 0, or the system's error code (ERROR_FILE_NOT_FOUND
// and ERROR_PATH_NOT_FOUND when there is no file).
DWORD ReadConfigFile(const std::wstring& path, std::string& bytes);

// `file` with `line` added after the last entry line of the first section named `section`
// (the rule section unless told), every other byte kept; a missing section is added at the
// end.
std::string WithRuleAdded(std::string_view file, std::string_view line,
                          std::string_view section = kRuleSection);
// `file` without the first rule section's first rule line that equals `line` byte for byte,
// every other byte kept; nothing when no rule line equals it.
std::optional<std::string> WithRuleRemoved(std::string_view file, std::string_view line);

// Replaces the file at `path` by `bytes` in one step: a temporary file beside it is
// written and flushed, then moved over it. Returns 0 or the system's error code; on
// failure the old file is untouched and no temporary file is left.
DWORD ReplaceConfigFile(const std::wstring& path, std::string_view bytes);

// How long a change waits for another program's change of the same file.
constexpr DWORD kConfigLockWaitMs = 10000;

// Ownership of the named mutex of one config.ini, one per full path whatever its spelling:
// a program re-reads and replaces the file only while it holds it, so two programs saving
// at once never write a file that lacks the other's change.
class ConfigFileLock {
  public:
    // Waits up to `waitMs` for the mutex.
    explicit ConfigFileLock(const std::wstring& path, DWORD waitMs = kConfigLockWaitMs);
    ~ConfigFileLock();
    ConfigFileLock(const ConfigFileLock&) = delete;
    ConfigFileLock& operator=(const ConfigFileLock&) = delete;
    // 0 while held; WAIT_TIMEOUT or the system's error code when it was not had.
    DWORD Error() const { return error_; }

  private:
    UniqueKernelHandle mutex_;
    DWORD error_ = 0;
};

// The new bytes for config.ini's bytes as they are now, or nothing to leave the file alone.
using ConfigChange = std::function<std::optional<std::string>(std::string_view bytes)>;

// Under the file's lock, from the read to the swap: reads config.ini (a missing file as
// empty), hands its bytes to `change` and replaces the file with what it returns. `now`
// receives the file's bytes afterwards. Returns 0, or the system's error code (WAIT_TIMEOUT
// when the lock was not had), the file then as it was.
DWORD ChangeConfigFile(const std::wstring& path, const ConfigChange& change, std::string& now,
                       DWORD lockWaitMs = kConfigLockWaitMs);

// What a rule does with a file.
enum class RuleOperation { kCopy, kMove, kInvalid };
// The operation an operation text names, compared after trimming the blanks the reader trims:
// "复制文件" copies, "移动文件" moves, any other text is invalid.
RuleOperation OperationOf(std::string_view text);
// The text stored for a copy or a move, "复制文件" or "移动文件"; "" for an invalid one.
const char* OperationText(RuleOperation operation);

// Why a new rule's texts cannot be stored so that they read back the same.
enum class RuleTextProblem {
    kNone,
    kHotkeyNotStorable,  // outside code page 936, "=", ";" or "[" first, blanks at the ends
    kTargetNotStorable,  // outside code page 936, "|", line breaks, blanks at the end
    kTargetRelative,     // not a full path from a drive or a share
};
RuleTextProblem CheckRuleTexts(std::wstring_view hotkey, std::wstring_view target);

// True when the two hotkey texts differ at most in the case of one-byte A-Z (the profile
// functions take such keys for one).
bool SameHotkeyIgnoringCase(std::string_view a, std::string_view b);
