#include "engine/PimVrUISlider.h"

#include <algorithm>
#include <cmath>

PimVrUISlider::PimVrUISlider()
{
    knob.SetPosition(GetSliderPosition());
}

void PimVrUISlider::SetLength(float newLength)
{
    length = std::isfinite(newLength) && newLength > 0.0f ? newLength : 0.0f;
}

void PimVrUISlider::SetMinValue(float newValue)
{
    if (std::isnan(newValue))
        return;
    minValue = newValue;
    value = Settle(value);
}

void PimVrUISlider::SetMaxValue(float newValue)
{
    if (std::isnan(newValue))
        return;
    maxValue = newValue;
    value = Settle(value);
}

void PimVrUISlider::SetUseDiscreetValues(bool discrete)
{
    discreteValues = discrete;
    value = Settle(value);
}

void PimVrUISlider::SetValue(float newValue)
{
    if (!std::isnan(newValue))
        value = Settle(newValue);
}

float PimVrUISlider::Settle(float candidate) const
{
    float low = std::min(minValue, maxValue);
    float high = std::max(minValue, maxValue);
    if (discreteValues)
    {
        // The whole numbers inside the range; a range between two whole numbers has none, and
        // then its lower end is the only value.
        if (std::ceil(low) <= std::floor(high))
        {
            low = std::ceil(low);
            high = std::floor(high);
        }
        else
            high = low;
        candidate = std::round(candidate);
    }
    return std::clamp(candidate, low, high);
}

PimVector3 PimVrUISlider::GetEndcapPosition() const
{
    return anchorPosition + Axis() * length;
}

PimVector3 PimVrUISlider::GetSliderPosition() const
{
    const float span = maxValue - minValue;
    const float fraction = span != 0.0f ? std::clamp((value - minValue) / span, 0.0f, 1.0f) : 0.0f;
    return anchorPosition + Axis() * (length * fraction);
}

void PimVrUISlider::Update()
{
    if (!knob.IsGrasped())
        knob.SetPosition(GetSliderPosition());
    knob.Update();
    if (knob.IsGrasped() && length > 0.0f)
    {
        const float along = (knob.GetPosition() - anchorPosition).Dot(Axis()) / length;
        value = Settle(minValue + std::clamp(along, 0.0f, 1.0f) * (maxValue - minValue));
    }
}
