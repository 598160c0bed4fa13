#include "app/operations/journal.h"

#include <cstdio>
#include <utility>

#include "app/base/unique_file.h"

const wchar_t* const kJournalFileName = L"操作记录.csv";

namespace {

std::string Utf8(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

std::wstring Utf16(std::string_view bytes) {
    if (bytes.empty())
        return {};
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(size > 0 ? size : 0, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        size);
    return text;
}

void AppendField(std::string& line, std::wstring_view field) {
    const std::string bytes = Utf8(field);
    const bool quoted = bytes.find_first_of(",\"\r\n") != std::string::npos ||
                        (!bytes.empty() && (bytes.front() == ' ' || bytes.back() == ' '));
    if (!line.empty())
        line.push_back(',');
    if (!quoted) {
        line += bytes;
        return;
    }
    line.push_back('"');
    for (const char c : bytes) {
        if (c == '"')
            line.push_back('"');
        line.push_back(c);
    }
    line.push_back('"');
}

std::wstring IsoTime(const SYSTEMTIME& time) {
    wchar_t text[32];
    swprintf(text, 32, L"%04u-%02u-%02uT%02u:%02u:%02u", time.wYear, time.wMonth, time.wDay,
             time.wHour, time.wMinute, time.wSecond);
    return text;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// Opens a journal (or side file) for appending, giving a new one its header.
DWORD OpenForAppending(const std::wstring& path, UniqueFile& file) {
    // Opened for each line: another program (a spreadsheet) may read the file meanwhile.
    file = OwnedFile(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return LastErrorOr(ERROR_OPEN_FAILED);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size))
        return LastErrorOr(ERROR_READ_FAULT);
    if (size.QuadPart == 0 && !WriteAll(file.Get(), JournalHeader()))
        return LastErrorOr(ERROR_WRITE_FAULT);
    return ERROR_SUCCESS;
}

// A new side file, with the header, for refusals starting now: the journal's name with the
// local time before its extension, 操作记录-20261207-140509.csv, numbered (-2, -3...) when
// that name is taken, so it never shares another spell's lines. Empty when none can be made.
std::wstring NewSideFile(const std::wstring& journal) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t stamp[32];
    swprintf(stamp, 32, L"-%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute, now.wSecond);
    const size_t name = journal.find_last_of(L'\\');
    const size_t dot = journal.find_last_of(L'.');
    const size_t end = dot != std::wstring::npos && (name == std::wstring::npos || dot > name)
                           ? dot
                           : journal.size();
    for (int number = 1; number < 100; ++number) {
        const std::wstring path = journal.substr(0, end) + stamp +
                                  (number > 1 ? L"-" + std::to_wstring(number) : L"") +
                                  journal.substr(end);
        const HANDLE made =
            CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (made != INVALID_HANDLE_VALUE) {
            const UniqueFile file(made);
            return WriteAll(file.Get(), JournalHeader()) ? path : std::wstring();
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return {};
}

}  // namespace

std::string JournalLine(const JournalEntry& entry) {
    const std::wstring time = IsoTime(entry.localTime);
    std::string line;
    for (const std::wstring* field :
         {&time, &entry.operation, &entry.source, &entry.destination, &entry.result, &entry.reason})
        AppendField(line, *field);
    return line + "\r\n";
}

std::string JournalHeader() {
    std::string line;
    for (const wchar_t* title : {L"时间", L"操作", L"源路径", L"目标路径", L"结果", L"原因"})
        AppendField(line, title);
    return "\xEF\xBB\xBF" + line + "\r\n";
}

std::vector<std::wstring> ParseJournalLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    std::vector<std::wstring> fields;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                field.push_back('"');
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field.push_back(c);
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.push_back(Utf16(field));
            field.clear();
        } else {
            field.push_back(c);
        }
    }
    fields.push_back(Utf16(field));
    return fields;
}

JournalWrite Journal::Append(const JournalEntry& entry) {
    const std::string line = JournalLine(entry);
    std::lock_guard<std::mutex> lock(mutex_);
    const DWORD error = Write(line);
    if (error == ERROR_SUCCESS) {
        refusing_ = false;
        return {};
    }
    Keep(line);
    return {error, !std::exchange(refusing_, true)};
}

DWORD Journal::Write(const std::string& line) {
    UniqueFile file;
    if (const DWORD error = OpenForAppending(path_, file))
        return error;
    while (!kept_.empty()) {
        if (!WriteAll(file.Get(), kept_.front()))
            return LastErrorOr(ERROR_WRITE_FAULT);
        kept_.pop_front();
    }
    if (!sideFile_.empty()) {
        // The journal now has every line of the side file, unless memory could not keep some.
        if (!sideFileOnly_)
            DeleteFileW(sideFile_.c_str());
        sideFile_.clear();
        sideFileOnly_ = false;
    }
    // WriteFile hands the line to the system at once, so it survives the process. No
    // FlushFileBuffers: on a journalling file system that waits until the whole copy just
    // made has reached the disk, which would hold up the next operation for seconds.
    if (!WriteAll(file.Get(), line))
        return LastErrorOr(ERROR_WRITE_FAULT);
    return ERROR_SUCCESS;
}

void Journal::Keep(const std::string& line) {
    if (sideFile_.empty())
        sideFile_ = NewSideFile(path_);
    // The side file has the line as soon as this returns, so a process killed before the
    // journal takes it again loses nothing. When it cannot be written either, memory alone
    // holds the line.
    UniqueFile file;
    if (!sideFile_.empty() && OpenForAppending(sideFile_, file) == ERROR_SUCCESS)
        WriteAll(file.Get(), line);
    if (kept_.size() < keptLineLimit_) {
        kept_.push_back(line);
        return;
    }
    sideFileOnly_ = true;
}
