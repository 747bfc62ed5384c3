#pragma once

#include "pages/QuadButton.h"
#include "pages/VoxelMenuPage.h"

#include "engine/Pim3DText.h"
#include "engine/PimVrKeyboard.h"

// The booth where a new model is named in the headset: a 5 x 5 x 20 room with a keyboard standing
// in it (typed on by touching its keys with a controller's tip), a green play button that appears
// once a character is typed, and the blue back button. Enter or play confirms the name: a name
// that is empty, unusable as a folder name or already a model's is refused with a line saying why,
// and the page stays; an accepted name becomes the active game's "GameWorldName" with
// "OptionsSet", and the page returns to the main menu, which starts the new model. Cancel clears
// the name and the start flag and stays. A confirmation counts once per press (one latch for the
// whole process). Without a headset the main menu opens the desktop page (WorldParamPage) instead.
// Main thread only.
class WorldParamPageVr : public VoxelMenuPage
{
public:
    static constexpr float kRefusalSeconds = 4.0f;

    WorldParamPageVr(GameSettings& settings, std::shared_ptr<PimCamera> camera);
    ~WorldParamPageVr() override;

    void Update() override;
    void Draw() override;
    void PageIn() override;

    PimVrKeyboard& GetKeyboard() { return keyboard; }
    QuadButton& GetPlayButton() { return playButton; }
    // The refusal shown now ("" while none is).
    const PimWString& GetRefusal() const { return refusal.GetText(); }
    // Clears the process-wide confirmation latch (tests start from a released control).
    static void ResetKeyLatch();

private:
    void Confirm();
    void Refuse(const std::string& text);

    PimVrKeyboard keyboard;
    QuadButton playButton;
    Pim3DText refusal;
    float refusalTime = 0.0f;
};
