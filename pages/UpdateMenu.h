#pragma once

#include "pages/QuadButton.h"
#include "pages/VoxelMenuPage.h"

#include "update/InstallerDownload.h"
#include "update/PublishedVersion.h"
#include "update/UpdateServer.h"

#include "engine/Pim3DText.h"

#include <memory>
#include <string>

// The page shown in front of the main menu when the server publishes a newer version: a small
// booth whose wall shows "1.0  >  1.2" (this version, then the published one), a download button
// and a continue button.
//
// Download fetches the installer with its published checksum (InstallerDownload) while the page
// shows the progress and a cancel button in the download button's place. Only a download that
// arrived whole and matches the checksum is handed over: the settings are saved, the updater
// program is started (UpdaterLaunch) and the program ends; the updater installs the package once
// the program has gone. A failed or cancelled download says so on the wall, leaves no installer
// behind and keeps the user here, free to try again or continue. Continue (or the back action,
// which also cancels a running download) returns to the main menu.
//
// Desktop simulator: the buttons are pointed at and clicked. Main thread only.
class UpdateMenu : public VoxelMenuPage
{
public:
    static constexpr int kRoomSide = 5;
    static constexpr int kRoomHeight = 20;
    static constexpr std::uint16_t kUpperWall = 0xFF0C;
    static constexpr std::uint16_t kLowerWall = 0xFF2E;
    static constexpr float kButtonWidth = 0.15f;
    static PimVector3 StandPoint() { return {2.5f, 1.1f, 2.5f}; }

    // published: the newer version the server offers; userAgent: the agent of the download's
    // requests. The server is UpdateServer::Current() as it is now.
    UpdateMenu(GameSettings& settings, std::shared_ptr<PimCamera> camera, PublishedVersion published, std::string userAgent);
    ~UpdateMenu() override;

    void Update() override;
    void Draw() override;
    void PageIn() override;
    void PageOut() override {}
    void OnBack() override;

    const PublishedVersion& GetPublished() const { return published; }
    const Pim3DText& GetVersionText() const { return versionText; }
    // What the wall says under the buttons ("" while nothing is to be said).
    const std::string& GetStatus() const { return status; }
    QuadButton& GetDownloadButton() { return downloadButton; }
    QuadButton& GetContinueButton() { return continueButton; }
    QuadButton& GetCancelButton() { return cancelButton; }
    // The download running now, or null.
    const InstallerDownload* GetDownload() const { return download.get(); }
    // The updater was started and the program asked to end.
    bool HasHandedOver() const { return handedOver; }

protected:
    void AddPointerSpots(std::vector<PointerSpot>& spots) const override;

private:
    void BuildBooth();
    void StartDownload();
    void FollowDownload();
    void HandOver();
    void EndDownload();
    void ShowStatus(const std::string& text);

    PublishedVersion published;
    std::string userAgent;
    UpdateServer server;
    Pim3DText titleText;
    Pim3DText versionText;
    Pim3DText downloadLabel;
    Pim3DText continueLabel;
    Pim3DText statusText;
    std::string status;
    QuadButton downloadButton;
    QuadButton continueButton;
    QuadButton cancelButton;
    // A button acts on a new pull only: the cancel button takes the download button's place while
    // the trigger that pressed it may still be held.
    bool buttonLatch = true;
    std::unique_ptr<InstallerDownload> download;
    bool handedOver = false;
};
