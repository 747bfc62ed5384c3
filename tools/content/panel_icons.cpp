// The pictures of the booths' panels, in the round-button style of the menu rooms
// (round_button.h): how the player moves (a footprint for walking, a wing for flying, a jump arc
// for teleport, a touched pad for touch-walk), which hand leads, the player's size, the master
// volume, leaving the world, the in-game camera (on and off), the fog colour, the size
// calibration and the hands' colour.
#include "content_output.h"
#include "families.h"
#include "round_button.h"

#include <cmath>

namespace
{
constexpr float kC = RoundButton::kSide / 2.0f;
constexpr float kPi = 3.14159265f;

void White(Canvas& canvas, const std::function<float(float, float)>& distance)
{
    canvas.Fill(distance, 1.0f, 1.0f, 1.0f);
}

void Foot(Canvas& canvas)
{
    // A sole narrowing at the arch, and five toes from the big one down to the little one.
    White(canvas, [](float x, float y) {
        return std::min(Shape::Ellipse(x, y, 62.0f, 64.0f, 15.0f, 20.0f), Shape::Ellipse(x, y, 58.0f, 88.0f, 12.0f, 13.0f));
    });
    const float toes[5][3] = {{72, 38, 7.5f}, {60, 36, 6.0f}, {50, 39, 5.2f}, {42, 45, 4.6f}, {37, 53, 4.0f}};
    for (const auto& toe : toes)
        White(canvas, [&](float x, float y) { return Shape::Circle(x, y, toe[0] + 4.0f, toe[1] + 2.0f, toe[2]); });
}

void Wing(Canvas& canvas)
{
    // Feathers fanning from the shoulder at the upper right, the longest along the top, with a
    // dark line between neighbours so each reads as a feather.
    constexpr int kFeathers = 5;
    const auto tip = [](int i, float& x, float& y) {
        const float angle = (188.0f + 15.0f * static_cast<float>(i)) * kPi / 180.0f;
        const float length = 62.0f - 7.0f * static_cast<float>(i);
        x = 90.0f + std::cos(angle) * length;
        y = 40.0f - std::sin(angle) * length;
    };
    for (int i = kFeathers - 1; i >= 0; --i)
    {
        float tx = 0.0f, ty = 0.0f;
        tip(i, tx, ty);
        canvas.Fill([=](float x, float y) { return Shape::Capsule(x, y, 90.0f, 40.0f, tx, ty, 9.5f); }, 0.25f, 0.45f, 0.7f);
        White(canvas, [=](float x, float y) { return Shape::Capsule(x, y, 90.0f, 40.0f, tx, ty, 7.5f); });
    }
    White(canvas, [](float x, float y) { return Shape::Circle(x, y, 90.0f, 40.0f, 10.0f); });
}

void Person(Canvas& canvas, float cx, float scale)
{
    White(canvas, [=](float x, float y) { return Shape::Circle(x, y, cx, 38.0f + (1.0f - scale) * 30.0f, 10.0f * scale); });
    White(canvas, [=](float x, float y) {
        const float top = 52.0f + (1.0f - scale) * 40.0f;
        const float bottom = 96.0f;
        return Shape::Box(x, y, cx, (top + bottom) * 0.5f, 15.0f * scale, (bottom - top) * 0.5f, 9.0f * scale);
    });
}

void PersonSymbol(Canvas& canvas)
{
    Person(canvas, kC, 1.1f);
}

void Speaker(Canvas& canvas)
{
    const float cone[6] = {34.0f, 64.0f, 60.0f, 38.0f, 60.0f, 90.0f};
    White(canvas, [&](float x, float y) { return Shape::Triangle(x, y, cone) - 2.0f; });
    White(canvas, [](float x, float y) { return Shape::Box(x, y, 38.0f, 64.0f, 9.0f, 11.0f, 2.0f); });
    // Two sound waves: arcs of rings to the right of the cone.
    for (const float radius : {16.0f, 30.0f})
        White(canvas, [=](float x, float y) {
            const float ring = std::fabs(Shape::Circle(x, y, 62.0f, 64.0f, radius)) - 3.5f;
            const float angle = std::atan2(std::fabs(y - 64.0f), x - 62.0f);
            return std::max(ring, (angle - 0.85f) * radius);
        });
}

void TeleportArc(Canvas& canvas)
{
    // Dots along a jump from the lower left to a ring on the floor at the right.
    for (int i = 0; i < 7; ++i)
    {
        const float t = static_cast<float>(i) / 7.0f;
        const float x0 = 28.0f + t * 60.0f;
        const float y0 = 84.0f - 4.0f * 36.0f * t * (1.0f - t) + t * 8.0f;
        White(canvas, [=](float x, float y) { return Shape::Circle(x, y, x0, y0, 4.0f); });
    }
    White(canvas, [](float x, float y) { return std::fabs(Shape::Ellipse(x, y, 90.0f, 92.0f, 16.0f, 7.0f)) - 3.0f; });
}

void TouchPad(Canvas& canvas)
{
    // The controller's round pad, a finger's touch at its top and an arrow pointing on.
    White(canvas, [](float x, float y) { return std::fabs(Shape::Circle(x, y, kC, 70.0f, 26.0f)) - 3.5f; });
    White(canvas, [](float x, float y) { return Shape::Circle(x, y, kC, 56.0f, 8.0f); });
    const float head[6] = {kC, 22.0f, kC - 13.0f, 38.0f, kC + 13.0f, 38.0f};
    White(canvas, [&](float x, float y) { return Shape::Triangle(x, y, head) - 1.5f; });
}

// An open hand seen from its back: palm, four fingers and the thumb on the side given (+1 right).
float Hand(float x, float y, float thumbSide)
{
    float d = Shape::Box(x, y, kC, 74.0f, 18.0f, 17.0f, 7.0f);
    const float fingers[4][2] = {{-13.0f, 34.0f}, {-4.5f, 29.0f}, {4.5f, 30.0f}, {13.0f, 37.0f}};
    for (const auto& finger : fingers)
    {
        const float fx = kC + finger[0] * -thumbSide;
        d = std::min(d, Shape::Capsule(x, y, fx, finger[1], fx, 66.0f, 4.2f));
    }
    d = std::min(d, Shape::Capsule(x, y, kC + 16.0f * thumbSide, 80.0f, kC + 32.0f * thumbSide, 60.0f, 5.0f));
    return d;
}

void LetterL(Canvas& canvas, float x0)
{
    canvas.Fill([=](float x, float y) {
        return std::min(Shape::Capsule(x, y, x0, 88.0f, x0, 106.0f, 2.6f), Shape::Capsule(x, y, x0, 106.0f, x0 + 10.0f, 106.0f, 2.6f));
    }, 0.1f, 0.1f, 0.15f);
}

void LetterR(Canvas& canvas, float x0)
{
    canvas.Fill([=](float x, float y) {
        float d = Shape::Capsule(x, y, x0, 88.0f, x0, 106.0f, 2.6f);
        d = std::min(d, Shape::Capsule(x, y, x0, 88.0f, x0 + 5.0f, 88.0f, 2.6f));
        d = std::min(d, Shape::Capsule(x, y, x0, 97.0f, x0 + 5.0f, 97.0f, 2.6f));
        const float bowl = std::fabs(Shape::Circle(x, y, x0 + 5.0f, 92.5f, 4.5f)) - 2.6f;
        d = std::min(d, std::max(bowl, x0 + 5.0f - x));
        return std::min(d, Shape::Capsule(x, y, x0 + 4.0f, 97.0f, x0 + 10.0f, 106.0f, 2.6f));
    }, 0.1f, 0.1f, 0.15f);
}

void LeftHand(Canvas& canvas)
{
    White(canvas, [](float x, float y) { return Hand(x, y - 6.0f, 1.0f); });
    LetterL(canvas, kC - 5.0f);
}

void RightHand(Canvas& canvas)
{
    White(canvas, [](float x, float y) { return Hand(x, y - 6.0f, -1.0f); });
    LetterR(canvas, kC - 5.0f);
}

void ExitDoor(Canvas& canvas)
{
    // A door frame open on its right side and an arrow leaving through it.
    White(canvas, [](float x, float y) {
        const float frame = std::fabs(Shape::Box(x, y, 52.0f, 64.0f, 20.0f, 30.0f, 2.0f)) - 3.5f;
        return std::max(frame, -Shape::Box(x, y, 72.0f, 64.0f, 6.0f, 13.0f));
    });
    White(canvas, [](float x, float y) { return Shape::Capsule(x, y, 46.0f, 64.0f, 84.0f, 64.0f, 4.5f); });
    const float head[6] = {98.0f, 64.0f, 80.0f, 50.0f, 80.0f, 78.0f};
    White(canvas, [&](float x, float y) { return Shape::Triangle(x, y, head) - 1.5f; });
}

void Camera(Canvas& canvas)
{
    White(canvas, [](float x, float y) {
        const float body = Shape::Box(x, y, kC, 68.0f, 32.0f, 21.0f, 6.0f);
        const float bump = Shape::Box(x, y, kC - 10.0f, 44.0f, 11.0f, 6.0f, 2.0f);
        const float lens = Shape::Circle(x, y, kC, 68.0f, 13.0f);
        return std::max(std::min(body, bump), -lens);
    });
    White(canvas, [](float x, float y) { return Shape::Circle(x, y, kC, 68.0f, 7.0f); });
}

void CameraOn(Canvas& canvas)
{
    Camera(canvas);
    canvas.Fill([](float x, float y) { return Shape::Circle(x, y, kC + 22.0f, 55.0f, 4.5f); }, 0.95f, 0.15f, 0.15f);
}

void CameraOff(Canvas& canvas)
{
    Camera(canvas);
    canvas.Fill([](float x, float y) { return Shape::Capsule(x, y, 34.0f, 34.0f, 94.0f, 94.0f, 7.0f); }, 0.45f, 0.45f, 0.5f);
    White(canvas, [](float x, float y) { return Shape::Capsule(x, y, 34.0f, 34.0f, 94.0f, 94.0f, 4.0f); });
}

void Fog(Canvas& canvas)
{
    // A cloud over drifting bands of mist, and three drops of colour.
    White(canvas, [](float x, float y) {
        float d = Shape::Circle(x, y, 52.0f, 52.0f, 13.0f);
        d = std::min(d, Shape::Circle(x, y, 69.0f, 45.0f, 16.0f));
        d = std::min(d, Shape::Circle(x, y, 84.0f, 55.0f, 10.0f));
        return std::min(d, Shape::Box(x, y, 67.0f, 58.0f, 24.0f, 7.0f, 6.0f));
    });
    White(canvas, [](float x, float y) { return Shape::Capsule(x, y, 34.0f, 76.0f, 80.0f, 76.0f, 3.5f); });
    White(canvas, [](float x, float y) { return Shape::Capsule(x, y, 46.0f, 88.0f, 94.0f, 88.0f, 3.5f); });
    const float drops[3][4] = {{48.0f, 102.0f, 0.93f, 0.2f}, {64.0f, 104.0f, 0.2f, 0.8f}, {80.0f, 102.0f, 0.25f, 0.35f}};
    const RoundButton::Rgb colours[3] = {{0.93f, 0.2f, 0.2f}, {0.2f, 0.8f, 0.3f}, {0.25f, 0.35f, 0.95f}};
    for (int i = 0; i < 3; ++i)
    {
        const float cx = drops[i][0], cy = drops[i][1];
        canvas.Fill([=](float x, float y) { return Shape::Circle(x, y, cx, cy, 6.0f); }, 1, 1, 1);
        canvas.Fill([=](float x, float y) { return Shape::Circle(x, y, cx, cy, 4.5f); }, colours[i].r, colours[i].g, colours[i].b);
    }
}

void Calibrate(Canvas& canvas)
{
    // A person and a measuring arrow from the floor to the top of the head.
    Person(canvas, 54.0f, 1.0f);
    White(canvas, [](float x, float y) { return Shape::Capsule(x, y, 84.0f, 34.0f, 84.0f, 94.0f, 3.0f); });
    const float up[6] = {84.0f, 24.0f, 75.0f, 37.0f, 93.0f, 37.0f};
    const float down[6] = {84.0f, 104.0f, 75.0f, 91.0f, 93.0f, 91.0f};
    White(canvas, [&](float x, float y) { return std::min(Shape::Triangle(x, y, up), Shape::Triangle(x, y, down)) - 1.0f; });
    White(canvas, [](float x, float y) { return Shape::Capsule(x, y, 74.0f, 26.0f, 94.0f, 26.0f, 2.0f); });
    White(canvas, [](float x, float y) { return Shape::Capsule(x, y, 74.0f, 102.0f, 94.0f, 102.0f, 2.0f); });
}

void HandColour(Canvas& canvas)
{
    // The hand the colour is for, and a swatch of three colours beside it.
    White(canvas, [](float x, float y) { return Hand(x + 12.0f, y, -1.0f); });
    const RoundButton::Rgb colours[3] = {{0.93f, 0.25f, 0.2f}, {0.25f, 0.8f, 0.3f}, {0.25f, 0.4f, 0.95f}};
    for (int i = 0; i < 3; ++i)
    {
        const float cy = 46.0f + 18.0f * static_cast<float>(i);
        canvas.Fill([=](float x, float y) { return Shape::Circle(x, y, 92.0f, cy, 8.5f); }, 1, 1, 1);
        canvas.Fill([=](float x, float y) { return Shape::Circle(x, y, 92.0f, cy, 6.5f); }, colours[i].r, colours[i].g,
                    colours[i].b);
    }
}

struct Icon
{
    const char* file;
    RoundButton::Rgb colour;
    void (*symbol)(Canvas&);
};

constexpr Icon kIcons[] = {
    {"Graphics/Textures/WalkingFoot.png", {0.20f, 0.62f, 0.45f}, Foot},
    {"Graphics/Textures/FlyingWing.png", {0.25f, 0.58f, 0.88f}, Wing},
    {"Graphics/Textures/PersonIcon.png", {0.42f, 0.46f, 0.58f}, PersonSymbol},
    {"Graphics/Textures/MasterVolume.png", {0.92f, 0.55f, 0.15f}, Speaker},
    {"Graphics/Textures/TeleportButton.png", {0.55f, 0.32f, 0.82f}, TeleportArc},
    {"Graphics/Textures/TouchWalkButton.png", {0.13f, 0.60f, 0.62f}, TouchPad},
    {"Graphics/Textures/LeftHanded.png", {0.24f, 0.45f, 0.85f}, LeftHand},
    {"Graphics/Textures/RightHanded.png", {0.88f, 0.45f, 0.18f}, RightHand},
    {"Graphics/Textures/ExitGame.png", {0.84f, 0.24f, 0.21f}, ExitDoor},
    {"Graphics/Textures/InGameCamera_On.png", {0.18f, 0.66f, 0.33f}, CameraOn},
    {"Graphics/Textures/InGameCamera_Off.png", {0.38f, 0.38f, 0.42f}, CameraOff},
    {"Graphics/Textures/FogColorIcon.png", {0.45f, 0.52f, 0.66f}, Fog},
    {"Graphics/Textures/AutoCalibrate.png", {0.85f, 0.68f, 0.12f}, Calibrate},
    {"Graphics/Textures/HandColor.png", {0.60f, 0.40f, 0.24f}, HandColour},
};
}

bool GeneratePanelIcons(const ContentOutput& output)
{
    for (const Icon& icon : kIcons)
        if (!WriteRoundButton(output, icon.file, icon.colour, icon.symbol))
            return false;
    return true;
}
