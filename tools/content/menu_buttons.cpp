// The round buttons of the menu rooms (round_button.h): a play triangle (green), a waste bin (red)
// and a back arrow (blue). They float beside the pedestals and on the walls, so they stay
// readable small and from afar.
#include "content_output.h"
#include "families.h"
#include "round_button.h"

namespace
{
constexpr float kCentre = RoundButton::kSide / 2.0f;

void PlaySymbol(Canvas& canvas)
{
    const float corners[6] = {50.0f, 34.0f, 50.0f, 94.0f, 98.0f, 64.0f};
    canvas.Fill([&](float x, float y) { return Shape::Triangle(x, y, corners) - 3.0f; }, 1.0f, 1.0f, 1.0f);
}

void BinSymbol(Canvas& canvas)
{
    // Lid with its handle, then a body narrowing towards the bottom, with three grooves.
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, kCentre, 37.0f, 27.0f, 4.0f, 2.0f); }, 1, 1, 1);
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, kCentre, 30.0f, 9.0f, 4.0f, 2.0f); }, 1, 1, 1);
    canvas.Fill(
        [](float x, float y) {
            const float narrowing = (y - 46.0f) * 0.12f;
            return Shape::Box(x, y, kCentre, 69.0f, 21.0f - std::max(narrowing, 0.0f), 23.0f, 3.0f);
        },
        1, 1, 1);
    for (const float gx : {kCentre - 9.0f, kCentre, kCentre + 9.0f})
        canvas.Fill([gx](float x, float y) { return Shape::Box(x, y, gx, 70.0f, 2.2f, 15.0f, 2.0f); }, 0.75f, 0.2f, 0.18f);
}

void BackSymbol(Canvas& canvas)
{
    const float head[6] = {30.0f, 64.0f, 60.0f, 38.0f, 60.0f, 90.0f};
    canvas.Fill([&](float x, float y) { return Shape::Triangle(x, y, head) - 2.0f; }, 1, 1, 1);
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, 74.0f, 64.0f, 22.0f, 9.0f, 3.0f); }, 1, 1, 1);
}
}

bool GenerateMenuButtons(const ContentOutput& output)
{
    return WriteRoundButton(output, "Graphics/Textures/PlayButton.png", {0.18f, 0.70f, 0.33f}, PlaySymbol) &&
           WriteRoundButton(output, "Graphics/Textures/TrashBin.png", {0.84f, 0.24f, 0.21f}, BinSymbol) &&
           WriteRoundButton(output, "Graphics/Textures/ExitGameButton.png", {0.22f, 0.45f, 0.85f}, BackSymbol);
}
