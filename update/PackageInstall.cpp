#include "update/PackageInstall.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>
#include <string_view>

namespace
{
using ArchiveReader = std::unique_ptr<archive, decltype(&archive_read_free)>;

ArchiveReader OpenReader(const std::string& package)
{
    ArchiveReader reader(archive_read_new(), archive_read_free);
    archive_read_support_filter_gzip(reader.get());
    archive_read_support_format_tar(reader.get());
    if (archive_read_open_filename(reader.get(), package.c_str(), 1 << 16) != ARCHIVE_OK)
        return ArchiveReader(nullptr, archive_read_free);
    return reader;
}

bool IsSafeName(std::string_view name)
{
    if (name.empty() || name.front() == '/')
        return false;
    std::size_t start = 0;
    while (start <= name.size())
    {
        const std::size_t end = std::min(name.find('/', start), name.size());
        if (name.substr(start, end - start) == "..")
            return false;
        start = end + 1;
    }
    return true;
}

// Reads every entry without writing: the names must be safe and the data whole.
std::string Check(const std::string& package, std::size_t& files)
{
    ArchiveReader reader = OpenReader(package);
    if (!reader)
        return "the package cannot be opened";
    archive_entry* entry = nullptr;
    int status = ARCHIVE_OK;
    files = 0;
    while ((status = archive_read_next_header(reader.get(), &entry)) == ARCHIVE_OK)
    {
        const char* name = archive_entry_pathname(entry);
        if (name == nullptr || !IsSafeName(name))
            return std::string("the package holds an unsafe path: ") + (name != nullptr ? name : "(none)");
        const char* link = archive_entry_symlink(entry);
        if (link != nullptr && !IsSafeName(link))
            return std::string("the package holds a link out of the folder: ") + name;
        if (archive_read_data_skip(reader.get()) != ARCHIVE_OK)
            return std::string("the package is damaged: ") + archive_error_string(reader.get());
        ++files;
    }
    if (status != ARCHIVE_EOF)
        return std::string("the package is damaged: ") + (archive_error_string(reader.get()) ? archive_error_string(reader.get()) : "");
    if (files == 0)
        return "the package is empty";
    return {};
}
}

PackageInstall::Outcome PackageInstall::Install(const std::string& package, const std::string& installFolder)
{
    Outcome outcome;
    std::size_t files = 0;
    if (std::string fault = Check(package, files); !fault.empty())
    {
        outcome.message = fault;
        return outcome;
    }
    ArchiveReader reader = OpenReader(package);
    std::unique_ptr<archive, decltype(&archive_write_free)> writer(archive_write_disk_new(), archive_write_free);
    if (!reader || !writer)
    {
        outcome.message = "the package cannot be opened";
        return outcome;
    }
    archive_write_disk_set_options(writer.get(), ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                                                     ARCHIVE_EXTRACT_SECURE_SYMLINKS | ARCHIVE_EXTRACT_SAFE_WRITES);
    archive_write_disk_set_standard_lookup(writer.get());
    archive_entry* entry = nullptr;
    // Names were checked to be relative and without "..", so they stay inside the folder.
    while (archive_read_next_header(reader.get(), &entry) == ARCHIVE_OK)
    {
        const std::string target = installFolder + "/" + archive_entry_pathname(entry);
        archive_entry_set_pathname(entry, target.c_str());
        if (archive_write_header(writer.get(), entry) != ARCHIVE_OK)
        {
            outcome.message = std::string("cannot write ") + target + ": " + archive_error_string(writer.get());
            return outcome;
        }
        const void* block = nullptr;
        std::size_t size = 0;
        la_int64_t offset = 0;
        int status = ARCHIVE_OK;
        while ((status = archive_read_data_block(reader.get(), &block, &size, &offset)) == ARCHIVE_OK)
        {
            if (archive_write_data_block(writer.get(), block, size, offset) != ARCHIVE_OK)
            {
                outcome.message = std::string("cannot write ") + target + ": " + archive_error_string(writer.get());
                return outcome;
            }
        }
        if (status != ARCHIVE_EOF || archive_write_finish_entry(writer.get()) != ARCHIVE_OK)
        {
            outcome.message = std::string("cannot finish ") + target;
            return outcome;
        }
        ++outcome.files;
    }
    archive_write_close(writer.get());
    outcome.installed = true;
    return outcome;
}
