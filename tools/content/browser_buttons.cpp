// The file browser's round buttons (round_button.h): up a folder (a folder with an arrow pointing
// up out of it) and the pictures folder (a house), beside the booths' other panel pictures.
#include "content_output.h"
#include "families.h"
#include "round_button.h"

namespace
{
constexpr float kC = RoundButton::kSide / 2.0f;
constexpr RoundButton::Rgb kUpColour{0.86f, 0.60f, 0.14f};
constexpr RoundButton::Rgb kHomeColour{0.20f, 0.52f, 0.78f};

void UpFolder(Canvas& canvas)
{
    // The folder: its tab at the upper left, then the body.
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, 48.0f, 42.0f, 14.0f, 7.0f, 3.0f); }, 1, 1, 1);
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, kC, 70.0f, 34.0f, 25.0f, 5.0f); }, 1, 1, 1);
    // The arrow in the button's colour, as if cut out of the folder.
    const auto [r, g, b] = kUpColour;
    const float head[6] = {kC, 52.0f, kC - 17.0f, 70.0f, kC + 17.0f, 70.0f};
    canvas.Fill([&](float x, float y) { return Shape::Triangle(x, y, head) - 1.0f; }, r, g, b);
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, kC, 78.0f, 6.0f, 11.0f, 1.5f); }, r, g, b);
}

void House(Canvas& canvas)
{
    // The chimney behind the roof, the roof, the walls and a door in the button's colour.
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, 82.0f, 42.0f, 5.0f, 10.0f, 1.0f); }, 1, 1, 1);
    const float roof[6] = {kC, 28.0f, kC - 38.0f, 62.0f, kC + 38.0f, 62.0f};
    canvas.Fill([&](float x, float y) { return Shape::Triangle(x, y, roof) - 2.0f; }, 1, 1, 1);
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, kC, 79.0f, 27.0f, 20.0f, 2.0f); }, 1, 1, 1);
    const auto [r, g, b] = kHomeColour;
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, kC, 87.0f, 8.0f, 13.0f, 2.0f); }, r, g, b);
}
}

bool GenerateBrowserButtons(const ContentOutput& output)
{
    return WriteRoundButton(output, "Graphics/Textures/UpDirectory.png", kUpColour, UpFolder) &&
           WriteRoundButton(output, "Graphics/Textures/HomeDirectory.png", kHomeColour, House);
}
