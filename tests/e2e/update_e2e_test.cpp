// The update page through the whole program and the desktop simulator's own input, against a
// local HTTPS server: a newer published version brings the page in front of the main menu, its
// buttons are clicked with the mouse, a download that fails its checksum says so and leaves
// nothing behind, and a good one hands over to the updater (a test script that records its call)
// and ends the program.

#include "tests/support/offscreen_user.h"
#include "tests/support/simulator_input.h"
#include "tests/support/tls_test_server.h"

#include "app/SceneSetup.h"

#include "pages/UpdateMenu.h"
#include "pages/VoxelMenu.h"

#include "settings/GameSettings.h"
#include "settings/SettingsFolders.h"
#include "update/Sha256.h"
#include "update/UpdateServer.h"
#include "update/UpdaterLaunch.h"

#include "engine/PimFilePath.h"
#include "engine/PimSystem.h"
#include "engine/PimUIManager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

namespace
{
using namespace SimulatorInput;

constexpr int kWidth = 480;
constexpr int kHeight = 360;

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class UpdateE2E : public testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(user.temp.Path() / "home");
        installer = std::string(50000, 'q');
        Publish(Sha256Of(installer));
        // The updater stand-in records how it was called.
        updater = user.temp.Path() / "updater.sh";
        std::ofstream(updater) << "#!/bin/sh\necho \"$@\" > '" << (user.temp.Path() / "updater.call").string() << ".part'\nmv '"
                               << (user.temp.Path() / "updater.call").string() << ".part' '"
                               << (user.temp.Path() / "updater.call").string() << "'\n";
        std::filesystem::permissions(updater, std::filesystem::perms::owner_all);
        previous = UpdateServer::Current();
        UpdateServer server = previous;
        server.address = https.Address();
        server.caFile = https.CaFile();
        server.updaterProgram = updater.string();
        server.installFolder = (user.temp.Path() / "install").string();
        server.answerWindow = std::chrono::minutes(1);
        UpdateServer::Replace(server);
    }
    void TearDown() override
    {
        scene = {};
        PimSystem::Shutdown();
        UpdateServer::Replace(previous);
    }
    static std::string Sha256Of(const std::string& bytes)
    {
        Sha256 digest;
        digest.Add(bytes.data(), bytes.size());
        return digest.FinishHex();
    }
    void Publish(const std::string& digest)
    {
        https.Serve("/downloads/QuillotInstaller.tar.gz", {installer});
        https.Serve("/downloads/QuillotInstaller.tar.gz.sha256",
                    {digest + "  QuillotInstaller.tar.gz  " + std::to_string(installer.size()) + "\n"});
    }
    void Start(const std::string& published)
    {
        https.Serve("/downloads/updateversion.htm", {TlsTestServer::VersionPage(published)});
        settings = std::make_unique<GameSettings>(SettingsFolders::Locate());
        PimSystemParameters parameters = MakeStartParameters(settings->GetFolders());
        parameters.deviceMode = PimDeviceMode::Desktop;
        parameters.fixedFrameSeconds = 1.0 / 60.0;
        parameters.width = kWidth;
        parameters.height = kHeight;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        scene = SetUpScene(*settings);
        menu = dynamic_cast<VoxelMenu*>(scene.rootPage.get());
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(RunUntil([this] { return menu->IsBuilt(); }));
        // A first start shows the preferences booth first; its back action returns to the menu.
        Frames(3);
        if (Active() != menu)
            Active()->ActivateParentPage();
    }
    PimUIPage* Active() const { return scene.uiManager->GetActivePage(); }
    // Runs frames until done (bounded by real time, not by a frame count).
    static bool RunUntil(const std::function<bool()>& done)
    {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done())
        {
            if (std::chrono::steady_clock::now() > limit)
                return false;
            Frames(1);
        }
        return true;
    }
    void ClickWorldPoint(const PimVector3& point)
    {
        const std::optional<SDL_Point> pixel = PixelOf(point, kWidth, kHeight);
        ASSERT_TRUE(pixel.has_value());
        ASSERT_TRUE(pixel->x >= 0 && pixel->x < kWidth && pixel->y >= 0 && pixel->y < kHeight);
        ClickAt(pixel->x, pixel->y);
    }
    std::filesystem::path UpdateFolder() const { return PimFilePath(settings->GetFolders().updates).Native(); }

    OffscreenUser user;
    TlsTestServer https;
    std::string installer;
    std::filesystem::path updater;
    UpdateServer previous;
    std::unique_ptr<GameSettings> settings;
    QuillotScene scene;
    VoxelMenu* menu = nullptr;
};

TEST_F(UpdateE2E, ThePublishedOnePointZeroOffersNothing)
{
    Start("1.0");
    ASSERT_TRUE(RunUntil([this] { return menu->GetVersionCheck() == nullptr; })) << "the check decides";
    EXPECT_EQ(menu->GetUpdatePage(), nullptr);
    EXPECT_EQ(Active(), menu);
}

TEST_F(UpdateE2E, ContinueReturnsToTheMenu)
{
    Start("2.0");
    ASSERT_TRUE(RunUntil([this] { return menu->GetUpdatePage() != nullptr && Active() == menu->GetUpdatePage(); }));
    UpdateMenu* page = menu->GetUpdatePage();
    EXPECT_EQ(page->GetVersionText().GetText(), L"1.0  >  2.0");
    Frames(5);
    ClickWorldPoint(page->GetContinueButton().GetBaseLocation());
    EXPECT_TRUE(RunUntil([this] { return Active() == menu; }));
    EXPECT_FALSE(std::filesystem::exists(UpdateFolder() / "QuillotInstaller.tar.gz"));
}

TEST_F(UpdateE2E, AFailedDownloadSaysSoAndAGoodOneHandsOverToTheUpdater)
{
    Publish(Sha256Of("not the installer"));
    Start("1.2");
    ASSERT_TRUE(RunUntil([this] { return menu->GetUpdatePage() != nullptr && Active() == menu->GetUpdatePage(); }))
        << "the newer version brings the update page in front of the menu";
    UpdateMenu* page = menu->GetUpdatePage();
    EXPECT_EQ(page->GetVersionText().GetText(), L"1.0  >  1.2");
    Frames(5);

    ClickWorldPoint(page->GetDownloadButton().GetBaseLocation());
    ASSERT_TRUE(RunUntil([page] { return page->GetDownload() == nullptr && !page->GetStatus().empty(); }));
    EXPECT_NE(page->GetStatus().find("checksum"), std::string::npos) << page->GetStatus();
    EXPECT_EQ(Active(), page) << "the user stays on the page";
    EXPECT_FALSE(page->HasHandedOver());
    EXPECT_TRUE(!std::filesystem::exists(UpdateFolder()) || std::filesystem::is_empty(UpdateFolder()))
        << "nothing is left to be run later";

    Publish(Sha256Of(installer));
    Frames(3);
    ClickWorldPoint(page->GetDownloadButton().GetBaseLocation());
    ASSERT_TRUE(RunUntil([page] { return page->HasHandedOver() || page->GetDownload() == nullptr; }));
    ASSERT_TRUE(page->HasHandedOver()) << page->GetStatus();
    const std::filesystem::path kept = UpdateFolder() / "QuillotInstaller.tar.gz";
    EXPECT_EQ(ReadFile(kept), installer);
    const std::filesystem::path call = user.temp.Path() / "updater.call";
    for (int i = 0; i < 600 && !std::filesystem::exists(call); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::string recorded = ReadFile(call);
    EXPECT_NE(recorded.find("--token " + std::string(UpdaterLaunch::kToken)), std::string::npos) << recorded;
    EXPECT_NE(recorded.find("--package " + kept.string()), std::string::npos) << recorded;
    EXPECT_NE(recorded.find("--sha256 " + Sha256Of(installer)), std::string::npos) << recorded;
    EXPECT_NE(recorded.find("--install " + (user.temp.Path() / "install").string()), std::string::npos) << recorded;
}
}
