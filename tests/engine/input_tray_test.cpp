#include "engine/PimInputTray.h"
#include "engine/PimKeyTable.h"

#include <SDL_events.h>
#include <gtest/gtest.h>

namespace
{
SDL_Event KeyEvent(Uint32 type, SDL_Keycode key, Uint8 repeat = 0)
{
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.repeat = repeat;
    return event;
}

SDL_Event FocusLost()
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    return event;
}

class InputTray : public testing::Test
{
protected:
    void SetUp() override { tray.Reset(); }
    void TearDown() override { tray.Reset(); }

    void Down(SDL_Keycode key) { tray.HandleEvent(KeyEvent(SDL_KEYDOWN, key)); }
    void Up(SDL_Keycode key) { tray.HandleEvent(KeyEvent(SDL_KEYUP, key)); }
    int Status(int key) const { return tray.GetKeyboard().KeyStatus(key); }

    PimInputTray& tray = PimInputTray::GetInstance();
};
}

TEST(KeyTable, SdlKeysGetTheNumberingOfTheControlMap)
{
    using namespace PimKeyTable;
    EXPECT_EQ(FromSdlKeycode(SDLK_a), 65);
    EXPECT_EQ(FromSdlKeycode(SDLK_w), 87);
    EXPECT_EQ(FromSdlKeycode(SDLK_z), 90);
    EXPECT_EQ(FromSdlKeycode(SDLK_0), 48);
    EXPECT_EQ(FromSdlKeycode(SDLK_9), 57);
    EXPECT_EQ(FromSdlKeycode(SDLK_SPACE), 32);
    EXPECT_EQ(FromSdlKeycode(SDLK_BACKSLASH), 92);
    EXPECT_EQ(FromSdlKeycode(SDLK_MINUS), 45);
    EXPECT_EQ(FromSdlKeycode(SDLK_ESCAPE), 256);
    EXPECT_EQ(FromSdlKeycode(SDLK_RETURN), 257);
    EXPECT_EQ(FromSdlKeycode(SDLK_TAB), 258);
    EXPECT_EQ(FromSdlKeycode(SDLK_BACKSPACE), 259);
    EXPECT_EQ(FromSdlKeycode(SDLK_DELETE), 261);
    EXPECT_EQ(FromSdlKeycode(SDLK_UP), 265);
    EXPECT_EQ(FromSdlKeycode(SDLK_PAGEUP), 266);
    EXPECT_EQ(FromSdlKeycode(SDLK_PAGEDOWN), 267);
    EXPECT_EQ(FromSdlKeycode(SDLK_LSHIFT), 340);
    EXPECT_EQ(FromSdlKeycode(SDLK_RCTRL), 345);
    EXPECT_EQ(FromSdlKeycode(SDLK_F1), 290);
    EXPECT_EQ(FromSdlKeycode(SDLK_F12), 301);
    EXPECT_EQ(FromSdlKeycode(SDLK_F13), 302);
    EXPECT_EQ(FromSdlKeycode(SDLK_KP_0), 320);
    EXPECT_EQ(FromSdlKeycode(SDLK_KP_1), 321);
    EXPECT_EQ(FromSdlKeycode(SDLK_KP_9), 329);
    EXPECT_EQ(FromSdlKeycode(SDLK_KP_ENTER), 335);
}

TEST(KeyTable, KeysOutsideTheNumberingAreUnknown)
{
    EXPECT_EQ(PimKeyTable::FromSdlKeycode(SDLK_VOLUMEUP), PimKeyTable::Unknown);
    EXPECT_EQ(PimKeyTable::FromSdlKeycode(0xE9), PimKeyTable::Unknown);  // a letter of a French layout
    EXPECT_EQ(PimKeyTable::FromSdlKeycode(SDLK_UNKNOWN), PimKeyTable::Unknown);
    EXPECT_EQ(PimKeyTable::FromSdlKeycode(-5), PimKeyTable::Unknown);
}

TEST_F(InputTray, KeysReadPressedWhileDownAndIgnoreAutoRepeat)
{
    tray.StartEventBatch();
    Down(SDLK_a);
    EXPECT_EQ(Status('A'), PimKeyboard::Pressed);
    EXPECT_EQ(Status('B'), PimKeyboard::Released);
    tray.StartEventBatch();
    tray.HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_a, 1));
    Up(SDLK_a);
    EXPECT_EQ(Status('A'), PimKeyboard::Released);
    // Codes outside the table never read as pressed.
    EXPECT_EQ(Status(-1), PimKeyboard::Released);
    EXPECT_EQ(Status(100000), PimKeyboard::Released);
}

TEST_F(InputTray, AKeyTappedBetweenTwoFramesReadsPressedForOneFrame)
{
    tray.StartEventBatch();
    Down(SDLK_RETURN);
    Up(SDLK_RETURN);
    EXPECT_EQ(Status(PimKeyTable::Enter), PimKeyboard::Pressed);
    tray.StartEventBatch();
    EXPECT_EQ(Status(PimKeyTable::Enter), PimKeyboard::Released);
}

TEST_F(InputTray, ReleasingAKeyHeldFromAnEarlierFrameTakesEffectAtOnce)
{
    tray.StartEventBatch();
    Down(SDLK_BACKSPACE);
    tray.StartEventBatch();
    Up(SDLK_BACKSPACE);
    EXPECT_EQ(Status(PimKeyTable::Backspace), PimKeyboard::Released);
}

TEST_F(InputTray, LosingTheFocusReleasesEveryKey)
{
    tray.StartEventBatch();
    Down(SDLK_LSHIFT);
    Down(SDLK_w);
    tray.HandleEvent(FocusLost());
    EXPECT_EQ(Status(PimKeyTable::LeftShift), PimKeyboard::Released);
    EXPECT_EQ(Status('W'), PimKeyboard::Released);
}

TEST_F(InputTray, TheCaptureFlagIsClearedByReset)
{
    tray.SetKeyboardCaptured(true);
    EXPECT_TRUE(tray.IsKeyboardCaptured());
    tray.Reset();
    EXPECT_FALSE(tray.IsKeyboardCaptured());
}
