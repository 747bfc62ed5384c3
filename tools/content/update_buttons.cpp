// The update page's round buttons (round_button.h): download (a green arrow into a tray), continue
// (a blue arrow onwards) and cancel (a red cross), matching the menu rooms' play, trash and back
// buttons.
#include "content_output.h"
#include "families.h"
#include "round_button.h"

namespace
{
constexpr float kCentre = RoundButton::kSide / 2.0f;

void DownloadSymbol(Canvas& canvas)
{
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, kCentre, 50.0f, 8.0f, 18.0f, 2.0f); }, 1, 1, 1);
    const float head[6] = {kCentre - 22.0f, 64.0f, kCentre + 22.0f, 64.0f, kCentre, 88.0f};
    canvas.Fill([&](float x, float y) { return Shape::Triangle(x, y, head) - 2.0f; }, 1, 1, 1);
    // The tray the arrow drops into.
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, kCentre, 96.0f, 30.0f, 4.0f, 2.0f); }, 1, 1, 1);
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, kCentre - 27.0f, 88.0f, 4.0f, 11.0f, 2.0f); }, 1, 1, 1);
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, kCentre + 27.0f, 88.0f, 4.0f, 11.0f, 2.0f); }, 1, 1, 1);
}

void ContinueSymbol(Canvas& canvas)
{
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, 54.0f, kCentre, 20.0f, 9.0f, 3.0f); }, 1, 1, 1);
    const float head[6] = {68.0f, 38.0f, 68.0f, 90.0f, 98.0f, 64.0f};
    canvas.Fill([&](float x, float y) { return Shape::Triangle(x, y, head) - 2.0f; }, 1, 1, 1);
}

void CancelSymbol(Canvas& canvas)
{
    canvas.Fill([](float x, float y) { return Shape::Capsule(x, y, 44.0f, 44.0f, 84.0f, 84.0f, 8.0f); }, 1, 1, 1);
    canvas.Fill([](float x, float y) { return Shape::Capsule(x, y, 84.0f, 44.0f, 44.0f, 84.0f, 8.0f); }, 1, 1, 1);
}
}

bool GenerateUpdateButtons(const ContentOutput& output)
{
    return WriteRoundButton(output, "Graphics/Textures/DownloadButton.png", {0.18f, 0.70f, 0.33f}, DownloadSymbol) &&
           WriteRoundButton(output, "Graphics/Textures/ContinueButton.png", {0.22f, 0.45f, 0.85f}, ContinueSymbol) &&
           WriteRoundButton(output, "Graphics/Textures/CancelButton.png", {0.84f, 0.24f, 0.21f}, CancelSymbol);
}
