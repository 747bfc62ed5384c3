#include "pages/WorldParamPageVr.h"

#include "pages/ModelNameCheck.h"
#include "pages/TutorialMarker.h"

#include "settings/GameSettings.h"
#include "world/ChunkBlock.h"

#include "engine/PimAngle.h"
#include "engine/PimDrawContext.h"
#include "engine/PimTime.h"
#include "engine/PimVrSystem.h"

#include <memory>

namespace
{
constexpr int kRoomSide = 5;
constexpr int kRoomHeight = 20;
constexpr std::uint16_t kLowerWall = 0xFFB2;
constexpr std::uint16_t kUpperWall = 0xFF82;
constexpr float kButtonScale = 0.15f;
constexpr float kFacingKeyboard = 90.0f;
constexpr PimColor kRefusalColour{255, 110, 90, 255};

// One latch for every name page of the run: a held enter or play press confirms once.
bool keyLatch = false;

// The buttons on the west wall face into the booth (+x).
PimMatrix4x4 FacingPlusX()
{
    return PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(90.0f));
}
}

void WorldParamPageVr::ResetKeyLatch()
{
    keyLatch = false;
}

WorldParamPageVr::WorldParamPageVr(GameSettings& settingsIn, std::shared_ptr<PimCamera> cameraIn)
    : VoxelMenuPage(settingsIn, std::move(cameraIn))
{
    BuildShellRoom(kRoomSide, kRoomHeight, kRoomSide, kLowerWall, kUpperWall);

    keyboard.SetScale(1.5f);
    keyboard.SetLocation(PimVector3(1.1f, 2.75f, 3.45f));
    // Its keys face into the booth (+x), running to the typist's right (-z).
    keyboard.SetDirection(PimAngle::FromDegrees(270.0f));

    backButtonEnabled = true;
    QuadButton& back = GetBackButton();
    back.SetQuadScale(kButtonScale);
    back.SetSizeFactor(kButtonScale);
    back.SetBaseLocation(PimVector3(1.01f, 3.5f, 3.8f));
    back.SetLocation(PimVector3(1.01f, 3.5f, 3.8f));
    back.SetOrientation(FacingPlusX());

    auto play = std::make_shared<PimTexture>();
    play->Load(settings.GetFolders().textures.Narrow() + "PlayButton.png");
    playButton.SetTexture(play);
    playButton.SetQuadScale(kButtonScale);
    playButton.SetSizeFactor(kButtonScale);
    playButton.SetBaseLocation(PimVector3(1.01f, 3.5f, 1.3f));
    playButton.SetLocation(PimVector3(1.01f, 3.5f, 1.3f));
    playButton.SetOrientation(FacingPlusX());

    // Above the keyboard's text line, read from the typist's side (+x), running to their right.
    refusal.SetPosition(PimVector3(1.05f, 3.9f, 3.6f));
    refusal.SetOrientation(PimMatrix4x4::CreateRotationY(PimAngle::FromDegrees(90.0f)));
    refusal.SetScale(0.9f);
    refusal.SetColor(kRefusalColour);
}

WorldParamPageVr::~WorldParamPageVr() = default;

void WorldParamPageVr::PageIn()
{
    VoxelMenuPage::PageIn();
    // Centred between the back button, the keyboard and the play button along the west wall.
    PlacePlayer(PimVector3(2.2f, 1.1f, 2.6f));
    // Facing the keyboard on the west wall (looking along -x).
    PimVrSystem::GetInstance().SetDirectionModifier(PimAngle::FromDegrees(kFacingKeyboard));
    keyboard.SetText("");
    backTouchLatch = true;
    GetBackButton().ClearPressed();
    refusal.SetText("");
    // Beside the keyboard until a character is typed, then over the play button (Update).
    TutorialMarker::Of(settings).Place(TutorialMarker::Arrow, keyboard.GetLocation() + PimVector3(0.0f, 1.2f, -0.8f),
                                       PimAngle::FromDegrees(0.0f), 1.0f);
}

void WorldParamPageVr::Update()
{
    keyboard.Update();
    VoxelMenuPage::Update();
    if (!IsActivePage())
        return; // the back action left the page
    const bool hasText = !keyboard.GetText().empty();
    TutorialMarker& tutorial = TutorialMarker::Of(settings);
    if (hasText)
    {
        playButton.Update();
        tutorial.Place(TutorialMarker::Arrow, playButton.GetBaseLocation() + PimVector3(0.0f, 0.5f, 0.0f),
                       PimAngle::FromDegrees(0.0f), 1.0f);
    }
    else
    {
        playButton.ClearPressed();
        tutorial.Place(TutorialMarker::Arrow, keyboard.GetLocation() + PimVector3(0.0f, 1.2f, -0.8f),
                       PimAngle::FromDegrees(0.0f), 1.0f);
    }
    tutorial.Update();

    if (!keyboard.IsEnterPressed() && !playButton.IsPressed())
    {
        if (keyboard.IsCancelPressed())
        {
            settings.activeGame.SetGameWorldName(PimWString());
            settings.activeGame.SetOptionsSet(false);
            refusal.SetText("");
        }
        keyLatch = false;
    }
    else if (!keyLatch)
    {
        keyLatch = true;
        Confirm();
    }

    if (!refusal.GetText().empty())
    {
        refusalTime += static_cast<float>(PimTime::SecondDelta());
        if (refusalTime > kRefusalSeconds)
            refusal.SetText("");
    }
}

void WorldParamPageVr::Confirm()
{
    const PimWString name = ModelNameCheck::Tidy(PimWString::Widen(keyboard.GetText()));
    const ModelNameCheck::Verdict verdict = ModelNameCheck::Check(settings, name);
    if (verdict != ModelNameCheck::Verdict::Accepted)
    {
        Refuse(ModelNameCheck::Explain(verdict, name));
        return;
    }
    settings.activeGame.SetGameWorldName(name);
    settings.activeGame.SetOptionsSet(true);
    ActivateParentPage();
}

void WorldParamPageVr::Refuse(const std::string& text)
{
    refusal.SetText(text);
    refusalTime = 0.0f;
}

void WorldParamPageVr::Draw()
{
    VoxelMenuPage::Draw();
    keyboard.Draw(PimDrawContext::GetViewProjection());
    if (!keyboard.GetText().empty())
        playButton.Draw();
    if (!refusal.GetText().empty())
        refusal.Draw();
    TutorialMarker::Of(settings).Draw();
}
