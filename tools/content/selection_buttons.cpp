// The buttons of the selection box and the held copy, in the round style of the menu buttons
// (round_button.h): close (a red cross), copy (two sheets, blue), cut (scissors, orange), move (a
// four-way arrow, teal), mirror (a shape and its mirror image across a dashed line, violet) and
// rotate (a turning arrow, amber). They float beside the hand and around the copy a few
// centimetres wide, so every symbol is bold.
#include "content_output.h"
#include "families.h"
#include "round_button.h"

#include <cmath>

namespace
{
constexpr float kCentre = RoundButton::kSide / 2.0f;
constexpr float kPi = 3.14159265f;

template <typename Distance>
void White(Canvas& canvas, Distance distance)
{
    canvas.Fill(distance, 1.0f, 1.0f, 1.0f);
}

void CloseSymbol(Canvas& canvas)
{
    White(canvas, [](float x, float y) {
        return std::min(Shape::Capsule(x, y, 40.0f, 40.0f, 88.0f, 88.0f, 8.0f),
                        Shape::Capsule(x, y, 88.0f, 40.0f, 40.0f, 88.0f, 8.0f));
    });
}

void CopySymbol(Canvas& canvas)
{
    // The sheet behind as an outline, the copy in front filled, with lines of text on it.
    White(canvas, [](float x, float y) {
        const float back = Shape::Box(x, y, 54.0f, 54.0f, 19.0f, 24.0f, 4.0f);
        return std::fabs(back) - 3.5f;
    });
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, 74.0f, 74.0f, 23.0f, 28.0f, 5.0f); }, 0.2f, 0.38f, 0.78f);
    White(canvas, [](float x, float y) { return Shape::Box(x, y, 74.0f, 74.0f, 19.0f, 24.0f, 4.0f); });
    for (const float line : {62.0f, 72.0f, 82.0f})
        canvas.Fill([line](float x, float y) { return Shape::Box(x, y, 74.0f, line, 11.0f, 2.2f, 1.0f); }, 0.2f, 0.38f, 0.78f);
}

void CutSymbol(Canvas& canvas)
{
    // Two blades crossing above two round handles.
    White(canvas, [](float x, float y) {
        return std::min(Shape::Capsule(x, y, 50.0f, 78.0f, 82.0f, 30.0f, 5.0f),
                        Shape::Capsule(x, y, 78.0f, 78.0f, 46.0f, 30.0f, 5.0f));
    });
    for (const float cx : {46.0f, 82.0f})
        White(canvas, [cx](float x, float y) { return std::fabs(Shape::Circle(x, y, cx, 88.0f, 11.0f)) - 4.5f; });
    canvas.Fill([](float x, float y) { return Shape::Circle(x, y, kCentre, 58.0f, 3.5f); }, 0.85f, 0.45f, 0.12f);
}

void MoveSymbol(Canvas& canvas)
{
    White(canvas, [](float x, float y) {
        return std::min(Shape::Box(x, y, kCentre, kCentre, 30.0f, 5.0f, 2.0f), Shape::Box(x, y, kCentre, kCentre, 5.0f, 30.0f, 2.0f));
    });
    const float heads[4][6] = {
        {kCentre, 24.0f, kCentre - 13.0f, 40.0f, kCentre + 13.0f, 40.0f},
        {kCentre, 104.0f, kCentre - 13.0f, 88.0f, kCentre + 13.0f, 88.0f},
        {24.0f, kCentre, 40.0f, kCentre - 13.0f, 40.0f, kCentre + 13.0f},
        {104.0f, kCentre, 88.0f, kCentre - 13.0f, 88.0f, kCentre + 13.0f},
    };
    for (const auto& head : heads)
        White(canvas, [&head](float x, float y) { return Shape::Triangle(x, y, head) - 1.5f; });
}

void MirrorSymbol(Canvas& canvas)
{
    // A dashed mirror line, a filled shape on one side and its outlined image on the other.
    for (float y0 = 28.0f; y0 < 104.0f; y0 += 14.0f)
        White(canvas, [y0](float x, float y) { return Shape::Box(x, y, kCentre, y0 + 4.0f, 2.5f, 4.5f, 1.0f); });
    const float left[6] = {56.0f, 40.0f, 56.0f, 88.0f, 30.0f, 88.0f};
    const float right[6] = {72.0f, 40.0f, 72.0f, 88.0f, 98.0f, 88.0f};
    White(canvas, [&left](float x, float y) { return Shape::Triangle(x, y, left); });
    White(canvas, [&right](float x, float y) { return std::fabs(Shape::Triangle(x, y, right)) - 2.5f; });
}

void RotateSymbol(Canvas& canvas)
{
    // Three quarters of a ring ending in an arrowhead, turning clockwise.
    White(canvas, [](float x, float y) {
        const float ring = std::fabs(Shape::Circle(x, y, kCentre, kCentre, 30.0f)) - 6.0f;
        // Leave out the quarter at the upper left, where the arrowhead sits.
        const float angle = std::atan2(y - kCentre, x - kCentre);
        const bool gap = angle < -kPi * 0.5f && angle > -kPi;
        return gap ? 1e3f : ring;
    });
    const float head[6] = {kCentre - 30.0f - 15.0f, kCentre - 2.0f, kCentre - 30.0f + 15.0f, kCentre - 2.0f, kCentre - 30.0f,
                           kCentre - 22.0f};
    White(canvas, [&head](float x, float y) { return Shape::Triangle(x, y, head) - 1.0f; });
}
}

bool GenerateSelectionButtons(const ContentOutput& output)
{
    return WriteRoundButton(output, "Graphics/Textures/ExitMenuButton.png", {0.84f, 0.24f, 0.21f}, CloseSymbol) &&
           WriteRoundButton(output, "Graphics/Textures/CopyButton.png", {0.22f, 0.45f, 0.85f}, CopySymbol) &&
           WriteRoundButton(output, "Graphics/Textures/CutButton.png", {0.90f, 0.50f, 0.14f}, CutSymbol) &&
           WriteRoundButton(output, "Graphics/Textures/MoveButton.png", {0.13f, 0.60f, 0.58f}, MoveSymbol) &&
           WriteRoundButton(output, "Graphics/Textures/MirrorButton.png", {0.55f, 0.32f, 0.82f}, MirrorSymbol) &&
           WriteRoundButton(output, "Graphics/Textures/RotateButton.png", {0.86f, 0.66f, 0.12f}, RotateSymbol);
}
