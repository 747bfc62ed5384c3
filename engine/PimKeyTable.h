#pragma once

#include <cstdint>

// The engine's key numbering, in which the settings' control map and every KeyStatus query name
// keys. Printable keys are numbered by the code of the character on the key of a US layout
// (letters by their upper-case character: 'A' is 65; digits '0' to '9' are 48 to 57; space is 32);
// the other keys start at 256. A code is a plain int so that settings can store it as a number.
namespace PimKeyTable
{
constexpr int Unknown = -1;

constexpr int Space = 32;
constexpr int Apostrophe = 39;
constexpr int Comma = 44;
constexpr int Minus = 45;
constexpr int Period = 46;
constexpr int Slash = 47;
constexpr int Digit0 = 48;  // '0' to '9' are 48 to 57
constexpr int Semicolon = 59;
constexpr int Equal = 61;
constexpr int A = 65;       // 'A' to 'Z' are 65 to 90
constexpr int LeftBracket = 91;
constexpr int Backslash = 92;
constexpr int RightBracket = 93;
constexpr int GraveAccent = 96;

constexpr int Escape = 256;
constexpr int Enter = 257;
constexpr int Tab = 258;
constexpr int Backspace = 259;
constexpr int Insert = 260;
constexpr int Delete = 261;
constexpr int Right = 262;
constexpr int Left = 263;
constexpr int Down = 264;
constexpr int Up = 265;
constexpr int PageUp = 266;
constexpr int PageDown = 267;
constexpr int Home = 268;
constexpr int End = 269;
constexpr int CapsLock = 280;
constexpr int ScrollLock = 281;
constexpr int NumLock = 282;
constexpr int PrintScreen = 283;
constexpr int Pause = 284;
constexpr int F1 = 290;  // F1 to F24 are 290 to 313
constexpr int Keypad0 = 320;  // keypad '0' to '9' are 320 to 329
constexpr int KeypadDecimal = 330;
constexpr int KeypadDivide = 331;
constexpr int KeypadMultiply = 332;
constexpr int KeypadSubtract = 333;
constexpr int KeypadAdd = 334;
constexpr int KeypadEnter = 335;
constexpr int KeypadEqual = 336;
constexpr int LeftShift = 340;
constexpr int LeftControl = 341;
constexpr int LeftAlt = 342;
constexpr int LeftSuper = 343;
constexpr int RightShift = 344;
constexpr int RightControl = 345;
constexpr int RightAlt = 346;
constexpr int RightSuper = 347;
constexpr int Menu = 348;

// One more than the largest code: the size of a table indexed by key code.
constexpr int Count = 349;

// The code of the key an SDL key event names (its SDL_Keycode, event.key.keysym.sym), or
// Unknown for keys outside the numbering (letters of other alphabets, media keys). The key code
// rather than the scan code is used so that a typed 'A' is an A on any keyboard layout.
int FromSdlKeycode(std::int32_t sdlKeycode);

constexpr int Letter(char upperCase) { return upperCase; }
constexpr int Digit(int digit) { return Digit0 + digit; }
constexpr int FunctionKey(int number) { return F1 + number - 1; }
}
