#pragma once

#include "engine/PimMatrix4x4.h"
#include "engine/PimRenderableObject.h"
#include "engine/PimVector3.h"
#include "engine/PimVrHandle.h"

#include <functional>

// A box floating in space that the user toggles by grabbing it with a controller (a trigger pull
// within the handle's grasp distance): each grab flips it once, however long it is held. The
// owner places it (location and orientation) and may be told of every change through onChange.
// The three cubes it is drawn with (checked fill, unchecked fill, frame) are shared by every
// checkbox and made on the first draw. Main thread only; Update once per frame.
class UICheckboxVr : public PimRenderableObject
{
public:
    using ChangeHandler = std::function<void(bool checked)>;

    void SetOnChange(ChangeHandler handler) { onChange = std::move(handler); }
    // Moves the box and its grab point, so a box placed this frame can be grabbed at once.
    void SetLocation(const PimVector3& newLocation)
    {
        location = newLocation;
        handle.SetPosition(newLocation);
    }
    const PimVector3& GetLocation() const { return location; }
    void SetOrientation(const PimMatrix4x4& newOrientation) { orientation = newOrientation; }
    void SetGraspDistance(float distance) { handle.SetGraspDistance(distance); }

    // Sets the state without a grab; the next Update reports it through OnToggled.
    void SetChecked(bool on) { checked = on; }
    bool IsChecked() const { return checked; }

    void Update() override;
    void Draw() override;

protected:
    // Called when the state differs from the one last reported; tells onChange.
    virtual void OnToggled();

private:
    ChangeHandler onChange;
    PimVrHandle handle;
    bool checked = false;
    PimVector3 location;
    PimMatrix4x4 orientation;
    bool graspLatch = false;
    bool reported = false;
};
