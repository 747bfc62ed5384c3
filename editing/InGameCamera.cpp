#include "editing/InGameCamera.h"

#include "settings/GameSettings.h"

#include "engine/PimCamera.h"
#include "engine/PimDrawContext.h"
#include "engine/PimEye.h"
#include "engine/PimInputTray.h"
#include "engine/PimSystem.h"
#include "engine/PimViewport.h"
#include "engine/PimVrController.h"
#include "engine/PimVrInputCodes.h"
#include "engine/PimVrSimulator.h"
#include "engine/PimVrSystem.h"
#include "engine/VoxelCodeTable.h"

namespace
{
constexpr PimColor kBodyColour{58, 60, 68, 255};
constexpr PimColor kLensColour{20, 22, 26, 255};
// The body's size in metres (width, height, depth) and the lens ahead of it.
const PimVector3 kBodySize{0.12f, 0.08f, 0.07f};
const PimVector3 kLensSize{0.05f, 0.05f, 0.04f};

int PreferredHand(const GameSettings& settings)
{
    return settings.virtualReality.GetHandPreference() == 1 ? PimVrDeviceIndex::LeftHand : PimVrDeviceIndex::RightHand;
}
}

InGameCamera::InGameCamera(GameSettings& settingsIn, std::weak_ptr<PimViewport> spectatorIn)
    : settings(settingsIn), spectator(std::move(spectatorIn))
{
    body.Build(VoxelCode::HelperCube, kBodyColour);
    lens.Build(VoxelCode::HelperCube, kLensColour);
}

InGameCamera::~InGameCamera()
{
    Hide();
}

void InGameCamera::Update()
{
    if (!settings.inGameCamera)
    {
        Hide();
        return;
    }
    if (!shown)
        Show();
    FollowHands();
    Film();
}

void InGameCamera::Show()
{
    const PimVrController& hand = PimVrSystem::GetInstance().GetHandController(PreferredHand(settings));
    orientation = hand.GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World);
    position = hand.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World) +
               orientation.TransformDirection(PimVector3(0.0f, 0.1f, 0.0f)) * PimVrSystem::GetInstance().GetScale();
    shown = true;
    heldBy = 0;
    heldByKey = false;
    if (const auto view = spectator.lock())
    {
        if (!view->GetCamera())
            view->SetCamera(std::make_shared<PimCamera>());
        if (PimSystem::IsVirtualReality())
        {
            view->ClearBoundingBox();
        }
        else
        {
            const int width = PimSystem::GetFramebufferWidth();
            const int height = PimSystem::GetFramebufferHeight();
            const int insetWidth = static_cast<int>(static_cast<float>(width) * kInsetShare);
            const int insetHeight = static_cast<int>(static_cast<float>(height) * kInsetShare);
            view->SetBoundingBox({width - insetWidth - 8, height - insetHeight - 8, insetWidth, insetHeight});
        }
        view->SetActive(true);
    }
}

void InGameCamera::Hide()
{
    if (!shown)
        return;
    shown = false;
    heldBy = 0;
    if (const auto view = spectator.lock())
        view->SetActive(false);
}

void InGameCamera::FollowHands()
{
    PimVrSystem& vr = PimVrSystem::GetInstance();
    const float scale = vr.GetScale();

    // Desktop: K takes the camera into the mouse hand, K again leaves it where it is.
    const bool key = PimInputTray::GetInstance().GetKeyboard().KeyStatus(kPickUpKey) != 0 &&
                     !PimInputTray::GetInstance().IsKeyboardCaptured();
    if (key && !keyDown)
    {
        if (heldByKey)
        {
            heldBy = 0;
            heldByKey = false;
        }
        else if (PimVrSimulator* simulator = vr.GetSimulator())
        {
            heldBy = simulator->GetMouseHand();
            heldByKey = true;
            grabOffset = PimVector3();
        }
    }
    keyDown = key;

    if (heldBy == 0)
    {
        for (const int role : {PimVrDeviceIndex::LeftHand, PimVrDeviceIndex::RightHand})
        {
            const PimVrController& hand = vr.GetHandController(role);
            if (!hand.IsValid() || !hand.WasJustPressed(PimVrButton::Trigger))
                continue;
            const PimVector3 tip = hand.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World);
            if (tip.Distance(position) <= kGrasp * scale)
            {
                heldBy = role;
                grabOffset = position - tip;
                break;
            }
        }
    }
    if (heldBy == 0)
        return;
    const PimVrController& holder = vr.GetHandController(heldBy);
    if (!holder.IsValid() || (!heldByKey && !holder.IsPressed(PimVrButton::Trigger)))
    {
        heldBy = 0;
        heldByKey = false;
        return;
    }
    position = holder.GetDevicePosition(PimVrPose::Tip, PimVrCoordinates::World) + grabOffset;
    orientation = holder.GetDeviceOrientation(PimVrPose::Controller, PimVrCoordinates::World);
}

void InGameCamera::Film()
{
    const auto view = spectator.lock();
    if (!view || !view->GetCamera())
        return;
    PimCamera& camera = *view->GetCamera();
    camera.SetPosition(position);
    camera.SetOrientation(orientation);
}

void InGameCamera::Draw()
{
    if (!shown || PimDrawContext::GetEye() == PimEye::Spectator)
        return;
    const float scale = PimVrSystem::GetInstance().GetScale();
    body.SetPosition(position);
    body.SetTransform(orientation * PimMatrix4x4::CreateScale(kBodySize * scale));
    body.Draw();
    lens.SetPosition(position + orientation.TransformDirection(PimVector3(0.0f, 0.0f, -kBodySize.z * 0.75f)) * scale);
    lens.SetTransform(orientation * PimMatrix4x4::CreateScale(kLensSize * scale));
    lens.Draw();
}
