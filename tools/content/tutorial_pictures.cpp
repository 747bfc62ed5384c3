// The pictures of the first-time guide: a hand controller seen from the side with its trigger
// being pulled ("Trigger_0.png", at rest, to "Trigger_9.png", fully pulled; the guide plays them
// forwards and back), and the controller seen from above with its menu button lit
// ("TutorialMenuButton.png"). Each stands on a dark rounded card with a white rim, so it reads
// against any room or sky.
#include "content_output.h"
#include "drawing.h"
#include "families.h"

#include "engine/PimTexture.h"

#include <cmath>
#include <string>

namespace
{
constexpr int kSide = 256;
constexpr float kPi = 3.14159265f;
struct Rgb
{
    float r, g, b;
};
constexpr Rgb kBody{0.86f, 0.88f, 0.92f};
constexpr Rgb kBodyShade{0.62f, 0.65f, 0.72f};
constexpr Rgb kIdle{0.42f, 0.45f, 0.52f};
constexpr Rgb kLit{1.0f, 0.84f, 0.12f};

Rgb Mix(Rgb a, Rgb b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

template <typename Distance>
void Fill(Canvas& canvas, Distance distance, Rgb colour, float alpha = 1.0f)
{
    canvas.Fill(distance, colour.r, colour.g, colour.b, alpha);
}

void Card(Canvas& canvas)
{
    constexpr float c = kSide / 2.0f;
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, c, c + 3.0f, 120.0f, 120.0f, 30.0f); }, 0, 0, 0, 0.35f);
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, c, c, 118.0f, 118.0f, 30.0f); }, 0.97f, 0.97f, 0.97f);
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, c, c, 112.0f, 112.0f, 25.0f); }, 0.13f, 0.16f, 0.23f, 1.0f);
}

// A point turned about a pivot by angle (radians, clockwise on the picture).
void Turn(float& x, float& y, float px, float py, float angle)
{
    const float dx = x - px, dy = y - py;
    x = px + dx * std::cos(angle) - dy * std::sin(angle);
    y = py + dx * std::sin(angle) + dy * std::cos(angle);
}

// The controller from its left side, pointing left: the head with its ring, the grip slanting
// down and back, and the trigger under the head, turned towards the grip by pull (0 to 1).
void SideController(Canvas& canvas, float pull)
{
    // The tracking ring arching over the front, behind the body.
    Fill(canvas, [](float x, float y) { return std::fabs(Shape::Ellipse(x, y, 96.0f, 70.0f, 48.0f, 46.0f)) - 6.0f; }, kBodyShade);
    Fill(canvas, [](float x, float y) { return std::fabs(Shape::Ellipse(x, y, 96.0f, 70.0f, 48.0f, 46.0f)) - 3.5f; }, kBody);
    // Shadow of the whole body, then the grip and the head.
    Fill(canvas, [](float x, float y) { return Shape::Capsule(x, y, 162.0f, 112.0f, 190.0f, 214.0f, 27.0f); }, {0, 0, 0}, 0.3f);
    Fill(canvas, [](float x, float y) { return Shape::Capsule(x, y, 160.0f, 108.0f, 186.0f, 208.0f, 25.0f); }, kBodyShade);
    Fill(canvas, [](float x, float y) { return Shape::Capsule(x, y, 164.0f, 110.0f, 186.0f, 198.0f, 19.0f); }, kBody);
    Fill(canvas, [](float x, float y) { return Shape::Capsule(x, y, 70.0f, 86.0f, 178.0f, 86.0f, 30.0f); }, kBodyShade);
    Fill(canvas, [](float x, float y) { return Shape::Capsule(x, y, 72.0f, 82.0f, 176.0f, 82.0f, 24.0f); }, kBody);
    // The tracking ring's opening at the front, and a thumb button on top.
    Fill(canvas, [](float x, float y) { return Shape::Ellipse(x, y, 62.0f, 86.0f, 9.0f, 22.0f); }, kIdle);
    Fill(canvas, [](float x, float y) { return Shape::Box(x, y, 140.0f, 57.0f, 13.0f, 4.0f, 3.0f); }, kIdle);

    // The trigger: a curved tab hanging under the head, pivoting at its top.
    const float pivotX = 112.0f, pivotY = 112.0f;
    const float angle = -0.55f * pull;
    float midX = 104.0f, midY = 134.0f, tipX = 114.0f, tipY = 156.0f;
    Turn(midX, midY, pivotX, pivotY, angle);
    Turn(tipX, tipY, pivotX, pivotY, angle);
    const Rgb trigger = Mix(kIdle, kLit, pull);
    const auto tab = [=](float x, float y) {
        return std::min(Shape::Capsule(x, y, pivotX, pivotY, midX, midY, 10.0f), Shape::Capsule(x, y, midX, midY, tipX, tipY, 9.0f));
    };
    if (pull > 0.0f)
        Fill(canvas, [&](float x, float y) { return tab(x, y) - 7.0f; }, kLit, 0.35f * pull);
    Fill(canvas, tab, trigger);

    // A finger's pull: an arrow curving from in front of the trigger towards the grip.
    const float arcX = 118.0f, arcY = 128.0f, radius = 46.0f;
    const float from = kPi * 0.72f, to = kPi * 0.32f;
    const Rgb arrow{1.0f, 1.0f, 1.0f};
    Fill(canvas,
         [=](float x, float y) {
             float angleHere = std::atan2(y - arcY, x - arcX);
             if (angleHere < 0.0f)
                 angleHere += 2.0f * kPi;
             const float ring = std::fabs(std::hypot(x - arcX, y - arcY) - radius) - 4.5f;
             if (angleHere >= to && angleHere <= from)
                 return ring;
             const float ax = arcX + radius * std::cos(from), ay = arcY + radius * std::sin(from);
             return std::hypot(x - ax, y - ay) - 4.5f;
         },
         arrow, 0.9f);
    const float headX = arcX + radius * std::cos(to), headY = arcY + radius * std::sin(to);
    // The head points along the arc's direction at its end (towards smaller angles).
    const float tx = std::sin(to), ty = -std::cos(to);
    const float nx = std::cos(to), ny = std::sin(to);
    const float corners[6] = {headX + tx * 16.0f, headY + ty * 16.0f, headX + nx * 11.0f - tx * 4.0f,
                              headY + ny * 11.0f - ty * 4.0f, headX - nx * 11.0f - tx * 4.0f, headY - ny * 11.0f - ty * 4.0f};
    Fill(canvas, [&](float x, float y) { return Shape::Triangle(x, y, corners) - 1.0f; }, arrow, 0.9f);
}

// The controller from above, its front up: the pad, the system button below it and the menu
// button above it, lit and ringed.
void TopController(Canvas& canvas)
{
    constexpr float c = kSide / 2.0f;
    Fill(canvas, [](float x, float y) { return Shape::Capsule(x, y, c + 3.0f, 78.0f, c + 3.0f, 198.0f, 50.0f); }, {0, 0, 0}, 0.3f);
    Fill(canvas, [](float x, float y) { return Shape::Capsule(x, y, c, 74.0f, c, 194.0f, 48.0f); }, kBodyShade);
    Fill(canvas, [](float x, float y) { return Shape::Capsule(x, y, c, 74.0f, c, 190.0f, 42.0f); }, kBody);
    // The pad.
    Fill(canvas, [](float x, float y) { return Shape::Circle(x, y, c, 132.0f, 30.0f); }, kBodyShade);
    Fill(canvas, [](float x, float y) { return Shape::Circle(x, y, c, 132.0f, 26.0f); }, kIdle);
    // The system button below the pad.
    Fill(canvas, [](float x, float y) { return Shape::Circle(x, y, c, 184.0f, 7.0f); }, kIdle);
    // The menu button above the pad, with its glow and two rings.
    for (const float ring : {30.0f, 22.0f})
        Fill(canvas, [ring](float x, float y) { return std::fabs(Shape::Circle(x, y, c, 76.0f, ring)) - 2.5f; }, kLit,
             ring > 25.0f ? 0.45f : 0.8f);
    Fill(canvas, [](float x, float y) { return Shape::Box(x, y, c, 76.0f, 15.0f, 7.0f, 7.0f) - 4.0f; }, kLit, 0.4f);
    Fill(canvas, [](float x, float y) { return Shape::Box(x, y, c, 76.0f, 14.0f, 6.0f, 6.0f); }, kLit);
    // Three bars on the menu button: it opens a menu.
    for (const float dy : {-3.0f, 0.0f, 3.0f})
        Fill(canvas, [dy](float x, float y) { return Shape::Box(x, y, c, 76.0f + dy, 7.0f, 0.8f, 0.5f); }, {0.35f, 0.25f, 0.0f});
}

bool Write(const ContentOutput& output, const std::string& relative, const Canvas& canvas)
{
    PimTexture picture;
    return picture.Create(kSide, kSide, canvas.Bytes()) && output.WritePicture(relative, picture);
}
}

bool GenerateTutorialPictures(const ContentOutput& output)
{
    for (int step = 0; step < 10; ++step)
    {
        Canvas canvas(kSide, kSide);
        Card(canvas);
        SideController(canvas, static_cast<float>(step) / 9.0f);
        if (!Write(output, "Graphics/Textures/Trigger_" + std::to_string(step) + ".png", canvas))
            return false;
    }
    Canvas canvas(kSide, kSide);
    Card(canvas);
    TopController(canvas);
    return Write(output, "Graphics/Textures/TutorialMenuButton.png", canvas);
}
