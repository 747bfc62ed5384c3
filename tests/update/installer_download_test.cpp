// The installer download against a local HTTPS server: only a whole download with the published
// size and digest is kept, and nothing half-written is ever left behind.
#include "tests/support/tls_test_server.h"

#include "update/InstallerDownload.h"
#include "update/Sha256.h"
#include "update/UserAgent.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace
{
using namespace std::chrono_literals;
using Stage = InstallerDownload::Stage;

std::string DigestOf(const std::string& bytes)
{
    Sha256 digest;
    digest.Add(bytes.data(), bytes.size());
    return digest.FinishHex();
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class InstallerDownloadTest : public testing::Test
{
protected:
    void SetUp() override
    {
        for (int i = 0; i < 200000; ++i)
            installer.push_back(static_cast<char>((i * 7919) >> 3));
        Publish(installer, DigestOf(installer), installer.size());
    }
    void Publish(const std::string& body, const std::string& digest, std::size_t size)
    {
        https.Serve("/downloads/QuillotInstaller.tar.gz", {body});
        https.Serve("/downloads/QuillotInstaller.tar.gz.sha256",
                    {digest + "  QuillotInstaller.tar.gz  " + std::to_string(size) + "\n"});
    }
    std::unique_ptr<InstallerDownload> Make()
    {
        UpdateServer server;
        server.address = https.Address();
        server.caFile = https.CaFile();
        return std::make_unique<InstallerDownload>(server, std::string(UserAgent::kPlain), folder.string());
    }
    // Polls once a "frame" until the download has ended (bounded).
    static Stage Finish(InstallerDownload& download)
    {
        for (int i = 0; i < 6000; ++i)
        {
            const Stage stage = download.Poll();
            if (stage != Stage::FetchingChecksum && stage != Stage::Downloading)
                return stage;
            std::this_thread::sleep_for(10ms);
        }
        return download.GetStage();
    }
    bool FolderIsEmpty() const { return std::filesystem::is_empty(folder); }

    TlsTestServer https;
    TempFolder temp;
    std::filesystem::path folder = temp.Path() / "Update";
    std::string installer;
};

TEST_F(InstallerDownloadTest, AWholeMatchingDownloadIsKeptUnderItsName)
{
    // An installer left from an earlier run must not be taken for this one.
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "QuillotInstaller.tar.gz") << "stale";
    auto download = Make();
    download->Start();
    ASSERT_EQ(Finish(*download), Stage::Verified) << download->GetFailure();
    EXPECT_EQ(ReadFile(download->InstallerPath()), installer);
    EXPECT_FALSE(std::filesystem::exists(download->PartialPath()));
    EXPECT_FLOAT_EQ(download->GetProgress(), 1.0f);
    EXPECT_EQ(download->GetDigest(), DigestOf(installer));
    download.reset();
    EXPECT_TRUE(std::filesystem::exists(folder / "QuillotInstaller.tar.gz")) << "a verified installer stays for the updater";
}

TEST_F(InstallerDownloadTest, WrongChecksumCutConnectionOrHttpErrorKeepNothingAndSaySo)
{
    struct Case
    {
        const char* what;
        std::function<void()> serve;
        const char* says;
    };
    const Case cases[] = {
        {"another digest", [&] { Publish(installer, DigestOf("something else"), installer.size()); }, "checksum"},
        {"a cut connection",
         [&] {
             Publish(installer, DigestOf(installer), installer.size());
             https.Serve("/downloads/QuillotInstaller.tar.gz", {installer, 200, TlsTestServer::Kind::Cut, 70000});
         },
         "Download failed"},
        {"a shorter file than published", [&] { Publish(installer.substr(0, 1000), DigestOf(installer), installer.size()); },
         "1000 of 200000 bytes"},
        {"a longer file than published", [&] { Publish(installer + "tail", DigestOf(installer), installer.size()); }, "larger"},
        {"an HTTP error",
         [&] {
             Publish(installer, DigestOf(installer), installer.size());
             https.Serve("/downloads/QuillotInstaller.tar.gz", {"gone", 404});
         },
         "error 404"},
        {"no checksum", [&] { https.Serve("/downloads/QuillotInstaller.tar.gz.sha256", {"oops", 200}); }, "checksum"},
    };
    for (const Case& failing : cases)
    {
        SCOPED_TRACE(failing.what);
        failing.serve();
        auto download = Make();
        download->Start();
        EXPECT_EQ(Finish(*download), Stage::Failed);
        EXPECT_NE(download->GetFailure().find(failing.says), std::string::npos) << download->GetFailure();
        EXPECT_TRUE(FolderIsEmpty()) << "no installer, whole or partial, is left";
    }
}

TEST_F(InstallerDownloadTest, CancelEndsTheDownloadAndRemovesThePartialFile)
{
    https.Serve("/downloads/QuillotInstaller.tar.gz", {"", 200, TlsTestServer::Kind::Silent});
    auto download = Make();
    download->Start();
    // Wait until the installer's request is under way, then cancel it.
    for (int i = 0; i < 6000 && download->Poll() != Stage::Downloading; ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(download->GetStage(), Stage::Downloading);
    download->Cancel();
    EXPECT_EQ(Finish(*download), Stage::Cancelled);
    EXPECT_TRUE(FolderIsEmpty());
}
}
