// The reference-image row's buttons, in the round style of the menu buttons (round_button.h):
// the empty picture button (a framed landscape with a plus: choose a picture), shown visible (an
// open eye) and hidden (the same eye crossed out). They are a few centimetres wide in the in-game
// menu, so every symbol is bold.
#include "content_output.h"
#include "families.h"
#include "round_button.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr float kCentre = RoundButton::kSide / 2.0f;

template <typename Distance>
void White(Canvas& canvas, Distance distance)
{
    canvas.Fill(distance, 1.0f, 1.0f, 1.0f);
}

void PictureWithPlusSymbol(Canvas& canvas)
{
    // A white frame around a little landscape (a hill and a sun), a round plus badge at the
    // lower right.
    White(canvas, [](float x, float y) { return std::fabs(Shape::Box(x, y, 58.0f, 58.0f, 30.0f, 24.0f, 3.0f)) - 4.0f; });
    const float hill[6] = {34.0f, 78.0f, 58.0f, 50.0f, 82.0f, 78.0f};
    White(canvas, [&hill](float x, float y) { return Shape::Triangle(x, y, hill); });
    White(canvas, [](float x, float y) { return Shape::Circle(x, y, 72.0f, 46.0f, 6.0f); });
    canvas.Fill([](float x, float y) { return Shape::Circle(x, y, 88.0f, 86.0f, 20.0f); }, 0.16f, 0.62f, 0.30f);
    White(canvas, [](float x, float y) { return std::fabs(Shape::Circle(x, y, 88.0f, 86.0f, 20.0f)) - 2.5f; });
    White(canvas, [](float x, float y) {
        return std::min(Shape::Box(x, y, 88.0f, 86.0f, 12.0f, 3.5f, 1.5f), Shape::Box(x, y, 88.0f, 86.0f, 3.5f, 12.0f, 1.5f));
    });
}

// The eye's outline: the region between two circular arcs meeting at the corners of the eye.
float EyeShape(float x, float y)
{
    // Two circles of radius 52 whose centres lie 36 above and below the eye's middle: their
    // intersection is a lens 2 x sqrt(52^2 - 36^2) = 75 wide and 32 high.
    const float upper = Shape::Circle(x, y, kCentre, kCentre + 36.0f, 52.0f);
    const float lower = Shape::Circle(x, y, kCentre, kCentre - 36.0f, 52.0f);
    return std::max(upper, lower);
}

void OpenEye(Canvas& canvas, float r, float g, float b)
{
    White(canvas, [](float x, float y) { return std::fabs(EyeShape(x, y)) - 4.0f; });
    White(canvas, [](float x, float y) { return Shape::Circle(x, y, kCentre, kCentre, 13.0f); });
    // The pupil in the button's colour with a white glint.
    canvas.Fill([](float x, float y) { return Shape::Circle(x, y, kCentre, kCentre, 6.0f); }, r, g, b);
    White(canvas, [](float x, float y) { return Shape::Circle(x, y, kCentre + 4.0f, kCentre - 5.0f, 2.5f); });
}

void VisibleSymbol(Canvas& canvas)
{
    OpenEye(canvas, 0.16f, 0.42f, 0.78f);
}

void InvisibleSymbol(Canvas& canvas)
{
    OpenEye(canvas, 0.45f, 0.45f, 0.50f);
    // The stroke across, with a gap in the button's colour so it reads over the eye.
    canvas.Fill([](float x, float y) { return Shape::Capsule(x, y, 36.0f, 36.0f, 92.0f, 92.0f, 10.0f); }, 0.45f, 0.45f, 0.50f);
    White(canvas, [](float x, float y) { return Shape::Capsule(x, y, 36.0f, 36.0f, 92.0f, 92.0f, 5.5f); });
}
}

bool GenerateReferenceImageButtons(const ContentOutput& output)
{
    return WriteRoundButton(output, "Graphics/Textures/ReferenceImageButton.png", {0.20f, 0.55f, 0.80f}, PictureWithPlusSymbol) &&
           WriteRoundButton(output, "Graphics/Textures/VisibleButton.png", {0.20f, 0.55f, 0.80f}, VisibleSymbol) &&
           WriteRoundButton(output, "Graphics/Textures/InvisibleButton.png", {0.45f, 0.45f, 0.50f}, InvisibleSymbol);
}
