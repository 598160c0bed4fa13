#include "app/rules/rule_file.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "app/base/unique_file.h"

const char* const kRuleSection = "快捷键配置";

namespace {

// A lead byte takes the next byte with it, whatever that byte is, unless it is zero: the
// system's code page 936 conversion reads a file that way before the profile functions
// look for line breaks, brackets and "=".
bool IsLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

// The blanks the profile functions trim: tab, vertical tab, form feed, CR, LF, space and
// the old end-of-file mark ^Z.
bool IsBlank(unsigned char byte) {
    return byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' || byte == '\r' ||
           byte == ' ' || byte == 0x1A;
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The characters of one line: each is [starts[i], starts[i + 1]).
class LineCharacters {
  public:
    LineCharacters(std::string_view file, std::vector<size_t>& starts) : file_(file), s_(starts) {}
    size_t Count() const { return s_.size() - 1; }
    // The byte of a one-byte character, -1 for a two-byte one.
    int Single(size_t i) const {
        return s_[i + 1] - s_[i] == 1 ? static_cast<unsigned char>(file_[s_[i]]) : -1;
    }
    bool IsBlankAt(size_t i) const {
        const int c = Single(i);
        return c >= 0 && IsBlank(static_cast<unsigned char>(c));
    }
    size_t Offset(size_t i) const { return s_[i]; }
    std::string_view Bytes(size_t from, size_t to) const {
        return file_.substr(s_[from], s_[to] - s_[from]);
    }
    void TrimRange(size_t& from, size_t& to) const {
        while (from < to && IsBlankAt(from))
            ++from;
        while (to > from && IsBlankAt(to - 1))
            --to;
    }

  private:
    std::string_view file_;
    std::vector<size_t>& s_;
};

// A text up to its first zero byte: the profile functions hand entries over as
// zero-terminated texts.
std::string UpToZero(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

// Equal but for the case of A-Z, as the profile functions compare section and key names.
// The second byte of a two-byte character is compared as it is: 81 41 and 81 61 are two
// different characters, though their second bytes read "A" and "a".
bool SectionNameMatches(std::string_view name, std::string_view wanted) {
    if (name.size() != wanted.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (LowerAscii(name[i]) != LowerAscii(wanted[i]))
            return false;
        // Equal lead bytes: both texts hold a two-byte character here.
        if (IsLeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size() &&
            name[i + 1] != '\0') {
            ++i;
            if (name[i] != wanted[i])
                return false;
        }
    }
    return true;
}

std::string_view TrimmedAscii(std::string_view text) {
    while (!text.empty() && IsBlank(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool FitsCodePage936(std::wstring_view text) {
    if (text.empty())
        return true;
    BOOL lossy = FALSE;
    const int size =
        WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                            nullptr, 0, nullptr, &lossy);
    return size > 0 && !lossy;
}

UniqueFile OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    return OwnedFile(CreateFileW(path.c_str(), access, share, nullptr, disposition,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The mutex's name: the full path upper-cased, so every spelling of one file names one
// mutex, with "/" for "\\", which a name may hold only after its namespace.
std::wstring ConfigLockName(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    }
    if (length == 0 || length >= full.size())
        full = path;
    else
        full.resize(length);
    CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    std::replace(full.begin(), full.end(), L'\\', L'/');
    const std::wstring prefix = L"Local\\zemo-config:";
    if (prefix.size() + full.size() < MAX_PATH)
        return prefix + full;
    // The system refuses longer names: a hash of the path stands for it.
    uint64_t hash = 14695981039346656037ULL;
    for (const wchar_t c : full)
        hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211ULL;
    std::wstring digits(16, L'0');
    for (wchar_t& digit : digits) {
        digit = L"0123456789abcdef"[hash >> 60];
        hash <<= 4;
    }
    return prefix + L"#" + digits;
}

bool IsBlankWide(wchar_t c) {
    return c < 0x80 && IsBlank(static_cast<unsigned char>(c));
}

}  // namespace

RuleSection ParseRuleSection(std::string_view file, std::string_view section) {
    const std::string_view wanted = TrimmedAscii(section);
    RuleSection result;
    bool inside = false;
    bool done = false;
    // The rule about lines with an empty key: such a line is dropped when the entry
    // before it in the section also has an empty key.
    bool hasPrevious = false;
    bool previousKeyEmpty = false;

    std::vector<size_t> starts;
    size_t position = 0;
    while (position < file.size() && !done) {
        // One line: characters up to a one-byte CR or LF.
        starts.clear();
        const size_t lineStart = position;
        while (position < file.size()) {
            const auto byte = static_cast<unsigned char>(file[position]);
            if (byte == '\r' || byte == '\n')
                break;
            starts.push_back(position);
            const bool pair =
                IsLeadByte(byte) && position + 1 < file.size() && file[position + 1] != '\0';
            position += pair ? 2 : 1;
        }
        const size_t lineEnd = position;
        starts.push_back(lineEnd);
        // The line break: CR LF counts as one (the empty line between would be skipped).
        if (position < file.size())
            position += file.compare(position, 2, "\r\n") == 0 ? 2 : 1;

        const LineCharacters line(file, starts);
        size_t from = 0;
        size_t to = line.Count();
        line.TrimRange(from, to);
        if (from == to) {
            if (inside)
                result.lines.push_back({lineStart, lineEnd, position, false});
            continue;
        }

        if (line.Single(from) == '[') {
            size_t close = to - 1;
            while (close > from && line.Single(close) != ']')
                --close;
            if (close > from) {
                if (inside) {
                    done = true;
                    break;
                }
                size_t nameFrom = from + 1;
                size_t nameTo = close;
                line.TrimRange(nameFrom, nameTo);
                if (SectionNameMatches(line.Bytes(nameFrom, nameTo), wanted)) {
                    inside = true;
                    result.found = true;
                    result.bodyStart = position;
                }
                continue;
            }
        }
        if (!inside)
            continue;

        const bool comment = line.Single(from) == ';';
        result.lines.push_back({lineStart, lineEnd, position, !comment});

        size_t equals = from;
        while (equals < to && line.Single(equals) != '=')
            ++equals;
        const bool hasEquals = equals < to;
        size_t keyTo = equals;
        size_t valueFrom = hasEquals ? equals + 1 : to;
        size_t keyFrom = from;
        line.TrimRange(keyFrom, keyTo);
        size_t valueTo = to;
        line.TrimRange(valueFrom, valueTo);
        const std::string_view rawKey = line.Bytes(keyFrom, keyTo);

        if (rawKey.empty() && hasPrevious && previousKeyEmpty)
            continue;
        std::string key = UpToZero(rawKey);
        hasPrevious = true;
        previousKeyEmpty = key.empty();
        if ((key.empty() && !hasEquals) || comment)
            continue;

        RuleSectionEntry entry;
        entry.hasEquals = hasEquals;
        entry.line = std::string(file.substr(lineStart, lineEnd - lineStart));
        if (hasEquals) {
            entry.key = std::move(key);
            entry.value = UpToZero(line.Bytes(valueFrom, valueTo));
        } else {
            entry.value = std::move(key);
        }
        result.entries.push_back(std::move(entry));
    }
    return result;
}

DWORD ReadConfigFile(const std::wstring& path, std::string& bytes) {
    bytes.clear();
    const UniqueFile file = OpenFile(
        path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    if (!file)
        return GetLastError();
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size))
        return GetLastError();
    if (size.QuadPart > 0x7FFFFFFF)
        return ERROR_FILE_TOO_LARGE;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                      &read, nullptr))
            return GetLastError();
        if (read == 0)
            break;
        done += read;
    }
    bytes.resize(done);
    return 0;
}

std::string WithRuleAdded(std::string_view file, std::string_view line,
                          std::string_view sectionName) {
    const RuleSection section = ParseRuleSection(file, sectionName);
    std::string out;
    out.reserve(file.size() + line.size() + 32);
    size_t at = file.size();  // where the new line goes
    if (section.found) {
        at = section.bodyStart;
        for (const RuleSection::Line& each : section.lines)
            if (each.isEntryLine)
                at = each.next;
    }
    out.append(file.substr(0, at));
    if (!out.empty() && out.back() != '\n' && out.back() != '\r')
        out.append("\r\n");  // the line before had no line break: the file's last line
    if (!section.found)
        out.append("[").append(sectionName).append("]\r\n");
    out.append(line).append("\r\n");
    out.append(file.substr(at));
    return out;
}

std::optional<std::string> WithRuleRemoved(std::string_view file, std::string_view line) {
    const RuleSection section = ParseRuleSection(file);
    for (const RuleSection::Line& each : section.lines)
        if (each.isEntryLine && file.substr(each.start, each.end - each.start) == line)
            return std::string(file.substr(0, each.start)).append(file.substr(each.next));
    return std::nullopt;
}

ConfigFileLock::ConfigFileLock(const std::wstring& path, DWORD waitMs)
    : mutex_(CreateMutexW(nullptr, FALSE, ConfigLockName(path).c_str())) {
    if (!mutex_) {
        error_ = LastErrorOr(ERROR_INVALID_HANDLE);
        return;
    }
    // An abandoned mutex is had too: the program that held it ended, and its swap was
    // whole or never happened.
    const DWORD wait = WaitForSingleObject(mutex_.Get(), waitMs);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED)
        return;
    error_ = wait == WAIT_TIMEOUT ? WAIT_TIMEOUT : LastErrorOr(ERROR_INVALID_HANDLE);
    mutex_.Reset();
}

ConfigFileLock::~ConfigFileLock() {
    if (mutex_)
        ReleaseMutex(mutex_.Get());
}

DWORD ChangeConfigFile(const std::wstring& path, const ConfigChange& change, std::string& now,
                       DWORD lockWaitMs) {
    const ConfigFileLock lock(path, lockWaitMs);
    if (lock.Error())
        return lock.Error();
    DWORD error = ReadConfigFile(path, now);
    if (error == ERROR_FILE_NOT_FOUND)
        error = 0;  // no file yet: it holds no rules
    if (error)
        return error;
    std::optional<std::string> changed = change(now);
    if (!changed)
        return 0;
    error = ReplaceConfigFile(path, *changed);
    if (!error)
        now = std::move(*changed);
    return error;
}

DWORD ReplaceConfigFile(const std::wstring& path, std::string_view bytes) {
    const std::wstring temporary = path + L".new";
    {
        UniqueFile file = OpenFile(temporary, GENERIC_WRITE, 0, CREATE_ALWAYS);
        if (!file)
            return GetLastError();
        size_t done = 0;
        DWORD error = 0;
        while (done < bytes.size() && !error) {
            DWORD written = 0;
            if (!WriteFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                           &written, nullptr) ||
                written == 0)
                error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
            done += written;
        }
        if (!error && !FlushFileBuffers(file.Get()))
            error = GetLastError();
        if (error) {
            file.Reset();
            DeleteFileW(temporary.c_str());
            return error;
        }
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return error;
    }
    return 0;
}

RuleOperation OperationOf(std::string_view text) {
    const std::string_view trimmed = TrimmedAscii(text);
    for (const RuleOperation operation : {RuleOperation::kCopy, RuleOperation::kMove})
        if (trimmed == OperationText(operation))
            return operation;
    return RuleOperation::kInvalid;
}

const char* OperationText(RuleOperation operation) {
    switch (operation) {
        case RuleOperation::kCopy:
            return "复制文件";
        case RuleOperation::kMove:
            return "移动文件";
        default:
            return "";
    }
}

RuleTextProblem CheckRuleTexts(std::wstring_view hotkey, std::wstring_view target) {
    const bool hotkeyFits = !hotkey.empty() && FitsCodePage936(hotkey) &&
                            !IsBlankWide(hotkey.front()) && !IsBlankWide(hotkey.back()) &&
                            hotkey.front() != L';' && hotkey.front() != L'[' &&
                            hotkey.find_first_of(L"=\r\n") == std::wstring_view::npos &&
                            hotkey.find(L'\0') == std::wstring_view::npos;
    if (!hotkeyFits)
        return RuleTextProblem::kHotkeyNotStorable;
    const bool drive = target.size() >= 3 &&
                       ((target[0] | 0x20) >= L'a' && (target[0] | 0x20) <= L'z') &&
                       target[1] == L':' && (target[2] == L'\\' || target[2] == L'/');
    const bool share = target.size() >= 3 && (target[0] == L'\\' || target[0] == L'/') &&
                       (target[1] == L'\\' || target[1] == L'/');
    if (!drive && !share)
        return RuleTextProblem::kTargetRelative;
    const bool targetFits = FitsCodePage936(target) && !IsBlankWide(target.back()) &&
                            target.find_first_of(L"|\r\n") == std::wstring_view::npos &&
                            target.find(L'\0') == std::wstring_view::npos;
    return targetFits ? RuleTextProblem::kNone : RuleTextProblem::kTargetNotStorable;
}

bool SameHotkeyIgnoringCase(std::string_view a, std::string_view b) {
    return SectionNameMatches(a, b);
}
