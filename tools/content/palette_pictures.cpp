// The pictures of the palette wall, in the round-button style of the menu rooms (round_button.h):
// the three palette buttons with their numerals, and the padlocks: closed (a colour in use), open
// (unlocked) and breaking open (the button that unlocks a colour).
#include "content_output.h"
#include "families.h"
#include "round_button.h"

#include <cmath>
#include <vector>

namespace
{
constexpr float kPi = 3.14159265f;
constexpr float kStroke = 6.5f;

using Distance = std::function<float(float, float)>;

void White(Canvas& canvas, const Distance& distance)
{
    canvas.Fill(distance, 1.0f, 1.0f, 1.0f);
}

// A stroke along a circular arc from one angle to another (degrees, clockwise on the picture, 0
// pointing right), as a chain of short round-ended segments.
float Arc(float x, float y, float cx, float cy, float radius, float fromDegrees, float toDegrees, float halfWidth)
{
    constexpr int kPieces = 24;
    float d = 1e9f;
    float px = cx + radius * std::cos(fromDegrees * kPi / 180.0f);
    float py = cy + radius * std::sin(fromDegrees * kPi / 180.0f);
    for (int i = 1; i <= kPieces; ++i)
    {
        const float a = (fromDegrees + (toDegrees - fromDegrees) * static_cast<float>(i) / kPieces) * kPi / 180.0f;
        const float qx = cx + radius * std::cos(a);
        const float qy = cy + radius * std::sin(a);
        d = std::min(d, Shape::Capsule(x, y, px, py, qx, qy, halfWidth));
        px = qx;
        py = qy;
    }
    return d;
}

void One(Canvas& canvas)
{
    White(canvas, [](float x, float y) {
        return std::min({Shape::Capsule(x, y, 67.0f, 35.0f, 67.0f, 92.0f, kStroke),
                         Shape::Capsule(x, y, 67.0f, 35.0f, 52.0f, 47.0f, kStroke),
                         Shape::Capsule(x, y, 50.0f, 93.0f, 84.0f, 93.0f, kStroke)});
    });
}

void Two(Canvas& canvas)
{
    White(canvas, [](float x, float y) {
        const float endX = 64.0f + 16.0f * std::cos(25.0f * kPi / 180.0f);
        const float endY = 51.0f + 16.0f * std::sin(25.0f * kPi / 180.0f);
        return std::min({Arc(x, y, 64.0f, 51.0f, 16.0f, -195.0f, 25.0f, kStroke),
                         Shape::Capsule(x, y, endX, endY, 47.0f, 93.0f, kStroke),
                         Shape::Capsule(x, y, 47.0f, 93.0f, 82.0f, 93.0f, kStroke)});
    });
}

void Three(Canvas& canvas)
{
    White(canvas, [](float x, float y) {
        return std::min({Arc(x, y, 63.0f, 48.0f, 13.5f, -165.0f, 90.0f, kStroke),
                         Arc(x, y, 63.0f, 77.0f, 15.5f, -90.0f, 160.0f, kStroke)});
    });
}

// The padlock's body with its keyhole cut in the button's own colour, darker.
void LockBody(Canvas& canvas, RoundButton::Rgb colour, float tilt = 0.0f)
{
    White(canvas, [tilt](float x, float y) {
        // A small turn about the body's centre (a lock knocked askew as it breaks).
        const float c = std::cos(tilt), s = std::sin(tilt);
        const float u = 64.0f + (x - 64.0f) * c + (y - 78.0f) * s;
        const float v = 78.0f - (x - 64.0f) * s + (y - 78.0f) * c;
        return Shape::Box(u, v, 64.0f, 78.0f, 27.0f, 20.0f, 5.0f);
    });
    const float r = colour.r * 0.45f, g = colour.g * 0.45f, b = colour.b * 0.45f;
    canvas.Fill([](float x, float y) { return Shape::Circle(x, y, 64.0f, 74.0f, 5.5f); }, r, g, b);
    canvas.Fill([](float x, float y) { return Shape::Box(x, y, 64.0f, 83.0f, 2.8f, 8.0f, 1.5f); }, r, g, b);
}

constexpr RoundButton::Rgb kLockedRed{0.78f, 0.16f, 0.14f};
constexpr RoundButton::Rgb kOpenGreen{0.18f, 0.6f, 0.27f};
constexpr RoundButton::Rgb kBreakOrange{0.95f, 0.5f, 0.08f};

void ClosedLock(Canvas& canvas)
{
    // The shackle's two legs run down into the body.
    White(canvas, [](float x, float y) {
        return std::min({Arc(x, y, 64.0f, 50.0f, 17.0f, -180.0f, 0.0f, 5.0f),
                         Shape::Capsule(x, y, 47.0f, 50.0f, 47.0f, 62.0f, 5.0f),
                         Shape::Capsule(x, y, 81.0f, 50.0f, 81.0f, 62.0f, 5.0f)});
    });
    LockBody(canvas, kLockedRed);
}

void OpenLock(Canvas& canvas)
{
    // The shackle lifted out of the body: its left leg hangs free above a gap.
    White(canvas, [](float x, float y) {
        return std::min({Arc(x, y, 64.0f, 36.0f, 17.0f, -180.0f, 0.0f, 5.0f),
                         Shape::Capsule(x, y, 47.0f, 36.0f, 47.0f, 44.0f, 5.0f),
                         Shape::Capsule(x, y, 81.0f, 36.0f, 81.0f, 62.0f, 5.0f)});
    });
    LockBody(canvas, kOpenGreen);
}

void BreakingLock(Canvas& canvas)
{
    // The shackle snapped at its top, its halves bent apart, with the crack's burst over the gap.
    White(canvas, [](float x, float y) {
        return std::min({Arc(x, y, 60.0f, 52.0f, 17.0f, -180.0f, -118.0f, 5.0f),
                         Shape::Capsule(x, y, 43.0f, 52.0f, 45.0f, 63.0f, 5.0f),
                         Arc(x, y, 69.0f, 48.0f, 17.0f, -62.0f, 0.0f, 5.0f),
                         Shape::Capsule(x, y, 86.0f, 48.0f, 83.0f, 62.0f, 5.0f)});
    });
    for (const float angle : {-150.0f, -112.0f, -68.0f, -30.0f})
    {
        const float a = angle * kPi / 180.0f;
        White(canvas, [a](float x, float y) {
            return Shape::Capsule(x, y, 64.0f + 13.0f * std::cos(a), 30.0f + 13.0f * std::sin(a), 64.0f + 22.0f * std::cos(a),
                                  30.0f + 22.0f * std::sin(a), 2.5f);
        });
    }
    LockBody(canvas, kBreakOrange, 0.12f);
    // A crack down the body from the shackle's break.
    canvas.Fill(
        [](float x, float y) {
            return std::min({Shape::Capsule(x, y, 83.0f, 61.0f, 77.0f, 69.0f, 2.0f),
                             Shape::Capsule(x, y, 77.0f, 69.0f, 84.0f, 76.0f, 2.0f),
                             Shape::Capsule(x, y, 84.0f, 76.0f, 79.0f, 84.0f, 2.0f)});
        },
        kBreakOrange.r * 0.45f, kBreakOrange.g * 0.45f, kBreakOrange.b * 0.45f);
}

struct Picture
{
    const char* file;
    RoundButton::Rgb colour;
    RoundButton::Symbol symbol;
};
}

bool GeneratePalettePictures(const ContentOutput& output)
{
    const std::vector<Picture> pictures = {
        {"Graphics/Textures/Selection1.png", {0.2f, 0.45f, 0.88f}, One},
        {"Graphics/Textures/Selection2.png", {0.55f, 0.3f, 0.82f}, Two},
        {"Graphics/Textures/Selection3.png", {0.12f, 0.6f, 0.56f}, Three},
        {"Graphics/Textures/Lock.png", kLockedRed, ClosedLock},
        {"Graphics/Textures/UnLocked.png", kOpenGreen, OpenLock},
        {"Graphics/Textures/BreakLock.png", kBreakOrange, BreakingLock},
    };
    for (const Picture& picture : pictures)
        if (!WriteRoundButton(output, picture.file, picture.colour, picture.symbol))
            return false;
    return true;
}
