#include "pages/VRFileBrowser.h"

#include "pages/MenuResources.h"

#include "settings/GameSettings.h"

#include "engine/PimAngle.h"
#include "engine/PimFile.h"
#include "engine/PimFilePath.h"
#include "engine/PimPngCodec.h"
#include "engine/PimVrSystem.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwctype>

namespace
{
constexpr int kRoomSide = static_cast<int>(VRFileBrowser::kMenuScale * 4.0f);
constexpr int kRoomHeight = 20;
constexpr PimVector3 kPanelOrigin{1.01f, 3.5f, 3.85f};
constexpr float kButtonWidth = VRFileBrowser::kMenuScale * 0.1f;
// Half the width of a line's box frame: the pointer's reach on it.
constexpr float kBoxReach = 0.045f;

// Facing into the booth from its north wall (the column) and from its west wall (the back button).
PimMatrix4x4 NorthWall()
{
    return PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(180.0f));
}
PimMatrix4x4 WestWall()
{
    return PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(90.0f));
}

void PlaceButton(QuadButton& button, const PimVector3& at, const PimMatrix4x4& orientation)
{
    button.SetBaseLocation(at);
    button.SetLocation(at);
    button.SetOrientation(orientation);
    button.SetQuadScale(kButtonWidth);
    button.SetSizeFactor(kButtonWidth);
}

bool IsPicture(const PimWString& name)
{
    const std::size_t dot = name.rfind(L'.');
    return dot != PimWString::npos && PimWString(name.substr(dot + 1)).ToLower() == L"png";
}
}

VRFileBrowser::VRFileBrowser(GameSettings& settingsIn, std::shared_ptr<PimCamera> camera)
    : VoxelMenuPage(settingsIn, std::move(camera))
{
    BuildShellRoom(kRoomSide, kRoomHeight, kRoomSide, kLowerWall, kUpperWall);
    SetUpControls();
    SetLegendLines({"File browser: click a box to open a folder or choose a picture; drag the knob to scroll; "
                    "house: pictures, arrow: up a folder; M: back without choosing"});
}

VRFileBrowser::~VRFileBrowser() = default;

void VRFileBrowser::SetUpControls()
{
    PimVrUISlider& slider = scrollSlider.GetSlider();
    slider.SetMinValue(0.0f);
    slider.SetMaxValue(1.0f);
    slider.SetValue(0.0f);
    // Turned to run down the wall: the knob starts at the top.
    slider.SetOrientation(NorthWall() * PimMatrix4x4::CreateRotationZ(PimAngle::FromDegrees(-90.0f)));
    slider.SetAnchorPosition(kSliderAnchor);
    scrollSlider.MarkDirty();

    backButtonEnabled = true;
    QuadButton& back = GetBackButton();
    back.SetTexture(MenuResources::LoadPicture(settings, "ExitGame.png"));
    PlaceButton(back, kPanelOrigin + PimVector3(0.0f, -0.4f, 0.0f), WestWall());
    homeButton.SetTexture(MenuResources::LoadPicture(settings, "HomeDirectory.png"));
    PlaceButton(homeButton, kHomePlace, NorthWall());
    upButton.SetTexture(MenuResources::LoadPicture(settings, "UpDirectory.png"));
    PlaceButton(upButton, kUpPlace, NorthWall());
}

PimWString VRFileBrowser::PicturesFolder() const
{
    PimWString folder = settings.GetFolders().picturesFolder;
    std::replace(folder.begin(), folder.end(), L'\\', L'/');
    if (folder.empty() || folder.back() != L'/')
        folder += L'/';
    return folder;
}

bool VRFileBrowser::CanOpen(const PimFileListing& listing) const
{
    const char* reason = nullptr;
    if (!listing.nameIsUtf8)
        reason = "its name is not UTF-8, so it cannot be opened by name";
    else if (listing.name.find(L'\\') != PimWString::npos)
        reason = "its name holds a backslash, which the program reads as a folder separator";
    if (reason == nullptr)
        return true;
    std::fprintf(stderr, "file browser: left out %s%s: %s\n", currentFolder.Narrow().c_str(),
                 listing.name.Narrow().c_str(), reason);
    return false;
}

void VRFileBrowser::ListFolder(const PimWString& folder)
{
    currentFolder = folder;
    if (currentFolder.empty() || currentFolder.back() != L'/')
        currentFolder += L'/';
    entries.clear();
    const PimFolderContents contents = PimFile::GetFolderContents(currentFolder);
    if (!contents.error.empty())
        std::fprintf(stderr, "file browser: cannot read the folder %s: %s\n", currentFolder.Narrow().c_str(),
                     contents.error.c_str());
    for (const std::string& skipped : contents.skipped)
        std::fprintf(stderr, "file browser: left out %s%s\n", currentFolder.Narrow().c_str(), skipped.c_str());

    const PimMatrix4x4 turn = NorthWall();
    entries.reserve(contents.directories.size() + contents.files.size());
    for (const PimFileListing& directory : contents.directories)
        if (CanOpen(directory))
            entries.push_back(std::make_unique<FileBrowserEntry>(directory.name, true, turn));
    for (const PimFileListing& file : contents.files)
        if (IsPicture(file.name) && CanOpen(file))
            entries.push_back(std::make_unique<FileBrowserEntry>(file.name, false, turn));

    PimVrUISlider& slider = scrollSlider.GetSlider();
    slider.SetValue(0.0f);
    slider.SetMaxValue(static_cast<float>(entries.size()));
    scrollSlider.MarkDirty();
    LayOut();
}

PimVector3 VRFileBrowser::ColumnBase() const
{
    return kColumnOrigin - PimVector3(0.0f, kEntryStep * scrollSlider.GetSlider().GetValue(), 0.0f);
}

std::pair<std::size_t, std::size_t> VRFileBrowser::ShownRange() const
{
    const float base = ColumnBase().y;
    const float first = std::ceil((kLowestShown - base) / kEntryStep);
    const float last = std::floor((kHighestShown - base) / kEntryStep) + 1.0f;
    const float count = static_cast<float>(entries.size());
    const auto clamp = [count](float index) { return static_cast<std::size_t>(std::clamp(index, 0.0f, count)); };
    return {clamp(first), clamp(std::max(first, last))};
}

void VRFileBrowser::LayOut()
{
    laidOutValue = scrollSlider.GetSlider().GetValue();
    const PimVector3 base = ColumnBase();
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i]->Place(base + PimVector3(0.0f, kEntryStep * static_cast<float>(i), 0.0f));
    const auto [first, last] = ShownRange();
    for (std::size_t i = first; i < last; ++i)
        entries[i]->ShowLabel(entries[i]->IsDirectory() ? kDirectoryColour : kFileColour);
}

void VRFileBrowser::GoHome()
{
    ListFolder(PicturesFolder());
}

void VRFileBrowser::GoUp()
{
    if (currentFolder.size() < 2)
        return;
    const std::size_t cut = currentFolder.rfind(L'/', currentFolder.size() - 2);
    if (cut != PimWString::npos)
        ListFolder(currentFolder.substr(0, cut + 1));
}

void VRFileBrowser::Take(std::size_t index)
{
    FileBrowserEntry& entry = *entries.at(index);
    if (entry.IsDirectory())
    {
        ListFolder(currentFolder + entry.GetName() + L"/");
        return;
    }
    const PimWString path = currentFolder + entry.GetName();
    int width = 0;
    int height = 0;
    std::string error;
    if (!PimPngCodec::ReadSize(PimFilePath(path).Native(), width, height, error))
    {
        std::fprintf(stderr, "file browser: %s cannot be a reference picture: %s\n", path.Narrow().c_str(),
                     error.c_str());
        entry.GetBox().SetChecked(false);
        return;
    }
    chosenPath = path;
    ActivateParentPage();
}

void VRFileBrowser::PageIn()
{
    chosenPath.clear();
    ListFolder(currentFolder.empty() ? PicturesFolder() : currentFolder);
    PimVrSystem& vr = PimVrSystem::GetInstance();
    savedRootPosition = vr.GetRootPosition();
    vr.SetScale(settings.virtualReality.GetPlayerSizeBias() * kMenuScale);
    PlacePlayer(StandPoint());
    // Facing the column on the north wall, wherever the head looks (a row behind the user opens it).
    TurnPlayAreaToHead(PimAngle::FromDegrees(180.0f));
    backTouchLatch = true;
    GetBackButton().ClearPressed();
    upLatch = true;
    homeLatch = true;
}

void VRFileBrowser::PageOut()
{
    PimVrSystem::GetInstance().SetRootPosition(savedRootPosition);
}

void VRFileBrowser::Update()
{
    VoxelMenuPage::Update();
    if (!IsActivePage())
        return;
    PimVrUISlider& slider = scrollSlider.GetSlider();
    slider.Update();
    if (slider.GetValue() != laidOutValue)
    {
        scrollSlider.MarkDirty();
        LayOut();
    }
    const auto [first, last] = ShownRange();
    for (std::size_t i = first; i < last; ++i)
    {
        UICheckboxVr& box = entries[i]->GetBox();
        box.Update();
        if (box.IsChecked())
        {
            // Opening a folder replaces the lines; choosing a picture leaves the page.
            Take(i);
            return;
        }
    }
    homeButton.Update();
    if (homeButton.IsPressed() && !homeLatch)
        GoHome();
    homeLatch = homeButton.IsPressed();
    upButton.Update();
    if (upButton.IsPressed() && !upLatch)
        GoUp();
    upLatch = upButton.IsPressed();
}

void VRFileBrowser::Draw()
{
    VoxelMenuPage::Draw();
    upButton.Draw();
    homeButton.Draw();
    scrollSlider.Draw();
    const auto [first, last] = ShownRange();
    for (std::size_t i = first; i < last; ++i)
        entries[i]->Draw();
}

void VRFileBrowser::AddPointerSpots(std::vector<PointerSpot>& spots) const
{
    const auto [first, last] = ShownRange();
    for (std::size_t i = first; i < last; ++i)
        spots.push_back({entries[i]->GetPosition(), kBoxReach});
    spots.push_back(KnobSpot(scrollSlider.GetSlider()));
    spots.push_back({homeButton.GetBaseLocation(), homeButton.GetTouchRadius()});
    spots.push_back({upButton.GetBaseLocation(), upButton.GetTouchRadius()});
}

std::optional<PimVector3> VRFileBrowser::HeldControlAlong(const PimVector3& origin, const PimVector3& direction) const
{
    return HeldKnobAlong(scrollSlider.GetSlider(), origin, direction);
}
