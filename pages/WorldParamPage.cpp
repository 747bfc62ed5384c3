#include "pages/WorldParamPage.h"

#include "pages/ModelNameCheck.h"
#include "pages/SimulatorLegend.h"

#include "settings/GameSettings.h"

#include "engine/PimInputTray.h"
#include "engine/PimKeyTable.h"
#include "engine/PimSystem.h"
#include "engine/PimTime.h"

#include <algorithm>
#include <cmath>

namespace
{
// One latch for every desktop name page of the run: a held enter confirms once.
bool enterLatch = false;
bool escapeLatch = false;

constexpr PimColor kTitleColour{255, 230, 120, 255};
constexpr PimColor kTextColour{255, 255, 255, 255};
constexpr PimColor kRefusalColour{255, 120, 95, 255};
constexpr PimColor kHintColour{170, 190, 215, 255};
// The page's lines are laid out for a window this wide and scaled with the window.
constexpr float kDesignWidth = 800.0f;
}

void WorldParamPage::ResetEnterLatch()
{
    enterLatch = false;
    escapeLatch = false;
}

WorldParamPage::WorldParamPage(GameSettings& settingsIn) : settings(settingsIn)
{
    textBox.SetText(std::wstring_view(settings.activeGame.GetGameWorldName()));
    title.SetText("ENTER WORLD NAME");
    title.SetColor(kTitleColour);
    line.SetColor(kTextColour);
    refusal.SetColor(kRefusalColour);
    hint.SetText("Type the new model's name, Enter starts it, Escape goes back");
    hint.SetColor(kHintColour);
    legend = std::make_shared<SimulatorLegend>();
    AddChildComponent(legend);
}

WorldParamPage::~WorldParamPage()
{
    PimInputTray::GetInstance().SetKeyboardCaptured(false);
}

void WorldParamPage::PageIn()
{
    PimInputTray::GetInstance().SetKeyboardCaptured(true);
    // The key that chose the page may still be down: it types nothing.
    enterLatch = true;
    escapeLatch = true;
    refusalText.clear();
    refusal.SetText("");
}

void WorldParamPage::PageOut()
{
    PimInputTray::GetInstance().SetKeyboardCaptured(false);
}

void WorldParamPage::Update()
{
    const PimWString before = textBox.GetText();
    textBox.Update();
    if (textBox.GetText() != before)
    {
        refusalText.clear();
        refusal.SetText("");
    }
    const PimKeyboard& keyboard = PimInputTray::GetInstance().GetKeyboard();
    const bool enter = keyboard.KeyStatus(PimKeyTable::Enter) == PimKeyboard::Pressed;
    if (enter && !enterLatch)
    {
        enterLatch = true;
        Confirm();
        return;
    }
    enterLatch = enter;
    const bool escape = keyboard.KeyStatus(PimKeyTable::Escape) == PimKeyboard::Pressed;
    if (escape && !escapeLatch)
    {
        escapeLatch = true;
        ActivateParentPage();
        return;
    }
    escapeLatch = escape;
    blink += static_cast<float>(PimTime::SecondDelta());
}

void WorldParamPage::Confirm()
{
    const PimWString name = ModelNameCheck::Tidy(textBox.GetText());
    const ModelNameCheck::Verdict verdict = ModelNameCheck::Check(settings, name);
    if (verdict != ModelNameCheck::Verdict::Accepted)
    {
        refusalText = ModelNameCheck::Explain(verdict, name);
        refusal.SetText(refusalText);
        laidOutWidth = 0; // fitted at the next draw
        return;
    }
    settings.activeGame.SetGameWorldName(name);
    settings.activeGame.SetOptionsSet(true);
    ActivateParentPage();
}

void WorldParamPage::Layout()
{
    const int width = PimSystem::GetFramebufferWidth();
    const int height = PimSystem::GetFramebufferHeight();
    laidOutWidth = width;
    const float unit = std::max(0.5f, static_cast<float>(width) / kDesignWidth);
    const float left = 150.0f * unit * 0.6f;
    const float top = static_cast<float>(height) * 0.38f;
    title.SetScale(0.9f * unit);
    title.SetPosition({left, top});
    line.SetScale(0.8f * unit);
    line.SetPosition({left, top + title.GetSize().y * 1.6f});
    refusal.SetPosition({left, top + title.GetSize().y * 3.2f});
    // The hint and a refusal fit the window's width.
    const auto fit = [&](PimText& text, float preferred) {
        text.SetScale(1.0f);
        const float natural = text.GetSize().x;
        const float room = static_cast<float>(width) - left * 1.5f;
        text.SetScale(natural > 0.0f ? std::min(preferred, room / natural) : preferred);
    };
    fit(hint, 0.45f * unit);
    fit(refusal, 0.5f * unit);
    hint.SetPosition({left, top + title.GetSize().y * 4.4f});
}

void WorldParamPage::Draw()
{
    if (PimSystem::GetFramebufferWidth() != laidOutWidth)
        Layout();
    // The text with a blinking cursor after it.
    const bool cursorOn = std::fmod(blink, 1.0f) < 0.6f;
    line.SetText(textBox.GetText().Narrow() + (cursorOn ? "_" : " "));
    title.Draw();
    line.Draw();
    if (!refusalText.empty())
        refusal.Draw();
    hint.Draw();
}
