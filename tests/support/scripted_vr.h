#pragma once

#include "engine/PimSystem.h"
#include "engine/PimVrController.h"
#include "engine/PimVrScriptedDevice.h"
#include "engine/PimVrSystem.h"

#include <gtest/gtest.h>

#include <functional>

// The engine without a display, its devices run by a script, on a fixed 60 Hz clock.
class ScriptedVr : public testing::Test
{
protected:
    void SetUp() override
    {
        PimSystemParameters parameters;
        parameters.display = PimDisplayBackend::None;
        parameters.deviceMode = PimDeviceMode::Scripted;
        parameters.fixedFrameSeconds = 1.0 / 60.0;
        parameters.width = 800;
        parameters.height = 600;
        ASSERT_TRUE(PimSystem::Initialize(parameters));
        script = vr.GetScript();
        ASSERT_NE(script, nullptr);
    }
    void TearDown() override { PimSystem::Shutdown(); }

    // Runs one frame of the loop with update (if any) in its Update phase.
    static void Step(const std::function<void()>& update = {})
    {
        PimCallbackId id = 0;
        if (update)
            id = PimSystem::AddFrameCallback(PimFramePhase::Update, update);
        EXPECT_EQ(PimSystem::RunFrames(1), 1u);
        if (id != 0)
            PimSystem::RemoveCallback(id);
    }

    // Puts a hand so that its tip is at the tracking-space point, pointing along -z.
    void PlaceTip(int role, const PimVector3& tip)
    {
        script->SetPose(role, tip + PimVector3(0.0f, 0.0f, PimVrController::TipDistance), PimMatrix4x4());
    }

    PimVrSystem& vr = PimVrSystem::GetInstance();
    PimVrScriptedDevice* script = nullptr;
};
