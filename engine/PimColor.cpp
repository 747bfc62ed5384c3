#include "engine/PimColor.h"

#include <cmath>

std::uint8_t PimColor::FloatToByte(float value)
{
    if (!(value > 0.0f))
        return 0;
    if (value >= 1.0f)
        return 255;
    return static_cast<std::uint8_t>(std::floor(double(value) * 255.0 + 0.5));
}

PimColor PimColor::FromFloat3(float red, float green, float blue)
{
    PimColor c;
    c.SetColorFloat3(red, green, blue);
    return c;
}

void PimColor::SetColorFloat3(float red, float green, float blue)
{
    r = FloatToByte(red);
    g = FloatToByte(green);
    b = FloatToByte(blue);
}

void PimColor::SetColorFloat4(float red, float green, float blue, float alpha)
{
    SetColorFloat3(red, green, blue);
    a = FloatToByte(alpha);
}

float PimColor::GetDistance(const PimColor& other) const
{
    const float dr = (int(r) - int(other.r)) / 255.0f;
    const float dg = (int(g) - int(other.g)) / 255.0f;
    const float db = (int(b) - int(other.b)) / 255.0f;
    return std::sqrt(dr * dr + dg * dg + db * db);
}
