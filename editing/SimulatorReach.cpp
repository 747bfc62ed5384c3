#include "editing/SimulatorReach.h"

#include "editing/EditTarget.h"
#include "editing/VoxelEditor.h"

#include "settings/GameSettings.h"

#include "engine/PimVrSimulator.h"
#include "engine/PimVrSystem.h"

#include <optional>

void InstallSimulatorReach(EditTarget& target, const GameSettings& settings)
{
    PimVrSimulator* simulator = PimVrSystem::GetInstance().GetSimulator();
    if (simulator == nullptr)
        return;
    simulator->SetReachHelper([&target, &settings](const PimVector3& eye, const PimVector3& ray) -> std::optional<float> {
        const PimVrSystem& vr = PimVrSystem::GetInstance();
        const PimVector3 origin = vr.TrackingToWorld(eye);
        PimVector3 direction = vr.TrackingToWorld(eye + ray) - origin;
        const float unitsPerMetre = direction.Length();
        if (unitsPerMetre <= 0.0f)
            return std::nullopt;
        direction = direction / unitsPerMetre;
        constexpr float kStep = 0.05f;
        for (float d = kStep; d < 100.0f; d += kStep)
        {
            const PimVector3 p = origin + direction * d;
            if (target.GetVoxel(p) != 0 || target.GetCollision(0, p) >= 2)
            {
                // The cursor half a voxel in front of the surface, the hand 6 / s behind it.
                const float s = settings.activeGame.GetPlayerScale();
                const float cursorAt = d - 0.5f;
                return (cursorAt - VoxelEditor::kCursorDistance / s) / unitsPerMetre + PimVrController::TipDistance;
            }
        }
        return std::nullopt;
    });
}

void ClearSimulatorReach()
{
    if (PimVrSimulator* simulator = PimVrSystem::GetInstance().GetSimulator())
        simulator->SetReachHelper({});
}
