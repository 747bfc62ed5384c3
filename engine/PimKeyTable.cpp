#include "engine/PimKeyTable.h"

#include <SDL_keycode.h>

namespace
{
struct KeyPair
{
    SDL_Keycode sdl;
    int key;
};

// Keys whose SDL code is not the character itself.
constexpr KeyPair NamedKeys[] = {
    {SDLK_ESCAPE, PimKeyTable::Escape},
    {SDLK_RETURN, PimKeyTable::Enter},
    {SDLK_RETURN2, PimKeyTable::Enter},
    {SDLK_TAB, PimKeyTable::Tab},
    {SDLK_BACKSPACE, PimKeyTable::Backspace},
    {SDLK_INSERT, PimKeyTable::Insert},
    {SDLK_DELETE, PimKeyTable::Delete},
    {SDLK_RIGHT, PimKeyTable::Right},
    {SDLK_LEFT, PimKeyTable::Left},
    {SDLK_DOWN, PimKeyTable::Down},
    {SDLK_UP, PimKeyTable::Up},
    {SDLK_PAGEUP, PimKeyTable::PageUp},
    {SDLK_PAGEDOWN, PimKeyTable::PageDown},
    {SDLK_HOME, PimKeyTable::Home},
    {SDLK_END, PimKeyTable::End},
    {SDLK_CAPSLOCK, PimKeyTable::CapsLock},
    {SDLK_SCROLLLOCK, PimKeyTable::ScrollLock},
    {SDLK_NUMLOCKCLEAR, PimKeyTable::NumLock},
    {SDLK_PRINTSCREEN, PimKeyTable::PrintScreen},
    {SDLK_PAUSE, PimKeyTable::Pause},
    {SDLK_KP_PERIOD, PimKeyTable::KeypadDecimal},
    {SDLK_KP_DIVIDE, PimKeyTable::KeypadDivide},
    {SDLK_KP_MULTIPLY, PimKeyTable::KeypadMultiply},
    {SDLK_KP_MINUS, PimKeyTable::KeypadSubtract},
    {SDLK_KP_PLUS, PimKeyTable::KeypadAdd},
    {SDLK_KP_ENTER, PimKeyTable::KeypadEnter},
    {SDLK_KP_EQUALS, PimKeyTable::KeypadEqual},
    {SDLK_LSHIFT, PimKeyTable::LeftShift},
    {SDLK_LCTRL, PimKeyTable::LeftControl},
    {SDLK_LALT, PimKeyTable::LeftAlt},
    {SDLK_LGUI, PimKeyTable::LeftSuper},
    {SDLK_RSHIFT, PimKeyTable::RightShift},
    {SDLK_RCTRL, PimKeyTable::RightControl},
    {SDLK_RALT, PimKeyTable::RightAlt},
    {SDLK_RGUI, PimKeyTable::RightSuper},
    {SDLK_APPLICATION, PimKeyTable::Menu},
    {SDLK_MENU, PimKeyTable::Menu},
};

// The printable characters of a US layout that have a code of their own.
bool IsNumberedCharacter(SDL_Keycode c)
{
    switch (c)
    {
    case SDLK_SPACE:
    case SDLK_QUOTE:
    case SDLK_COMMA:
    case SDLK_MINUS:
    case SDLK_PERIOD:
    case SDLK_SLASH:
    case SDLK_SEMICOLON:
    case SDLK_EQUALS:
    case SDLK_LEFTBRACKET:
    case SDLK_BACKSLASH:
    case SDLK_RIGHTBRACKET:
    case SDLK_BACKQUOTE:
        return true;
    default:
        return c >= SDLK_0 && c <= SDLK_9;
    }
}
}

int PimKeyTable::FromSdlKeycode(std::int32_t sdlKeycode)
{
    const SDL_Keycode c = sdlKeycode;
    if (c >= SDLK_a && c <= SDLK_z)
        return A + (c - SDLK_a);
    if (IsNumberedCharacter(c))
        return c;
    if (c >= SDLK_F1 && c <= SDLK_F12)
        return F1 + (c - SDLK_F1);
    if (c >= SDLK_F13 && c <= SDLK_F24)
        return F1 + 12 + (c - SDLK_F13);
    if (c == SDLK_KP_0)
        return Keypad0;
    if (c >= SDLK_KP_1 && c <= SDLK_KP_9)
        return Keypad0 + 1 + (c - SDLK_KP_1);
    for (const KeyPair& pair : NamedKeys)
    {
        if (pair.sdl == c)
            return pair.key;
    }
    return Unknown;
}
