#pragma once

#include "engine/PimMatrix4x4.h"
#include "engine/PimVector3.h"
#include "engine/PimVrHandle.h"

// A slider in the world: a track from the anchor along the orientation's x axis for its length,
// and a knob whose place shows the value between the minimum (at the anchor) and the maximum (at
// the end cap). The knob is a PimVrHandle: grasped with a trigger pull, it follows the hand along
// the track only, and the value follows the knob, clamped to the range and, with discrete values,
// rounded to whole numbers (the knob then snaps to them). The drawing is the owner's, from the
// positions below. Main thread only; Update once per frame.
class PimVrUISlider
{
public:
    PimVrUISlider();

    void SetAnchorPosition(const PimVector3& anchor) { anchorPosition = anchor; }
    PimVector3 GetAnchorPosition() const { return anchorPosition; }
    // Negative or non-finite lengths become 0 (the knob stays at the anchor).
    void SetLength(float newLength);
    float GetLength() const { return length; }
    // A rotation; x is the track's direction.
    void SetOrientation(const PimMatrix4x4& rotation) { orientation = rotation; }
    const PimMatrix4x4& GetOrientation() const { return orientation; }

    // The range; a minimum above the maximum runs the track from high to low. Setting either
    // clamps the value into the new range.
    void SetMinValue(float value);
    void SetMaxValue(float value);
    float GetMinValue() const { return minValue; }
    float GetMaxValue() const { return maxValue; }
    // Whole-number values only.
    void SetUseDiscreetValues(bool discrete);
    bool GetUseDiscreetValues() const { return discreteValues; }

    // Clamped into the range (and rounded when discrete); NaN is ignored.
    void SetValue(float newValue);
    float GetValue() const { return value; }

    void SetGraspDistance(float distance) { knob.SetGraspDistance(distance); }
    float GetGraspDistance() const { return knob.GetGraspDistance(); }

    // Grasping and dragging the knob.
    void Update();
    bool IsBeingGrasped() const { return knob.IsGrasped(); }

    // The track's far end, and the knob's place for the current value.
    PimVector3 GetEndcapPosition() const;
    PimVector3 GetSliderPosition() const;

private:
    float Settle(float candidate) const;
    PimVector3 Axis() const { return orientation.TransformDirection({1.0f, 0.0f, 0.0f}).Normalized(); }

    PimVector3 anchorPosition;
    float length = 1.0f;
    PimMatrix4x4 orientation;
    float minValue = 0.0f;
    float maxValue = 1.0f;
    bool discreteValues = false;
    float value = 0.0f;
    PimVrHandle knob;
};
