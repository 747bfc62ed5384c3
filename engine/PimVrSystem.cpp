#include "engine/PimVrSystem.h"

#include "engine/PimAssert.h"
#include "engine/PimSystem.h"
#include "engine/PimTime.h"
#include "engine/PimVrOpenXR.h"
#include "engine/PimVrPoseMath.h"
#include "engine/PimVrScriptedDevice.h"
#include "engine/PimVrSimulator.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
bool IsFinite(const PimVector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The simulator's window events come through the frame loop; the id is kept to unregister.
PimCallbackId simulatorEvents = 0;

void ReportFallbackOnce(const std::string& reason)
{
    static bool reported = false;
    if (reported)
        return;
    reported = true;
    std::printf("No headset (%s): the desktop simulator drives the view, F1 shows its keys.\n", reason.c_str());
    std::fflush(stdout);
}

// Size of the view through the window: the framebuffer, or the requested size without GL.
void WindowSize(int& width, int& height)
{
    width = PimSystem::GetFramebufferWidth();
    height = PimSystem::GetFramebufferHeight();
    if (width <= 0 || height <= 0)
    {
        width = PimSystem::GetParameters().width;
        height = PimSystem::GetParameters().height;
    }
    if (width <= 0 || height <= 0)
    {
        width = 1;
        height = 1;
    }
}

// The scene's way into the headset's eyes: forwards to the system, which holds the device.
class HeadsetEyeOutput final : public PimEyeOutput
{
public:
    explicit HeadsetEyeOutput(PimVrSystem& system) : system(system) {}
    bool BeginEyes(std::vector<PimEyeTarget>& eyes) override { return system.AcquireHeadsetEyes(eyes); }
    void EndEyes() override { system.ReleaseHeadsetEyes(); }

private:
    PimVrSystem& system;
};
}

PimVrSystem& PimVrSystem::GetInstance()
{
    static PimVrSystem system;
    return system;
}

PimVrSystem::PimVrSystem() : standIn(*this, -1)
{
    controllers.reserve(PimVrDeviceIndex::Count);
    for (int i = 0; i < PimVrDeviceIndex::Count; ++i)
        controllers.push_back(PimVrController(*this, i));
}

bool PimVrSystem::Start(const PimSystemParameters& parameters)
{
    Stop();
    if (!StartDevice(parameters))
        return false;
    PimSystem::SetVirtualReality(device->IsHeadset());
    if (device->HasOwnEyes())
    {
        headsetEyes = std::make_shared<HeadsetEyeOutput>(*this);
        PimEyeOutput::Install(headsetEyes);
    }
    return true;
}

bool PimVrSystem::StartDevice(const PimSystemParameters& parameters)
{
    switch (parameters.deviceMode)
    {
    case PimDeviceMode::Scripted:
        UseDevice(std::make_unique<PimVrScriptedDevice>());
        return true;
    case PimDeviceMode::Desktop:
        UseDevice(std::make_unique<PimVrSimulator>(parameters.width, parameters.height));
        return true;
    case PimDeviceMode::Headset:
    case PimDeviceMode::HeadsetOrDesktop:
    {
        std::string reason;
        std::unique_ptr<PimVrDevice> headset = PimVrOpenXR::Create(parameters, reason);
        if (headset)
        {
            UseDevice(std::move(headset));
            return true;
        }
        if (parameters.deviceMode == PimDeviceMode::Headset)
        {
            std::fprintf(stderr, "PimVrSystem::Start() - no headset: %s\n", reason.c_str());
            return false;
        }
        ReportFallbackOnce(reason);
        UseDevice(std::make_unique<PimVrSimulator>(parameters.width, parameters.height));
        return true;
    }
    }
    std::fprintf(stderr, "PimVrSystem::Start() - unknown device mode %d\n", static_cast<int>(parameters.deviceMode));
    return false;
}

void PimVrSystem::UseDevice(std::unique_ptr<PimVrDevice> backend)
{
    device = std::move(backend);
    script = dynamic_cast<PimVrScriptedDevice*>(device.get());
    simulator = dynamic_cast<PimVrSimulator*>(device.get());
    if (simulator != nullptr && PimSystem::IsInitialized())
    {
        PimVrSimulator* target = simulator;
        simulatorEvents = PimSystem::AddEventCallback([target](const SDL_Event& event) { target->HandleEvent(event); });
    }
}

void PimVrSystem::Stop()
{
    if (currentEye >= 0)
        EndEye();
    if (headsetEyesHeld)
        ReleaseHeadsetEyes();
    if (headsetEyes)
    {
        if (PimEyeOutput::GetInstalled() == headsetEyes)
            PimEyeOutput::Install(nullptr);
        headsetEyes.reset();
    }
    if (simulatorEvents != 0)
    {
        PimSystem::RemoveCallback(simulatorEvents);
        simulatorEvents = 0;
    }
    device.reset();
    script = nullptr;
    simulator = nullptr;
    for (PimVrController& controller : controllers)
        controller.Clear();
    ResetPlace();
}

void PimVrSystem::ResetPlace()
{
    root = {};
    scale = 1.0f;
    direction = PimAngle();
    frameView = ViewTransform();
}

void PimVrSystem::BeginFrame()
{
    if (!device)
        return;
    PimVrDeviceStates states;
    for (std::size_t i = 0; i < states.size(); ++i)
        states[i] = controllers[i].state;
    device->BeginFrame(PimTime::SecondDelta(), states);
    for (std::size_t i = 0; i < states.size(); ++i)
        controllers[i].Refresh(states[i]);
    frameView = {root, scale, direction};
}

void PimVrSystem::EndFrame()
{
    if (currentEye >= 0)
        EndEye();
    if (headsetEyesHeld)
        ReleaseHeadsetEyes();
    if (device)
        device->EndFrame();
}

PimVrController& PimVrSystem::GetController(int index)
{
    if (index >= 0 && index < PimVrDeviceIndex::Count)
        return controllers[static_cast<std::size_t>(index)];
    return standIn;
}

void PimVrSystem::SetRootPosition(const PimVector3& position)
{
    if (!IsFinite(position))
    {
        PimAssert::Assert(false, "PimVrSystem::SetRootPosition() - position is not finite");
        return;
    }
    root = position;
}

void PimVrSystem::ForceRootPosition(const PimVector3& position)
{
    if (!IsFinite(position))
    {
        PimAssert::Assert(false, "PimVrSystem::ForceRootPosition() - position is not finite");
        return;
    }
    root = position;
    frameView.root = position;
}

void PimVrSystem::SetScale(float worldUnitsPerMetre)
{
    if (!(worldUnitsPerMetre > 0.0f) || !std::isfinite(worldUnitsPerMetre))
    {
        PimAssert::Assert(false, "PimVrSystem::SetScale() - scale must be finite and above 0");
        return;
    }
    scale = worldUnitsPerMetre;
}

void PimVrSystem::SetDirectionModifier(PimAngle angle)
{
    if (!std::isfinite(angle.GetRadians()))
    {
        PimAssert::Assert(false, "PimVrSystem::SetDirectionModifier() - angle is not finite");
        return;
    }
    direction = angle;
}

PimVector3 PimVrSystem::TrackingToPlayArea(const PimVector3& trackingPosition) const
{
    return PimMatrix4x4::CreateRotationY(direction).TransformDirection(trackingPosition * scale);
}

PimVector3 PimVrSystem::TrackingToWorld(const PimVector3& trackingPosition) const
{
    return root + TrackingToPlayArea(trackingPosition);
}

PimMatrix4x4 PimVrSystem::TrackingToPlayAreaRotation(const PimMatrix4x4& trackingOrientation) const
{
    return PimMatrix4x4::CreateRotationY(direction) * trackingOrientation;
}

int PimVrSystem::GetEyeCount() const
{
    if (!device)
        return 0;
    return device->HasOwnEyes() ? device->GetEyeCount() : 1;
}

PimVrEye PimVrSystem::EyeInTracking(int eye) const
{
    if (device && device->HasOwnEyes())
        return device->GetEye(eye);
    const PimVrController& head = controllers[PimVrDeviceIndex::Headset];
    int width = 1;
    int height = 1;
    WindowSize(width, height);
    const float tanUp = std::tan(PimAngle::DegreesToRadians(PimVrRestPose::WindowFieldOfViewDegrees) * 0.5f);
    const float tanRight = tanUp * static_cast<float>(width) / static_cast<float>(height);
    PimVrEye view;
    view.position = head.state.position;
    view.orientation = head.state.orientation;
    view.angleUp = std::atan(tanUp);
    view.angleDown = -view.angleUp;
    view.angleRight = std::atan(tanRight);
    view.angleLeft = -view.angleRight;
    return view;
}

PimVector3 PimVrSystem::GetEyePosition(int eye) const
{
    if (!IsEye(eye))
        return frameView.root;
    const PimVrEye view = EyeInTracking(eye);
    const PimMatrix4x4 turn = PimMatrix4x4::CreateRotationY(frameView.direction);
    return frameView.root + turn.TransformDirection(view.position * frameView.scale);
}

PimMatrix4x4 PimVrSystem::GetEyeView(int eye) const
{
    if (!IsEye(eye))
    {
        PimAssert::Assert(false, "PimVrSystem::GetEyeView() - no such eye");
        return {};
    }
    const PimVrEye view = EyeInTracking(eye);
    const PimMatrix4x4 rotation = PimMatrix4x4::CreateRotationY(frameView.direction) * view.orientation;
    return PimVrPoseMath::ViewFromPose(rotation, GetEyePosition(eye));
}

PimMatrix4x4 PimVrSystem::GetEyeProjection(int eye, float nearPlane, float farPlane) const
{
    if (!IsEye(eye))
    {
        PimAssert::Assert(false, "PimVrSystem::GetEyeProjection() - no such eye");
        return {};
    }
    const PimVrEye view = EyeInTracking(eye);
    return PimVrPoseMath::Frustum(std::tan(view.angleLeft), std::tan(view.angleRight), std::tan(view.angleDown),
                                  std::tan(view.angleUp), nearPlane, farPlane);
}

int PimVrSystem::GetEyeWidth(int eye) const
{
    if (!IsEye(eye))
        return 0;
    if (device->HasOwnEyes())
        return device->GetEyeWidth(eye);
    int width = 1;
    int height = 1;
    WindowSize(width, height);
    return width;
}

int PimVrSystem::GetEyeHeight(int eye) const
{
    if (!IsEye(eye))
        return 0;
    if (device->HasOwnEyes())
        return device->GetEyeHeight(eye);
    int width = 1;
    int height = 1;
    WindowSize(width, height);
    return height;
}

PimEyeView PimVrSystem::GetEyeViewFromHead(int eye) const
{
    PimEyeView view;
    if (!IsEye(eye) || !device->HasOwnEyes())
        return view;
    // inverse(head) x eye, both in tracking space; the offset between them grows with the world's
    // scale, as the camera's placement at the head does.
    const PimVrEye tracked = device->GetEye(eye);
    const PimVrDeviceState& head = controllers[PimVrDeviceIndex::Headset].state;
    const PimMatrix4x4 headTurnBack = head.orientation.Transposed();
    view.eye = eye == 0 ? PimEye::Left : PimEye::Right;
    view.headFromEye = headTurnBack * tracked.orientation;
    view.headFromEye.SetTranslation(headTurnBack.TransformDirection((tracked.position - head.position) * frameView.scale));
    view.fieldOfView = PimFieldOfView{PimAngle::FromRadians(tracked.angleLeft), PimAngle::FromRadians(tracked.angleRight),
                                      PimAngle::FromRadians(tracked.angleUp), PimAngle::FromRadians(tracked.angleDown)};
    return view;
}

bool PimVrSystem::BeginEye(int eye)
{
    if (currentEye >= 0)
        EndEye();
    if (!IsEye(eye) || !PimSystem::HasGL() || device->HasOwnEyes())
        return false;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, GetEyeWidth(eye), GetEyeHeight(eye));
    currentEye = eye;
    return true;
}

void PimVrSystem::EndEye()
{
    currentEye = -1;
}

bool PimVrSystem::AcquireHeadsetEyes(std::vector<PimEyeTarget>& eyes)
{
    if (!device || !device->HasOwnEyes() || headsetEyesHeld || !PimSystem::HasGL())
        return false;
    std::vector<unsigned int> framebuffers;
    if (!device->AcquireEyes(framebuffers))
        return false;
    headsetEyesHeld = true;
    const int count = std::min(static_cast<int>(framebuffers.size()), GetEyeCount());
    for (int eye = 0; eye < count; ++eye)
    {
        PimEyeTarget target;
        target.view = GetEyeViewFromHead(eye);
        target.framebuffer = framebuffers[static_cast<std::size_t>(eye)];
        target.width = device->GetEyeWidth(eye);
        target.height = device->GetEyeHeight(eye);
        eyes.push_back(target);
    }
    return true;
}

void PimVrSystem::ReleaseHeadsetEyes()
{
    if (!headsetEyesHeld)
        return;
    headsetEyesHeld = false;
    device->ReleaseEyes();
}

bool PimVrSystem::IsLegendVisible() const
{
    return device && device->IsLegendVisible();
}

std::vector<std::string> PimVrSystem::GetLegendLines() const
{
    return device ? device->GetLegendLines() : std::vector<std::string>();
}
