#include "pages/PointerSpot.h"

#include "engine/PimVrUISlider.h"

#include <algorithm>
#include <cmath>

PointerSpot KnobSpot(const PimVrUISlider& slider)
{
    // A little inside the grasp distance, so a tip put on the spot's edge still grasps.
    return {slider.GetSliderPosition(), slider.GetGraspDistance() * 0.8f};
}

std::optional<PimVector3> HeldKnobAlong(const PimVrUISlider& slider, const PimVector3& origin, const PimVector3& direction)
{
    if (!slider.IsBeingGrasped() || slider.GetLength() <= 0.0f)
        return std::nullopt;
    const PimVector3 anchor = slider.GetAnchorPosition();
    const PimVector3 track = (slider.GetEndcapPosition() - anchor).Normalized();
    // The closest points of two lines: the ray and the track.
    const float cosine = direction.Dot(track);
    const float denominator = 1.0f - cosine * cosine;
    if (denominator < 1e-4f)
        return std::nullopt;
    const PimVector3 w = origin - anchor;
    const float along = (track.Dot(w) - cosine * direction.Dot(w)) / denominator;
    return anchor + track * std::clamp(along, 0.0f, slider.GetLength());
}
