#include "engine/PimFile.h"

#include "engine/PimUnicode.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace
{
struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

FileHandle OpenFile(const fs::path& path, const char* mode)
{
#if defined(_WIN32)
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return FileHandle(_wfopen(path.c_str(), wideMode.c_str()));
#else
    return FileHandle(std::fopen(path.c_str(), mode));
#endif
}

// Closes the file and reports whether everything written reached the operating system.
bool Close(FileHandle file) { return std::fclose(file.release()) == 0; }

bool WriteAll(std::FILE* file, const void* data, std::size_t size)
{
    return size == 0 || std::fwrite(data, 1, size, file) == size;
}

bool FlushToDisk(std::FILE* file)
{
    if (std::fflush(file) != 0)
        return false;
#if defined(_WIN32)
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// Makes a rename inside the folder survive a crash (the folder's entry is on disk too).
void FlushFolderToDisk([[maybe_unused]] const fs::path& folder)
{
#if !defined(_WIN32)
    const int descriptor = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0)
        return;
    fsync(descriptor);
    close(descriptor);
#endif
}

// File text without its byte order mark, as UTF-8.
std::string DecodeFileText(const std::vector<std::uint8_t>& bytes)
{
    const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (view.starts_with("\xEF\xBB\xBF"))
        return std::string(view.substr(3));
    if (view.starts_with("\xFF\xFE"))
        return PimUnicode::Utf16ToUtf8(view.substr(2), false);
    if (view.starts_with("\xFE\xFF"))
        return PimUnicode::Utf16ToUtf8(view.substr(2), true);
    return std::string(view);
}

PimWString NameOf(const fs::path& path)
{
    const std::u8string name = path.filename().u8string();
    return PimWString::Widen(std::string_view(reinterpret_cast<const char*>(name.data()), name.size()));
}

std::int64_t ToUnixNanoseconds(fs::file_time_type time)
{
    using namespace std::chrono;
    constexpr std::int64_t perSecond = 1'000'000'000;
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max() / perSecond - 1;
    const auto wholeSeconds = floor<seconds>(time);
    const std::int64_t fraction = duration_cast<nanoseconds>(time - wholeSeconds).count();
    const std::int64_t unixSeconds = file_clock::to_sys(wholeSeconds).time_since_epoch().count();
    if (unixSeconds > limit)
        return std::numeric_limits<std::int64_t>::max();
    if (unixSeconds < -limit)
        return std::numeric_limits<std::int64_t>::min();
    return unixSeconds * perSecond + fraction;
}

// A name in the same folder that no other writer picks: the target's name, a per-process
// start stamp and a counter.
fs::path TemporarySibling(const fs::path& target)
{
    static const auto processStamp = std::chrono::steady_clock::now().time_since_epoch().count();
    static std::atomic<std::uint64_t> counter{0};
    fs::path temporary = target;
    temporary += ".tmp" + std::to_string(processStamp) + "-" + std::to_string(counter++);
    return temporary;
}

// True for "<digits>-<digits>" (the first number may carry a sign): the part of a temporary
// name after ".tmp" that TemporarySibling makes.
bool IsTemporaryStamp(std::string_view text)
{
    const std::size_t dash = text.find('-', 1);
    if (dash == std::string_view::npos)
        return false;
    auto allDigits = [](std::string_view digits) {
        return !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    std::string_view stamp = text.substr(0, dash);
    if (stamp.starts_with('-'))
        stamp.remove_prefix(1);
    return allDigits(stamp) && allDigits(text.substr(dash + 1));
}

// True when name is one TemporarySibling gives some target: "<target>.tmp<stamp>-<counter>".
bool IsTemporarySiblingName(std::string_view name)
{
    const std::size_t mark = name.rfind(".tmp");
    return mark != std::string_view::npos && mark > 0 && IsTemporaryStamp(name.substr(mark + 4));
}

#if !defined(_WIN32)
// Reads at most maxBytes + 1 bytes from an open descriptor straight into data, which starts at
// the size the file had when it was opened; false on a read error.
bool ReadDescriptor(int descriptor, std::vector<std::uint8_t>& data, std::size_t maxBytes, std::size_t expected)
{
    constexpr std::size_t kFirstRead = 64 * 1024;
    const std::size_t limit = maxBytes + 1;
    data.resize(std::min(limit, std::max(expected + 1, kFirstRead)));
    std::size_t filled = 0;
    while (true)
    {
        if (filled == data.size())
        {
            if (data.size() >= limit)
                break;
            data.resize(std::min(limit, data.size() * 2));
        }
        const ssize_t count = read(descriptor, data.data() + filled, data.size() - filled);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        if (count == 0)
            break;
        filled += static_cast<std::size_t>(count);
    }
    data.resize(filled);
    return true;
}
#endif

// A path FileDelete may remove: it names something below a root, not "." or "..".
bool IsDeletable(const fs::path& path)
{
    const fs::path name = path.filename();
    return path.has_relative_path() && name != "." && name != "..";
}

bool CopyThenRemove(const fs::path& from, const fs::path& to)
{
    std::error_code ec;
    const bool targetExisted = fs::exists(fs::symlink_status(to, ec));
    constexpr auto options =
        fs::copy_options::recursive | fs::copy_options::overwrite_existing | fs::copy_options::copy_symlinks;
    fs::copy(from, to, options, ec);
    if (ec)
    {
        std::error_code ignored;
        if (!targetExisted)
            fs::remove_all(to, ignored);
        return false;
    }
    fs::remove_all(from, ec);
    return !ec;
}

// Which entries a listing keeps.
enum class ListedKind
{
    RegularFiles,
    Directories,
    Everything,
};

bool IsListed(const fs::directory_entry& entry, ListedKind kind, bool& regular)
{
    std::error_code ec;
    regular = entry.is_regular_file(ec);
    switch (kind)
    {
    case ListedKind::RegularFiles:
        return !ec && regular;
    case ListedKind::Directories:
        return entry.is_directory(ec) && !ec;
    case ListedKind::Everything:
        return true;
    }
    return false;
}

bool IsUtf8Name(const fs::path& path)
{
    const std::string bytes = path.filename().string();
    return PimUnicode::WideToUtf8(PimUnicode::Utf8ToWide(bytes)) == bytes;
}

PimFileListing MakeListing(const fs::directory_entry& entry, bool regular)
{
    std::error_code timeError;
    const fs::file_time_type modified = entry.last_write_time(timeError);
    return {NameOf(entry.path()), timeError ? 0 : ToUnixNanoseconds(modified), entry.path(), IsUtf8Name(entry.path()),
            regular};
}

// By name without case, then exactly, so names differing only in case keep one order. The
// lower-case keys are made once per entry, not once per comparison.
void SortByName(std::vector<PimFileListing>& entries)
{
    std::vector<std::pair<PimWString, std::size_t>> keys;
    keys.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        keys.emplace_back(entries[i].name.ToLower(), i);
    std::sort(keys.begin(), keys.end(), [&entries](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : entries[a.second].name < entries[b.second].name;
    });
    std::vector<PimFileListing> sorted;
    sorted.reserve(entries.size());
    for (const auto& key : keys)
        sorted.push_back(std::move(entries[key.second]));
    entries = std::move(sorted);
}

std::vector<PimFileListing> ListFolder(const fs::path& folder, ListedKind kind)
{
    std::vector<PimFileListing> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
         it.increment(ec))
    {
        bool regular = false;
        if (IsListed(*it, kind, regular))
            entries.push_back(MakeListing(*it, regular));
    }
    SortByName(entries);
    return entries;
}

// Why an entry whose target could not be examined is left out.
std::string SkipReason(const fs::file_status& status, const std::error_code& ec)
{
    if (status.type() == fs::file_type::not_found || ec == std::errc::no_such_file_or_directory)
        return "a link to nothing";
    if (ec == std::errc::too_many_symbolic_link_levels)
        return "a loop of links";
    return ec.message();
}

PimFolderContents ListContents(const fs::path& folder)
{
    PimFolderContents contents;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec)
    {
        contents.error = ec.message();
        return contents;
    }
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec))
    {
        std::error_code statusError;
        const fs::file_status status = it->status(statusError);
        if (statusError || status.type() == fs::file_type::not_found)
        {
            contents.skipped.push_back(NameOf(it->path()).Narrow() + ": " + SkipReason(status, statusError));
            continue;
        }
        if (fs::is_directory(status))
            contents.directories.push_back(MakeListing(*it, false));
        else if (fs::is_regular_file(status))
            contents.files.push_back(MakeListing(*it, true));
    }
    if (ec)
        contents.error = ec.message();
    SortByName(contents.directories);
    SortByName(contents.files);
    return contents;
}
}

bool PimFile::FileExists(const PimFilePath& path)
{
    std::error_code ec;
    return !path.Native().empty() && fs::exists(path.Native(), ec);
}

bool PimFile::MakeDirectory(const PimFilePath& path)
{
    if (path.Native().empty())
        return false;
    std::error_code ec;
    fs::create_directories(path.Native(), ec);
    return fs::is_directory(path.Native(), ec);
}

bool PimFile::ReadAllData(const PimFilePath& path, std::vector<std::uint8_t>& data)
{
    data.clear();
    std::error_code ec;
    if (path.Native().empty() || fs::is_directory(path.Native(), ec))
        return false;
    FileHandle file = OpenFile(path.Native(), "rb");
    if (!file)
        return false;
    const std::uintmax_t expected = fs::file_size(path.Native(), ec);
    if (!ec)
        data.reserve(static_cast<std::size_t>(expected));

    std::uint8_t buffer[64 * 1024];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        data.insert(data.end(), buffer, buffer + count);
    if (std::ferror(file.get()))
    {
        data.clear();
        return false;
    }
    return true;
}

PimFile::ReadOutcome PimFile::ReadRegularFile(const PimFilePath& path, std::vector<std::uint8_t>& data,
                                              std::size_t maxBytes)
{
    data.clear();
    const fs::path& native = path.Native();
    std::error_code ec;
    const fs::file_status status = fs::status(native, ec);
    if (native.empty() || !fs::exists(status))
        return ReadOutcome::Missing;
    if (!fs::is_regular_file(status))
        return ReadOutcome::NotRegular;
    const std::uintmax_t size = fs::file_size(native, ec);
    if (!ec && size > maxBytes)
        return ReadOutcome::TooLarge;
#if defined(_WIN32)
    FileHandle file = OpenFile(native, "rb");
    if (!file)
        return ReadOutcome::Failed;
    std::uint8_t buffer[64 * 1024];
    std::size_t count = 0;
    while (data.size() <= maxBytes && (count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        data.insert(data.end(), buffer, buffer + count);
    const bool readError = std::ferror(file.get()) != 0;
#else
    // Non-blocking, so that a FIFO put in the file's place between the check above and here
    // cannot hold the caller; the descriptor is checked again before anything is read.
    const int descriptor = open(native.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return errno == ENOENT ? ReadOutcome::Missing : ReadOutcome::Failed;
    struct stat opened{};
    if (fstat(descriptor, &opened) != 0 || !S_ISREG(opened.st_mode))
    {
        close(descriptor);
        return ReadOutcome::NotRegular;
    }
    const bool readError = !ReadDescriptor(descriptor, data, maxBytes, static_cast<std::size_t>(opened.st_size));
    close(descriptor);
#endif
    if (readError)
    {
        data.clear();
        return ReadOutcome::Failed;
    }
    if (data.size() > maxBytes)
    {
        // The file grew after its size was read.
        data.clear();
        return ReadOutcome::TooLarge;
    }
    return ReadOutcome::Read;
}

PimString PimFile::DecodeText(const std::vector<std::uint8_t>& bytes) { return DecodeFileText(bytes); }

bool PimFile::IsRegularFile(const PimFilePath& path)
{
    std::error_code ec;
    return !path.Native().empty() && fs::is_regular_file(path.Native(), ec);
}

int PimFile::RemoveStaleTemporaries(const PimFilePath& folder)
{
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder.Native(), fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec))
    {
        std::error_code typeError;
        if (!it->is_regular_file(typeError) || it->is_symlink(typeError))
            continue;
        const std::string name = it->path().filename().string();
        std::error_code removeError;
        if (IsTemporarySiblingName(name) && fs::remove(it->path(), removeError))
            ++removed;
    }
    return removed;
}

bool PimFile::ReadAllText(const PimFilePath& path, PimString& text)
{
    text.clear();
    std::vector<std::uint8_t> bytes;
    if (!ReadAllData(path, bytes))
        return false;
    text = DecodeFileText(bytes);
    return true;
}

bool PimFile::ReadAllTextW(const PimFilePath& path, PimWString& text)
{
    text.clear();
    std::vector<std::uint8_t> bytes;
    if (!ReadAllData(path, bytes))
        return false;
    text = PimWString::Widen(DecodeFileText(bytes));
    return true;
}

bool PimFile::WriteData(const PimFilePath& path, const void* data, std::size_t size, bool append)
{
    if ((data == nullptr && size > 0) || path.Native().empty())
        return false;
    FileHandle file = OpenFile(path.Native(), append ? "ab" : "wb");
    if (!file)
        return false;
    const bool written = WriteAll(file.get(), data, size);
    return Close(std::move(file)) && written;
}

bool PimFile::WriteString(const PimFilePath& path, std::wstring_view text, bool append)
{
    const std::string utf8 = PimUnicode::WideToUtf8(text);
    return WriteData(path, utf8.data(), utf8.size(), append);
}

bool PimFile::WriteDataAtomic(const PimFilePath& path, const void* data, std::size_t size)
{
    const fs::path& target = path.Native();
    if ((data == nullptr && size > 0) || !target.has_filename())
        return false;

    // "x": never open a file someone else is using; a clash only costs another name.
    fs::path temporary;
    FileHandle file;
    for (int attempt = 0; attempt < 8 && !file; ++attempt)
    {
        temporary = TemporarySibling(target);
        file = OpenFile(temporary, "wbx");
    }
    if (!file)
        return false;

    bool ok = WriteAll(file.get(), data, size) && FlushToDisk(file.get());
    ok = Close(std::move(file)) && ok;
    std::error_code ec;
    if (ok)
    {
        fs::rename(temporary, target, ec);
        ok = !ec;
    }
    if (!ok)
    {
        fs::remove(temporary, ec);
        return false;
    }
    FlushFolderToDisk(target.parent_path());
    return true;
}

bool PimFile::WriteStringAtomic(const PimFilePath& path, std::wstring_view text)
{
    const std::string utf8 = PimUnicode::WideToUtf8(text);
    return WriteDataAtomic(path, utf8.data(), utf8.size());
}

bool PimFile::FileDelete(const PimFilePath& path)
{
    const fs::path& target = path.Native();
    if (!IsDeletable(target))
        return false;
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(target, ec);
    if (ec || !fs::exists(status))
        return false;
    if (fs::is_directory(status))
    {
        fs::remove_all(target, ec);
        return !ec;
    }
    return fs::remove(target, ec) && !ec;
}

bool PimFile::FileMove(const PimFilePath& from, const PimFilePath& to)
{
    std::error_code ec;
    if (from.Native().empty() || to.Native().empty() || !fs::exists(fs::symlink_status(from.Native(), ec)))
        return false;
    fs::rename(from.Native(), to.Native(), ec);
    if (!ec)
        return true;
    // A rename cannot cross file systems; the data is copied there instead.
    return ec == std::errc::cross_device_link && CopyThenRemove(from.Native(), to.Native());
}

std::vector<PimFileListing> PimFile::GetFileList(const PimFilePath& folder)
{
    return ListFolder(folder.Native(), ListedKind::RegularFiles);
}

std::vector<PimFileListing> PimFile::GetDirectoryList(const PimFilePath& folder)
{
    return ListFolder(folder.Native(), ListedKind::Directories);
}

std::vector<PimFileListing> PimFile::GetEntryList(const PimFilePath& folder)
{
    return ListFolder(folder.Native(), ListedKind::Everything);
}

PimFolderContents PimFile::GetFolderContents(const PimFilePath& folder)
{
    if (!folder.Native().empty())
        return ListContents(folder.Native());
    PimFolderContents nothing;
    nothing.error = "no folder named";
    return nothing;
}

bool PimFile::GetModificationTime(const PimFilePath& path, std::int64_t& time)
{
    time = 0;
    std::error_code ec;
    if (path.Native().empty())
        return false;
    const fs::file_time_type modified = fs::last_write_time(path.Native(), ec);
    if (ec)
        return false;
    time = ToUnixNanoseconds(modified);
    return true;
}
