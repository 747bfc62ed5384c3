// The updater's install: an archive unpacked over a folder, refused whole when it is damaged or
// reaches out of the folder; and the updater program as the main program starts it.
#include "tests/support/TempFolder.h"

#include "update/PackageInstall.h"
#include "update/Sha256.h"
#include "update/UpdaterLaunch.h"

#include <archive.h>
#include <archive_entry.h>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace
{
// Writes a gzip-compressed tar of (name, content) files.
void WriteArchive(const std::filesystem::path& path, const std::vector<std::pair<std::string, std::string>>& files)
{
    archive* writer = archive_write_new();
    archive_write_add_filter_gzip(writer);
    archive_write_set_format_pax_restricted(writer);
    ASSERT_EQ(archive_write_open_filename(writer, path.c_str()), ARCHIVE_OK);
    for (const auto& [name, content] : files)
    {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, name.c_str());
        archive_entry_set_size(entry, static_cast<la_int64_t>(content.size()));
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0755);
        archive_write_header(writer, entry);
        archive_write_data(writer, content.data(), content.size());
        archive_entry_free(entry);
    }
    archive_write_close(writer);
    archive_write_free(writer);
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class PackageInstallTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(install / "Content");
        std::ofstream(install / "quillot.old") << "keep";
        std::ofstream(install / "Content" / "picture.png") << "old picture";
    }
    TempFolder temp;
    std::filesystem::path install = temp.Path() / "install";
    std::filesystem::path package = temp.Path() / "QuillotInstaller.tar.gz";
};

TEST_F(PackageInstallTest, UnpacksOverTheFolderReplacingFilesAndKeepingOthers)
{
    WriteArchive(package, {{"Content/picture.png", "new picture"}, {"bin/tool", "#!/bin/sh\n"}});
    const PackageInstall::Outcome outcome = PackageInstall::Install(package.string(), install.string());
    ASSERT_TRUE(outcome.installed) << outcome.message;
    EXPECT_EQ(outcome.files, 2u);
    EXPECT_EQ(ReadFile(install / "Content" / "picture.png"), "new picture");
    EXPECT_EQ(ReadFile(install / "bin" / "tool"), "#!/bin/sh\n");
    EXPECT_EQ(ReadFile(install / "quillot.old"), "keep");
}

TEST_F(PackageInstallTest, ArchivesReachingOutOrDamagedChangeNothing)
{
    for (const auto& files : std::vector<std::vector<std::pair<std::string, std::string>>>{
             {{"Content/picture.png", "new"}, {"../escaped", "x"}},
             {{"Content/picture.png", "new"}, {"/tmp/absolute-quillot-test", "x"}},
             {{"Content/picture.png", "new"}, {"Content/../../escaped", "x"}},
         })
    {
        WriteArchive(package, files);
        const PackageInstall::Outcome outcome = PackageInstall::Install(package.string(), install.string());
        EXPECT_FALSE(outcome.installed);
        EXPECT_NE(outcome.message.find("unsafe"), std::string::npos) << outcome.message;
        EXPECT_EQ(ReadFile(install / "Content" / "picture.png"), "old picture") << "nothing was written";
        EXPECT_FALSE(std::filesystem::exists(temp.Path() / "escaped"));
    }
    // A truncated archive.
    WriteArchive(package, {{"Content/picture.png", std::string(100000, 'n')}});
    std::filesystem::resize_file(package, std::filesystem::file_size(package) / 2);
    const PackageInstall::Outcome cut = PackageInstall::Install(package.string(), install.string());
    EXPECT_FALSE(cut.installed);
    EXPECT_EQ(ReadFile(install / "Content" / "picture.png"), "old picture");
    EXPECT_FALSE(PackageInstall::Install((temp.Path() / "missing.tar.gz").string(), install.string()).installed);
}

int RunUpdater(const std::vector<std::string>& arguments)
{
    std::string command = QUILLOT_UPDATER;
    for (const std::string& argument : arguments)
        command += " '" + argument + "'";
    command += " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(PackageInstallTest, TheUpdaterInstallsOnlyAVerifiedPackageWithItsToken)
{
    WriteArchive(package, {{"Content/picture.png", "new picture"}});
    // Kept aside: gzip stamps the time, so a second archive would have another digest.
    const std::filesystem::path kept = temp.Path() / "kept.tar.gz";
    std::filesystem::copy_file(package, kept);
    const std::string digest = Sha256::OfFile(package.string());
    const std::string token(UpdaterLaunch::kToken);

    EXPECT_EQ(RunUpdater({"--package", package.string(), "--sha256", digest, "--install", install.string()}), 2)
        << "without the token it does nothing";
    EXPECT_EQ(RunUpdater({"--token", token, "--package", package.string(), "--sha256", std::string(64, '0'), "--install",
                          install.string()}),
              1);
    EXPECT_EQ(ReadFile(install / "Content" / "picture.png"), "old picture");
    EXPECT_FALSE(std::filesystem::exists(package)) << "a package that fails its check is deleted";

    std::filesystem::copy_file(kept, package);
    EXPECT_EQ(RunUpdater({"--token", token, "--package", package.string(), "--sha256", digest, "--install", install.string()}), 0);
    EXPECT_EQ(ReadFile(install / "Content" / "picture.png"), "new picture");
    EXPECT_FALSE(std::filesystem::exists(package)) << "the installed package is removed";
    EXPECT_NE(ReadFile(temp.Path() / "update.log").find("installed 1 entries"), std::string::npos);
}
}
