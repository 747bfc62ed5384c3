#include "round_button.h"

#include "content_output.h"

#include "engine/PimTexture.h"

bool WriteRoundButton(const ContentOutput& output, const char* relative, RoundButton::Rgb colour,
                      const RoundButton::Symbol& symbol)
{
    constexpr int side = RoundButton::kSide;
    constexpr float centre = side / 2.0f;
    Canvas canvas(side, side);
    // A faint shadow ring, the rim, then the disc with its light from above.
    canvas.Fill([](float x, float y) { return Shape::Circle(x, y, centre, centre + 2.0f, 62.0f); }, 0.0f, 0.0f, 0.0f, 0.35f);
    canvas.Fill([](float x, float y) { return Shape::Circle(x, y, centre, centre, 60.0f); }, 0.97f, 0.97f, 0.97f);
    for (int y = 0; y < side; ++y)
    {
        const float light = 1.15f - 0.35f * static_cast<float>(y) / side;
        for (int x = 0; x < side; ++x)
        {
            const float d = Shape::Circle(x + 0.5f, y + 0.5f, centre, centre, 54.0f);
            canvas.Blend(x, y, colour.r * light, colour.g * light, colour.b * light, std::clamp(0.5f - d, 0.0f, 1.0f));
        }
    }
    symbol(canvas);
    PimTexture picture;
    return picture.Create(side, side, canvas.Bytes()) && output.WritePicture(relative, picture);
}
