#pragma once

#include "drawing.h"

#include <functional>

class ContentOutput;

// The one style of every round button and panel icon of the menu rooms: a 128 x 128 disc in the
// button's colour, lighter at the top, with a white rim and a faint shadow, and a symbol drawn
// over it (mostly white, so it reads small and from afar).
namespace RoundButton
{
constexpr int kSide = 128;
struct Rgb
{
    float r, g, b;
};
using Symbol = std::function<void(Canvas&)>;
}

bool WriteRoundButton(const ContentOutput& output, const char* relative, RoundButton::Rgb colour,
                      const RoundButton::Symbol& symbol);
