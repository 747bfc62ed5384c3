#include "pages/InGameMenuPageVr.h"

#include "pages/MenuResources.h"
#include "pages/TutorialMarker.h"

#include "player/PlayerRig.h"

#include "editing/ReferenceImageSet.h"

#include "colour/PaletteModel.h"

#include "settings/GameSettings.h"

#include "engine/PimAngle.h"
#include "engine/PimAssert.h"
#include "engine/PimSoundSystem.h"
#include "engine/PimVrSystem.h"

#include <cmath>
#include <cstdio>

namespace
{
constexpr int kRoomSide = static_cast<int>(InGameMenuPageVr::kMenuScale * 4.0f);
constexpr int kRoomHeight = 20;
constexpr PimVector3 kPanelOrigin{1.01f, 3.5f, 3.85f};
constexpr PimVector3 kSizeAnchor{1.5f, 2.75f, 1.02f};
constexpr float kButtonWidth = InGameMenuPageVr::kMenuScale * 0.1f;
constexpr std::size_t kScaleCount = GameSettingsActiveGame::ScaleTable.size();

std::string TextureFile(const GameSettings& settings, const char* name)
{
    return PimWString(settings.GetFolders().textures + PimWString::Widen(name)).Narrow();
}

// The size as the user reads it: the factor relative to the default size, cut (not rounded)
// after one decimal.
std::string SizeText(std::uint32_t index)
{
    const float factor = GameSettingsActiveGame::ScaleTable[index] / 1.5f;
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", std::floor(factor * 10.0f + 1e-3f) / 10.0f);
    return text;
}

void PlaceButton(QuadButton& button, const PimVector3& at, const PimMatrix4x4& orientation, float width)
{
    button.SetBaseLocation(at);
    button.SetLocation(at);
    button.SetOrientation(orientation);
    button.SetQuadScale(width);
    button.SetSizeFactor(width);
}

PimColor OpaqueColour(PimColor colour)
{
    colour.a = 255;
    return colour;
}
}

PimMatrix4x4 InGameMenuPageVr::PanelOrientation()
{
    return PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(90.0f));
}

InGameMenuPageVr::InGameMenuPageVr(GameSettings& settingsIn, std::shared_ptr<PimCamera> camera, VoxelWorld2* worldIn)
    : VoxelMenuPage(settingsIn, std::move(camera)), world(worldIn), volume(settingsIn), paletteMenu(settingsIn)
{
    BuildBooth();
    SetUpRows();
    // The size slider runs along the south wall under the rows, from the small person to the big.
    PimVrUISlider& size = sizeSlider.GetSlider();
    size.SetAnchorPosition(kSizeAnchor);
    size.SetLength(kMenuScale);
    size.SetMinValue(0.0f);
    size.SetMaxValue(static_cast<float>(kScaleCount - 1));
    size.SetUseDiscreetValues(true);
    sizeSlider.MarkDirty();
    sizeLabel.SetPosition(kSizeAnchor + PimVector3(0.5f, 0.1f, 0.01f));
    sizeLabel.SetScale(kMenuScale * 0.8f);
    personIcon.LoadTexture(TextureFile(settings, "PersonIcon.png"));
    SetUpPanel();
    ShowSettings();
    fileBrowser = std::make_shared<VRFileBrowser>(settings, GetPlayer().GetCamera());
    AddChildPage(fileBrowser);
    SetLegendLines({"In this menu: point at an option, button or slider knob and left click; hold the click and "
                    "move the mouse to drag a knob; M resumes",
                    "E turns right to the colour wall: click a swatch to put it in the palette's chosen slot, drag the "
                    "red, green and blue knobs to redefine an unlocked colour, the slider beside the wall scrolls",
                    "Behind you (hold E two seconds) the reference-picture rows: click a picture button to choose a picture "
                    "in the file browser; the eye shows or hides it, the padlock locks it, the knob scales it"});
}

InGameMenuPageVr::~InGameMenuPageVr() = default;

PimVector3 InGameMenuPageVr::ReferenceRowPosition(int slot)
{
    return {4.2f, 3.5f - 0.35f * static_cast<float>(slot), 4.99f};
}

void InGameMenuPageVr::AttachReferenceImages(ReferenceImageSet& images)
{
    referenceImages = &images;
    referenceRows.clear();
    const PimMatrix4x4 facing = PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(180.0f));
    for (int slot = 0; slot < GameSettingsActiveGame::ReferenceImageCount; ++slot)
    {
        auto row = std::make_unique<ReferenceImageRow>(settings, images, slot);
        row->Place(ReferenceRowPosition(slot), facing, kMenuScale);
        row->Refresh();
        referenceRows.push_back(std::move(row));
    }
}

void InGameMenuPageVr::BuildBooth()
{
    BuildShellRoom(kRoomSide, kRoomHeight, kRoomSide, kLowerWall, kUpperWall);
}

void InGameMenuPageVr::SetUpRows()
{
    const auto setUp = [this](OptionRow& row, float x, const char* first, const char* second) {
        row.SetScale(kMenuScale);
        row.SetOrigin(PimVector3(x, 3.5f, 1.01f));
        row.AddOption(TextureFile(settings, first));
        row.AddOption(TextureFile(settings, second));
    };
    setUp(movementRow, 1.5f, "WalkingFoot.png", "FlyingWing.png");
    setUp(moveTypeRow, 2.25f, "TeleportButton.png", "TouchWalkButton.png");
    setUp(handRow, 3.0f, "LeftHanded.png", "RightHanded.png");
}

void InGameMenuPageVr::SetUpPanel()
{
    const PimMatrix4x4 m = PanelOrientation();
    backButtonEnabled = true;
    QuadButton& resume = GetBackButton();
    resume.SetTexture(MenuResources::Get(settings).playQuad.GetTexture());
    PlaceButton(resume, kPanelOrigin + PimVector3(0.0f, -0.4f, 0.0f), m, kButtonWidth);
    exitButton.SetTexture(MenuResources::LoadPicture(settings, "ExitGame.png"));
    PlaceButton(exitButton, kPanelOrigin, m, kButtonWidth);
    cameraOnPicture = MenuResources::LoadPicture(settings, "InGameCamera_On.png");
    cameraOffPicture = MenuResources::LoadPicture(settings, "InGameCamera_Off.png");
    PlaceButton(cameraButton, kPanelOrigin + m.TransformDirection({0.25f, 0.0f, 0.0f}), m, kButtonWidth);
    volume.Place(kPanelOrigin + m.TransformDirection({0.5f, 0.0f, 0.0f}), m, 0.5f, 1.2f, kButtonWidth);
    fogPicker.location = kPanelOrigin + PimVector3(0.0f, -1.0f, -2.25f);
    fogPicker.orientation = m;
    fogPicker.layoutDirty = true;
    fogIcon.LoadTexture(TextureFile(settings, "FogColorIcon.png"));
    fogIcon.SetLocation(kPanelOrigin + PimVector3(0.0f, 0.33f, -2.25f));
    fogIcon.SetOrientation(m);
    fogIcon.SetScale(kMenuScale * 0.2f);
}

void InGameMenuPageVr::ShowSize(std::uint32_t index)
{
    lastSizeIndex = index;
    sizeLabel.SetText(std::string_view(SizeText(index)));
}

void InGameMenuPageVr::ShowCamera()
{
    cameraButton.SetTexture(settings.inGameCamera ? cameraOnPicture : cameraOffPicture);
}

void InGameMenuPageVr::PageIn()
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    // The booth's own room is drawn in the menu colours; the world's colour table (the engine's
    // table of world chunks, kept by the world's settings) is left as the world has it.
    PaletteModel::ApplyDefaultColours();
    worldRootPosition = vr.GetRootPosition();
    savedRootPosition = worldRootPosition;
    vr.SetScale(settings.virtualReality.GetPlayerSizeBias() * kMenuScale);
    GetBackButton().ClearPressed();
    exitButton.ClearPressed();
    PlacePlayer(StandPoint());
    // Facing the south wall's rows, the booth's main controls, wherever the head looks.
    TurnPlayAreaToHead(PimAngle::FromDegrees(0.0f));
    backTouchLatch = true;
    ShowSettings();
    // The world may have painted with colours (locking them) and changed palettes since the last visit.
    paletteMenu.Reset();
    TutorialMarker::Of(settings).Place(TutorialMarker::Arrow, exitButton.GetBaseLocation() + PimVector3(0.0f, 0.5f, 0.0f),
                                       PimAngle::FromDegrees(0.0f), 1.0f);
    changedPictureSlots = TakeChosenPicture();
    if (referenceImages != nullptr)
        for (int slot = 0; slot < GameSettingsActiveGame::ReferenceImageCount; ++slot)
            if ((changedPictureSlots & (1u << slot)) != 0)
                referenceImages->LoadSlot(slot);
    // Every row shows its settings as stored now: a new picture, or one the world moved or scaled.
    for (auto& row : referenceRows)
        row->Refresh();
}

void InGameMenuPageVr::RequestBrowse(int slot)
{
    if (slot < 0 || slot >= GameSettingsActiveGame::ReferenceImageCount)
    {
        PimAssert::Assert(false, "InGameMenuPageVr::RequestBrowse() - no reference image slot of that number");
        return;
    }
    browseRequests = static_cast<std::uint8_t>(browseRequests | (1u << slot));
    browsePending = true;
    fileBrowser->ActivateThisPage();
}

std::uint8_t InGameMenuPageVr::TakeChosenPicture()
{
    if (!browsePending)
        return 0;
    browsePending = false;
    std::uint8_t given = 0;
    const PimWString& chosen = fileBrowser->GetChosenPath();
    for (int slot = 0; slot < GameSettingsActiveGame::ReferenceImageCount && !chosen.empty(); ++slot)
    {
        if ((browseRequests & (1u << slot)) == 0)
            continue;
        // The same file chosen again still counts: it may have changed on the disk since.
        settings.activeGame.SetRefImagePath(slot, chosen);
        given = static_cast<std::uint8_t>(given | (1u << slot));
    }
    browseRequests = 0;
    return given;
}

void InGameMenuPageVr::ShowSettings()
{
    movementRow.SetSelected(static_cast<int>(settings.activeGame.GetWalkPhysics()));
    moveTypeRow.SetSelected(static_cast<int>(settings.virtualReality.GetMovementType()));
    handRow.SetSelected(static_cast<int>(settings.virtualReality.GetHandPreference()) - 1);
    const std::uint32_t sizeIndex = std::min<std::uint32_t>(settings.activeGame.GetPlayerScaleIndex(), kScaleCount - 1);
    sizeSlider.GetSlider().SetValue(static_cast<float>(sizeIndex));
    sizeSlider.MarkDirty();
    ShowSize(sizeIndex);
    volume.ShowSetting();
    lastFog = OpaqueColour(settings.activeGame.GetFogColour());
    fogPicker.SetColour(lastFog);
    ShowCamera();
}

void InGameMenuPageVr::PageOut()
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    vr.SetRootPosition(worldRootPosition);
    // Let go of while still held, the size slider keeps the menu scale until the next PageOut.
    if (sizeSlider.GetSlider().IsBeingGrasped())
        return;
    vr.SetScale(settings.activeGame.GetPlayerScale() * settings.virtualReality.GetPlayerSizeBias());
    vr.SetDirectionModifier(PimAngle::FromDegrees(0.0f));
    settings.activeGame.coloursChanged = true;
}

void InGameMenuPageVr::ApplySize()
{
    const auto index = static_cast<std::uint32_t>(std::floor(sizeSlider.GetSlider().GetValue()));
    if (index == lastSizeIndex)
        return;
    settings.activeGame.SetPlayerScaleIndex(index);
    ShowSize(index);
}

void InGameMenuPageVr::Update()
{
    VoxelMenuPage::Update();
    if (!IsActivePage())
        return;
    if (movementRow.Update())
    {
        settings.activeGame.SetWalkPhysics(movementRow.GetSelected() == 0 ? 0 : 1);
        PimSoundSystem::PlaySound(MenuResources::kPlaySound);
    }
    sizeSlider.GetSlider().Update();
    if (sizeSlider.GetSlider().IsBeingGrasped())
        ApplySize();
    volume.Update();
    paletteMenu.Update();
    if (moveTypeRow.Update())
    {
        settings.virtualReality.SetMovementType(static_cast<std::uint32_t>(moveTypeRow.GetSelected()));
        PimSoundSystem::PlaySound(MenuResources::kPlaySound);
    }
    if (handRow.Update())
    {
        settings.virtualReality.SetHandPreference(static_cast<std::uint32_t>(handRow.GetSelected() + 1));
        PimSoundSystem::PlaySound(MenuResources::kPlaySound);
    }
    for (auto& row : referenceRows)
    {
        row->Update();
        if (row->TakeBrowseRequest())
        {
            RequestBrowse(row->GetSlot());
            return;
        }
    }
    fogPicker.Update();
    const PimColor fog = OpaqueColour(fogPicker.GetColour());
    if (!(fog == lastFog))
    {
        lastFog = fog;
        settings.activeGame.SetFogColour(fog);
    }
    // One flip per press: a held trigger flipping it every frame would leave it on or off by
    // chance of how many frames the pull lasted.
    cameraButton.Update();
    if (cameraButton.IsPressed() && !cameraLatch)
    {
        settings.inGameCamera = !settings.inGameCamera;
        ShowCamera();
    }
    cameraLatch = cameraButton.IsPressed();
    TutorialMarker::Of(settings).Update();
    exitButton.Update();
    if (exitButton.IsPressed())
        Exit();
}

void InGameMenuPageVr::Exit()
{
    PimSoundSystem::PlaySound(MenuResources::kPageSound);
    PimVrSystem::GetInstance().SetScale(settings.virtualReality.GetPlayerSizeBias() * kMenuScale);
    TutorialMarker::Of(settings).Finish();
    ActivateRootPage();
}

void InGameMenuPageVr::Draw()
{
    VoxelMenuPage::Draw();
    movementRow.Draw();
    exitButton.Draw();
    cameraButton.Draw();
    sizeSlider.Draw();
    sizeLabel.Draw();
    // The small and the big person at the two ends of the size slider.
    personIcon.SetScale(kMenuScale * 0.1f);
    personIcon.SetLocation(PimVector3(1.5f, 2.9f, 1.01f));
    personIcon.Draw();
    personIcon.SetScale(kMenuScale * 0.25f);
    personIcon.SetLocation(PimVector3(3.0f, 2.95f, 1.01f));
    personIcon.Draw();
    volume.Draw();
    moveTypeRow.Draw();
    handRow.Draw();
    paletteMenu.Draw();
    for (auto& row : referenceRows)
        row->Draw();
    fogIcon.Draw();
    fogPicker.Draw();
    TutorialMarker::Of(settings).Draw();
}

void InGameMenuPageVr::AddPointerSpots(std::vector<PointerSpot>& spots) const
{
    for (const OptionRow* row : {&movementRow, &moveTypeRow, &handRow})
        for (int i = 0; i < row->GetOptionCount(); ++i)
            spots.push_back({row->OptionPosition(i), row->GetOptionWidth() * 0.5f});
    spots.push_back({exitButton.GetBaseLocation(), exitButton.GetTouchRadius()});
    spots.push_back({cameraButton.GetBaseLocation(), cameraButton.GetTouchRadius()});
    spots.push_back(KnobSpot(sizeSlider.GetSlider()));
    spots.push_back(KnobSpot(volume.GetBar().GetSlider()));
    for (int channel = 0; channel < 3; ++channel)
        spots.push_back(KnobSpot(fogPicker.GetBar(channel).GetSlider()));
    paletteMenu.AddPointerSpots(spots);
    for (const auto& row : referenceRows)
        row->AddPointerSpots(spots);
}

std::optional<PimVector3> InGameMenuPageVr::HeldControlAlong(const PimVector3& origin, const PimVector3& direction) const
{
    if (auto held = HeldKnobAlong(sizeSlider.GetSlider(), origin, direction))
        return held;
    if (auto held = HeldKnobAlong(volume.GetBar().GetSlider(), origin, direction))
        return held;
    for (int channel = 0; channel < 3; ++channel)
        if (auto held = HeldKnobAlong(fogPicker.GetBar(channel).GetSlider(), origin, direction))
            return held;
    for (const auto& row : referenceRows)
        if (auto held = row->HeldControlAlong(origin, direction))
            return held;
    return paletteMenu.HeldControlAlong(origin, direction);
}
