#include "pages/VoxelMenuPage.h"

#include "pages/MenuResources.h"
#include "pages/SimulatorLegend.h"

#include "player/PlayerRig.h"

#include "colour/PaletteModel.h"

#include "world/ChunkBlock.h"

#include "settings/GameSettings.h"

#include "engine/PimAngle.h"
#include "engine/PimDrawContext.h"
#include "engine/PimFile.h"
#include "engine/PimSoundSystem.h"
#include "engine/PimTime.h"
#include "engine/PimViewport.h"
#include "engine/PimVoxelGrid.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSimulator.h"
#include "engine/PimVrSystem.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace
{
constexpr float kPressThreshold = 0.3f;
// The page whose buttons the simulator's pointer finds; main thread only.
VoxelMenuPage* pointerOwner = nullptr;

PimColor WhiteFaded(float alpha)
{
    PimColor colour;
    colour.SetColorFloat4(1.0f, 1.0f, 1.0f, alpha);
    return colour;
}

PimWString UpperCase(const PimWString& text)
{
    PimWString upper = text;
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return upper;
}
}

VoxelMenuPage::VoxelMenuPage(GameSettings& settingsIn, std::shared_ptr<PimCamera> camera)
    : settings(settingsIn), player(std::make_unique<PlayerRig>(settingsIn, std::move(camera), PlayerRig::Mode::MenuRoom))
{
    const MenuResources& resources = MenuResources::Get(settings);
    backButton.SetTexture(resources.backPicture);
    player->LoadReticle();
    // The desktop simulator's keys and what they do in a menu room, drawn over the room.
    legend = std::make_shared<SimulatorLegend>();
    legend->SetPageLines({"In the menus: point at a play, trash or back button and left click to press it; "
                          "M goes back a page"});
    AddChildComponent(legend);
}

VoxelMenuPage::~VoxelMenuPage()
{
    if (pointerOwner == this)
    {
        if (PimVrSimulator* simulator = PimVrSystem::GetInstance().GetSimulator())
            simulator->SetPointerTarget({});
        pointerOwner = nullptr;
    }
    ClearItems();
}

void VoxelMenuPage::OnItemPlay(int) {}
void VoxelMenuPage::AddPointerSpots(std::vector<PointerSpot>&) const {}

std::optional<PimVector3> VoxelMenuPage::HeldControlAlong(const PimVector3&, const PimVector3&) const
{
    return std::nullopt;
}

void VoxelMenuPage::SetLegendLines(std::vector<std::string> lines)
{
    legend->SetPageLines(std::move(lines));
}
void VoxelMenuPage::OnItemDelete(int) {}
void VoxelMenuPage::OnBack() {}

void VoxelMenuPage::BuildRoom(int sizeX, int sizeY, int sizeZ)
{
    PaletteModel::ApplyDefaultColours();
    room = std::make_unique<ChunkBlock>();
    room->Create(static_cast<std::uint8_t>(sizeX / 32 + 1), static_cast<std::uint8_t>(sizeY / 32 + 1),
                 static_cast<std::uint8_t>(sizeZ / 32 + 1));
    room->LoadTextures(MenuResources::Get(settings).roomAtlas);
    player->GetEditTarget().SetModel(room.get());
}

void VoxelMenuPage::BuildShellRoom(int sideX, int height, int sideZ, std::uint16_t lowerWall, std::uint16_t upperWall)
{
    BuildRoom(sideX, height, sideZ);
    roomSize = PimVector3(static_cast<float>(sideX), static_cast<float>(height), static_cast<float>(sideZ));
    for (int y = 0; y < height; ++y)
        for (int z = 0; z < sideZ; ++z)
            for (int x = 0; x < sideX; ++x)
            {
                const bool shell = x == 0 || y == 0 || z == 0 || x == sideX - 1 || y == height - 1 || z == sideZ - 1;
                if (shell)
                    SetVoxelAt(y > 2 ? upperWall : lowerWall, PimVector3(x, y, z));
            }
    FinishRoom();
}

void VoxelMenuPage::SetVoxelAt(std::uint16_t value, const PimVector3& position)
{
    if (room)
        room->SetVoxelAt(value, position, false, false);
}

void VoxelMenuPage::FinishRoom()
{
    if (!room)
        return;
    for (int i = 0; i < room->GetTotalChunks(); ++i)
        room->GetChunk(i)->Regenerate(false);
    room->Build();
}

void VoxelMenuPage::SetOrientation(float yawDegrees, float pitchDegrees, float rollDegrees)
{
    orientation = PimMatrix4x4::CreateFromYawPitchRoll(PimAngle::FromDegrees(yawDegrees), PimAngle::FromDegrees(pitchDegrees),
                                                       PimAngle::FromDegrees(rollDegrees));
    if (yawDegrees == 0.0f)
        buttonOffset = orientation.TransformDirection({0.0f, 0.0f, 1.0f});
}

void VoxelMenuPage::ClearItems()
{
    while (!items.empty())
        items.pop_back();
}

std::vector<std::unique_ptr<MenuItem>> VoxelMenuPage::TakeItems()
{
    std::vector<std::unique_ptr<MenuItem>> taken;
    while (!items.empty())
    {
        taken.push_back(std::move(items.back()));
        items.pop_back();
    }
    return taken;
}

void VoxelMenuPage::AddPedestalItem(std::unique_ptr<MenuItem> item, std::uint16_t pedestalVoxel)
{
    const PimVector3 p = item->position;
    for (int y = 1; y <= pedestalHeight; ++y)
        SetVoxelAt(pedestalVoxel, PimVector3(p.x, static_cast<float>(y), p.z));
    SetVoxelAt(kPedestalTop, PimVector3(p.x, static_cast<float>(pedestalHeight + 1), p.z));
    item->MoveTo(PimVector3(p.x, static_cast<float>(pedestalHeight + 1), p.z));
    items.push_back(std::move(item));
}

MenuItem& VoxelMenuPage::AddItem(const PimVector3& position, std::int32_t index, std::uint16_t pedestalVoxel,
                                 const PimWString& name, const PimWString& picturePath, const PimWString& modelPath,
                                 const PimTexture& picture)
{
    auto item = std::make_unique<MenuItem>();
    item->name = name;
    item->index = index;
    item->position = PimVector3(position.x, static_cast<float>(pedestalHeight + 1), position.z);
    const auto& atlas = MenuResources::Get(settings).roomAtlas;
    if (!modelPath.empty())
    {
        item->model = std::make_unique<PictureModel>(atlas, item->ContentBase());
        item->model->FillFromModelFile(modelPath);
    }
    else if (picture.IsValid() && picture.GetWidth() == PictureModel::kSide && picture.GetHeight() == PictureModel::kSide)
    {
        item->model = std::make_unique<PictureModel>(atlas, item->ContentBase());
        item->model->FillFromPicture(picture);
    }
    else if (!picturePath.empty() && PimFile::IsRegularFile(picturePath))
    {
        // The thumbnail is all that is shown; no model is made behind it.
        item->picture = std::make_unique<PictureCube>();
        item->picture->SetPosition(item->ContentBase());
        item->picture->SetPicturePath(picturePath);
    }
    else
    {
        item->model = std::make_unique<PictureModel>(atlas, item->ContentBase());
        item->model->FillPlaceholder();
    }
    if (item->model)
        item->model->Build();
    PlaceLabel(*item);
    MenuItem& added = *item;
    AddPedestalItem(std::move(item), pedestalVoxel);
    return added;
}

MenuItem& VoxelMenuPage::AddItem(const PimVector3& position, std::int32_t index, std::uint16_t pedestalVoxel,
                                 const PimWString& name, const PimTexture& picture)
{
    return AddItem(position, index, pedestalVoxel, name, PimWString(), PimWString(), picture);
}

MenuItem& VoxelMenuPage::AddItem(const PimVector3& position, std::int32_t index, std::uint16_t pedestalVoxel,
                                 const PimWString& name)
{
    return AddItem(position, index, pedestalVoxel, name, PimWString(), PimWString(), PimTexture());
}

MenuItem& VoxelMenuPage::AddItem(const PimVector3& position, std::int32_t index, std::uint16_t pedestalVoxel)
{
    return AddItem(position, index, pedestalVoxel, PimWString());
}

void VoxelMenuPage::PlaceLabel(MenuItem& item) const
{
    const float n = static_cast<float>(item.name.size());
    item.label.SetText(std::wstring_view(UpperCase(item.name)));
    const float halfWidth = (n / 12.5f) * 0.5f * kLabelScale;
    item.label.SetScale(kLabelScale);
    item.label.SetPosition(item.position + PimVector3(0.0f, kLabelLift, 0.5f - halfWidth));
    item.label.SetOrientation(orientation);
}

PimVector3 VoxelMenuPage::PlayButtonPosition(const MenuItem& item) const
{
    const PimVector3 q(item.position.x, static_cast<float>(pedestalHeight) + 1.2f, item.position.z);
    return q + orientation.TransformDirection({playOffsetX + 0.5f, 0.0f, 0.01f}) + buttonOffset;
}

PimVector3 VoxelMenuPage::DeleteButtonPosition(const MenuItem& item) const
{
    const PimVector3 q(item.position.x, static_cast<float>(pedestalHeight) + 1.2f, item.position.z);
    return q + orientation.TransformDirection({deleteOffsetX + 0.5f, 0.0f, 0.01f}) + buttonOffset;
}

void VoxelMenuPage::TouchTest()
{
    hoveredPlay = -1;
    hoveredDelete = -1;
    PimVrSystem& vr = PimVrSystem::GetInstance();
    bool pressed = false;
    for (int role : {PimVrDeviceIndex::LeftHand, PimVrDeviceIndex::RightHand})
    {
        const PimVrController& hand = vr.GetHandController(role);
        if (!hand.IsValid())
            continue;
        pressed = pressed || hand.GetValue(PimVrButton::Trigger) > kPressThreshold;
        const PimVector3 tip = hand.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
        for (std::size_t i = 0; i < items.size(); ++i)
        {
            // A deleted item keeps its place in the list but has no buttons.
            if (items[i]->index < 0)
                continue;
            const int index = static_cast<int>(i);
            if (tip.Distance(PlayButtonPosition(*items[i])) < kPlayTouch)
            {
                hoveredPlay = static_cast<std::int16_t>(index);
                if (pressed)
                {
                    PimSoundSystem::PlaySound(MenuResources::kPlaySound);
                    OnItemPlay(index);
                }
                return;
            }
            if (showDelete && tip.Distance(DeleteButtonPosition(*items[i])) < kDeleteTouch)
            {
                hoveredDelete = static_cast<std::int16_t>(index);
                if (pressed)
                {
                    PimSoundSystem::PlaySound(MenuResources::kDeleteSound);
                    OnItemDelete(index);
                }
                return;
            }
        }
    }
}

void VoxelMenuPage::BackAction()
{
    const int role = static_cast<int>(settings.virtualReality.GetHandPreference());
    const float value = PimVrSystem::GetInstance().GetHandController(role).GetValue(PimVrButton::Menu);
    if (value > 0.0f && !backLatch)
    {
        backLatch = true;
        backTouchLatch = true;
        OnBack();
        PimSoundSystem::PlaySound(MenuResources::kPageSound);
        ActivateParentPage();
    }
    backLatch = value > 0.0f;
}

void VoxelMenuPage::BackButton()
{
    backButton.Update();
    if (backButton.IsPressed() && !backTouchLatch)
    {
        PimSoundSystem::PlaySound(MenuResources::kPageSound);
        OnBack();
        ActivateParentPage();
        backLatch = true;
    }
    backTouchLatch = backButton.IsPressed();
}

void VoxelMenuPage::Wobble()
{
    const float s = PimVrSystem::GetInstance().GetScale() * 0.01f;
    hoverTime += static_cast<float>(PimTime::MillisecondDelta()) * 0.001f * 100.0f;
    hoverOffset.x += std::sin(hoverTime) * s;
    hoverOffset.y += std::cos(hoverTime + 0.39f) * s;
    hoverOffset.z += std::sin(hoverTime + 1.7f) * s;
}

void VoxelMenuPage::TurnPlayAreaToHead(PimAngle straightAhead)
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    const PimVrController& headset = vr.GetHeadsetController();
    float headYaw = 0.0f;
    if (headset.IsValid())
    {
        // The head's forward in the play area, flattened; its turn from straight ahead (-z).
        const PimVector3 forward =
            headset.GetDeviceOrientation(PimVrPose::Tip, PimVrCoordinates::Tracking).TransformDirection({0.0f, 0.0f, -1.0f});
        if (std::fabs(forward.x) + std::fabs(forward.z) > 1e-4f)
            headYaw = std::atan2(-forward.x, -forward.z);
    }
    vr.SetDirectionModifier(PimAngle::FromRadians(straightAhead.GetRadians() - headYaw));
}

void VoxelMenuPage::PlacePlayer(const PimVector3& target)
{
    placementTarget = target;
    placementState = 1;
}

bool VoxelMenuPage::KeepInRoom()
{
    if (placementState == 1)
    {
        placementState = 2;
        return true;
    }
    if (placementState == 2)
    {
        placementState = 0;
        player->GetLocomotion().MoveTo(placementTarget);
        return false;
    }
    const PimVrController& headset = PimVrSystem::GetInstance().GetHeadsetController();
    if (!headset.IsValid())
        return true;
    const PimVector3 head = HeadPosition();
    const float heightOffset = head.y - player->GetLocomotion().GetFeet().y;
    PimVector3 r(head.x, player->GetLocomotion().GetFeet().y, head.z);
    const PimVector3 before = r;
    if (r.y < 0.5f)
        r.y = 1.0f;
    else if (head.y > roomSize.y - 0.5f)
        r.y = roomSize.y - heightOffset - 1.0f;
    const auto keep = [](float& v, float size) {
        if (v < 0.5f)
            v = 1.5f;
        else if (v > size - 0.5f)
            v = size - 1.5f;
    };
    keep(r.x, roomSize.x);
    keep(r.z, roomSize.z);
    if (!(r == before))
        player->GetLocomotion().MoveTo(r);
    return true;
}

void VoxelMenuPage::Update()
{
    if (room)
        for (int i = 0; i < room->GetTotalChunks(); ++i)
            room->GetChunk(i)->Update();
    for (const auto& item : items)
        if (item->model)
            item->model->Update();
    player->Update();
    TouchTest();
    if (!backDisabled)
        BackAction();
    if (backButtonEnabled)
        BackButton();
    // Left for the parent: the player now stands where the parent put them (the world, for the
    // in-game menu), which this room must not pull back inside its walls.
    if (!IsActivePage())
        return;
    Wobble();
    InstallPointerTarget();
    if (!KeepInRoom())
        return;
    player->FollowHandColourSetting();
}

PimVector3 VoxelMenuPage::HeadPosition() const
{
    return PimVrSystem::GetInstance().GetHeadsetController().GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
}

void VoxelMenuPage::Draw()
{
    if (PimViewport* viewport = PimDrawContext::GetViewport())
        viewport->SetClearColor({0, 0, 0, 255});
    if (backButtonEnabled)
        backButton.Draw();
    if (room)
        for (int i = 0; i < room->GetTotalChunks(); ++i)
            room->GetChunk(i)->Draw();
    for (const auto& item : items)
    {
        if (item->picture)
            item->picture->Draw();
        else if (item->model)
            item->model->Draw();
    }
    const PimVector3 head = HeadPosition();
    for (const auto& item : items)
    {
        if (item->label.GetText().empty())
            continue;
        const float d = head.Distance(item->label.GetPosition());
        if (d >= kLabelRange)
            continue;
        item->label.SetColor(WhiteFaded(1.0f - d / kLabelRange));
        item->label.Draw();
    }
    player->Draw();
    DrawButtons();
}

void VoxelMenuPage::DrawButtons()
{
    MenuResources& resources = MenuResources::Get(settings);
    const PimVector3 head = HeadPosition();
    for (std::size_t i = 0; i < items.size(); ++i)
    {
        const MenuItem& item = *items[i];
        if (item.index < 0)
            continue;
        const PimVector3 play = PlayButtonPosition(item);
        const float a = 1.0f - play.Distance(head) / kButtonRange;
        if (a <= 0.0f)
            continue;
        const PimColor fade = WhiteFaded(a);
        const bool playHovered = hoveredPlay == static_cast<std::int16_t>(i);
        resources.playQuad.SetColor(fade);
        resources.playQuad.SetOrientation(orientation);
        resources.playQuad.SetLocation(play + (playHovered ? hoverOffset : PimVector3()));
        resources.playQuad.Draw();
        if (!showDelete)
            continue;
        const bool deleteHovered = hoveredDelete == static_cast<std::int16_t>(i);
        resources.trashQuad.SetColor(fade);
        resources.trashQuad.SetOrientation(orientation);
        resources.trashQuad.SetLocation(DeleteButtonPosition(item) + (deleteHovered ? hoverOffset : PimVector3()));
        resources.trashQuad.Draw();
    }
}

void VoxelMenuPage::PageIn()
{
    savedRootPosition = PimVrSystem::GetInstance().GetRootPosition();
}

void VoxelMenuPage::PageOut()
{
    PimVrSystem::GetInstance().SetRootPosition(savedRootPosition);
}

std::optional<PimVector3> VoxelMenuPage::PressableAlong(const PimVector3& origin, const PimVector3& direction) const
{
    if (std::optional<PimVector3> held = HeldControlAlong(origin, direction))
        return held;
    std::vector<PointerSpot> spots;
    const float half = MenuResources::kButtonScale * 0.5f;
    for (const auto& item : items)
    {
        if (item->index < 0)
            continue;
        spots.push_back({PlayButtonPosition(*item), half});
        if (showDelete)
            spots.push_back({DeleteButtonPosition(*item), half});
    }
    if (backButtonEnabled)
        spots.push_back({backButton.GetBaseLocation(), backButton.GetTouchRadius()});
    AddPointerSpots(spots);
    std::optional<PimVector3> nearest;
    float nearestAlong = 0.0f;
    for (const PointerSpot& spot : spots)
    {
        const float along = (spot.centre - origin).Dot(direction);
        if (along <= 0.0f || (origin + direction * along).Distance(spot.centre) >= std::max(spot.radius, along * kPointerAim))
            continue;
        if (!nearest || along < nearestAlong)
        {
            nearest = spot.centre;
            nearestAlong = along;
        }
    }
    return nearest;
}

void VoxelMenuPage::InstallPointerTarget()
{
    PimVrSimulator* simulator = PimVrSystem::GetInstance().GetSimulator();
    if (simulator == nullptr || pointerOwner == this)
        return;
    pointerOwner = this;
    simulator->SetPointerTarget([this](const PimVector3& eye, const PimVector3& ray) -> std::optional<PimVector3> {
        if (!IsActivePage())
            return std::nullopt;
        const PimVrSystem& vr = PimVrSystem::GetInstance();
        const PimVector3 origin = vr.TrackingToWorld(eye);
        const PimVector3 direction = (vr.TrackingToWorld(eye + ray) - origin).Normalized();
        const std::optional<PimVector3> button = PressableAlong(origin, direction);
        if (!button)
            return std::nullopt;
        // Back into tracking space: unturned about the root and unscaled.
        const PimMatrix4x4 unturn = PimMatrix4x4::CreateRotationY(PimAngle::FromRadians(-vr.GetDirectionModifier().GetRadians()));
        return unturn.TransformDirection(*button - vr.GetRootPosition()) / vr.GetScale();
    });
}
