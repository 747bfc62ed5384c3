#include "pages/UpdateMenu.h"

#include "pages/MenuResources.h"

#include "settings/GameSettings.h"
#include "update/UpdaterLaunch.h"

#include "engine/PimAngle.h"
#include "engine/PimFilePath.h"
#include "engine/PimSoundSystem.h"
#include "engine/PimSystem.h"
#include "engine/PimVrSystem.h"

#include <cmath>
#include <filesystem>
#include <sstream>

namespace
{
constexpr PimColor kTextColour{255, 255, 255, 255};
constexpr PimColor kStatusColour{255, 226, 140, 255};
constexpr float kWall = 1.05f;
constexpr std::size_t kStatusColumns = 44;

void PlaceButton(QuadButton& button, const PimVector3& at)
{
    button.SetBaseLocation(at);
    button.SetLocation(at);
    button.SetQuadScale(UpdateMenu::kButtonWidth);
    button.SetSizeFactor(UpdateMenu::kButtonWidth);
}

void PlaceText(Pim3DText& text, const PimVector3& at, float scale, PimColor colour)
{
    text.SetPosition(at);
    text.SetScale(scale);
    text.SetColor(colour);
}

// The words of text in lines of at most `columns` characters.
std::string Wrapped(const std::string& text, std::size_t columns)
{
    std::istringstream words(text);
    std::string word, line, result;
    while (words >> word)
    {
        if (!line.empty() && line.size() + 1 + word.size() > columns)
        {
            result += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return result + line;
}
}

UpdateMenu::UpdateMenu(GameSettings& settingsIn, std::shared_ptr<PimCamera> camera, PublishedVersion publishedIn,
                       std::string agent)
    : VoxelMenuPage(settingsIn, std::move(camera)), published(publishedIn), userAgent(std::move(agent)),
      server(UpdateServer::Current())
{
    BuildBooth();
    downloadButton.SetTexture(MenuResources::LoadPicture(settings, "DownloadButton.png"));
    continueButton.SetTexture(MenuResources::LoadPicture(settings, "ContinueButton.png"));
    cancelButton.SetTexture(MenuResources::LoadPicture(settings, "CancelButton.png"));
    PlaceButton(downloadButton, PimVector3(3.0f, 3.0f, kWall));
    PlaceButton(cancelButton, PimVector3(3.0f, 3.0f, kWall));
    PlaceButton(continueButton, PimVector3(2.0f, 3.0f, kWall));

    PlaceText(titleText, PimVector3(1.3f, 4.2f, kWall), 1.0f, kTextColour);
    titleText.SetText("A new version is ready");
    PlaceText(versionText, PimVector3(1.5f, 3.5f, kWall), 2.0f, kTextColour);
    versionText.SetText(published.ComparisonText());
    PlaceText(continueLabel, PimVector3(1.76f, 2.78f, kWall), 0.6f, kTextColour);
    continueLabel.SetText("Continue");
    PlaceText(downloadLabel, PimVector3(2.76f, 2.78f, kWall), 0.6f, kTextColour);
    downloadLabel.SetText("Download");
    PlaceText(statusText, PimVector3(1.3f, 2.55f, kWall), 0.6f, kStatusColour);

    SetLegendLines({"On the update page: point at download, cancel or continue and left click; M goes back to the menu"});
}

UpdateMenu::~UpdateMenu() = default;

void UpdateMenu::BuildBooth()
{
    BuildShellRoom(kRoomSide, kRoomHeight, kRoomSide, kLowerWall, kUpperWall);
}

void UpdateMenu::PageIn()
{
    VoxelMenuPage::PageIn();
    PlacePlayer(StandPoint());
    PimVrSystem::GetInstance().SetDirectionModifier(PimAngle::FromDegrees(0.0f));
    buttonLatch = true;
}

void UpdateMenu::OnBack()
{
    // Leaving cancels a running download; its partial file goes with it.
    EndDownload();
}

void UpdateMenu::EndDownload()
{
    download.reset();
    downloadLabel.SetText("Download");
}

void UpdateMenu::ShowStatus(const std::string& text)
{
    status = text;
    statusText.SetText(Wrapped(text, kStatusColumns));
}

void UpdateMenu::Update()
{
    VoxelMenuPage::Update();
    if (!IsActivePage() || handedOver)
        return;
    if (download)
    {
        FollowDownload();
        return;
    }
    downloadButton.Update();
    continueButton.Update();
    const bool anyPressed = downloadButton.IsPressed() || continueButton.IsPressed();
    const bool newPress = anyPressed && !buttonLatch;
    buttonLatch = anyPressed;
    if (!newPress)
        return;
    PimSoundSystem::PlaySound(MenuResources::kPageSound);
    if (downloadButton.IsPressed())
        StartDownload();
    else
        ActivateParentPage();
}

void UpdateMenu::StartDownload()
{
    const std::string folder = PimFilePath(settings.GetFolders().updates).Native().string();
    download = std::make_unique<InstallerDownload>(server, userAgent, folder);
    download->Start();
    downloadLabel.SetText("Cancel");
    ShowStatus("Downloading ...");
}

void UpdateMenu::FollowDownload()
{
    cancelButton.Update();
    const bool newPress = cancelButton.IsPressed() && !buttonLatch;
    buttonLatch = cancelButton.IsPressed();
    if (newPress)
    {
        PimSoundSystem::PlaySound(MenuResources::kPageSound);
        download->Cancel();
    }
    switch (download->Poll())
    {
    case InstallerDownload::Stage::Verified:
        HandOver();
        break;
    case InstallerDownload::Stage::Failed:
        ShowStatus(download->GetFailure());
        EndDownload();
        break;
    case InstallerDownload::Stage::Cancelled:
        ShowStatus("Download cancelled.");
        EndDownload();
        break;
    case InstallerDownload::Stage::Downloading:
        ShowStatus("Downloading " + std::to_string(static_cast<int>(std::floor(download->GetProgress() * 100.0f))) + " %");
        break;
    default:
        break;
    }
}

void UpdateMenu::HandOver()
{
    const std::string installer = download->InstallerPath();
    const std::string failure = UpdaterLaunch::Start(server, installer, download->GetDigest());
    if (!failure.empty())
    {
        // Nothing will install it: it does not stay behind to be run later.
        std::error_code ignored;
        std::filesystem::remove(installer, ignored);
        EndDownload();
        ShowStatus(failure);
        return;
    }
    handedOver = true;
    ShowStatus("Installing: the program closes and the updater takes over.");
    settings.Save();
    PimSystem::ExitSystem();
}

void UpdateMenu::Draw()
{
    VoxelMenuPage::Draw();
    titleText.Draw();
    versionText.Draw();
    downloadLabel.Draw();
    if (download)
        cancelButton.Draw();
    else
    {
        downloadButton.Draw();
        continueButton.Draw();
        continueLabel.Draw();
    }
    if (!status.empty())
        statusText.Draw();
}

void UpdateMenu::AddPointerSpots(std::vector<PointerSpot>& spots) const
{
    if (download)
        spots.push_back({cancelButton.GetBaseLocation(), cancelButton.GetTouchRadius()});
    else
    {
        spots.push_back({downloadButton.GetBaseLocation(), downloadButton.GetTouchRadius()});
        spots.push_back({continueButton.GetBaseLocation(), continueButton.GetTouchRadius()});
    }
}
