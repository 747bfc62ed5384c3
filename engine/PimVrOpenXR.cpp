#include "engine/PimVrOpenXR.h"

#include "engine/PimSystem.h"
#include "engine/PimVrController.h"
#include "engine/PimVrPoseMath.h"

#include <GL/glew.h>
#include <SDL_video.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// The platform headers last: X11 defines plain macros (None, Bool, Status, True...) that are
// removed again once the OpenXR platform types are declared.
#include <EGL/egl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#define XR_USE_GRAPHICS_API_OPENGL
#define XR_USE_PLATFORM_XLIB
#define XR_USE_PLATFORM_EGL
#include <openxr/openxr.h>
#include <openxr/openxr_platform.h>

#undef None
#undef Bool
#undef Status
#undef Success
#undef True
#undef False
#undef Always

namespace
{
constexpr int HandCount = 2;

// An OpenXR structure with every member zero but its type.
template <typename T>
T XrStruct(XrStructureType type)
{
    T value{};
    value.type = type;
    return value;
}

constexpr int EyeCount = 2;
constexpr const char* HandPaths[HandCount] = {"/user/hand/left", "/user/hand/right"};

std::string ResultText(XrInstance instance, XrResult result)
{
    if (instance != XR_NULL_HANDLE)
    {
        char text[XR_MAX_RESULT_STRING_SIZE] = {};
        if (XR_SUCCEEDED(xrResultToString(instance, result, text)))
            return text;
    }
    switch (result)
    {
    case XR_ERROR_RUNTIME_UNAVAILABLE:
        return "XR_ERROR_RUNTIME_UNAVAILABLE";
    case XR_ERROR_RUNTIME_FAILURE:
        return "XR_ERROR_RUNTIME_FAILURE";
    case XR_ERROR_EXTENSION_NOT_PRESENT:
        return "XR_ERROR_EXTENSION_NOT_PRESENT";
    case XR_ERROR_API_VERSION_UNSUPPORTED:
        return "XR_ERROR_API_VERSION_UNSUPPORTED";
    default:
        return "XrResult " + std::to_string(static_cast<int>(result));
    }
}

// The buttons read through actions: boolean and float actions with their engine codes.
struct ButtonAction
{
    const char* name;
    const char* label;
    XrActionType type;
    int code;
};

constexpr ButtonAction ButtonActions[] = {
    {"trigger", "Trigger", XR_ACTION_TYPE_FLOAT_INPUT, PimVrButton::Trigger},
    {"menu", "Menu", XR_ACTION_TYPE_BOOLEAN_INPUT, PimVrButton::Menu},
    {"pad_touch", "Pad touch", XR_ACTION_TYPE_BOOLEAN_INPUT, PimVrButton::PadTouch},
    {"pad_click", "Pad click", XR_ACTION_TYPE_BOOLEAN_INPUT, PimVrButton::PadClick},
    {"second_button", "Second button", XR_ACTION_TYPE_BOOLEAN_INPUT, PimVrButton::Secondary},
};
constexpr int ButtonActionCount = static_cast<int>(std::size(ButtonActions));

// One suggested binding: action name (or "pad" / "aim") and the input path under the hand.
struct Binding
{
    const char* action;
    const char* leftInput;
    const char* rightInput;
};

struct Profile
{
    const char* path;
    std::vector<Binding> bindings;
};

std::vector<Profile> Profiles()
{
    return {
        {"/interaction_profiles/khr/simple_controller",
         {{"trigger", "/input/select/click", "/input/select/click"},
          {"menu", "/input/menu/click", "/input/menu/click"},
          {"aim", "/input/aim/pose", "/input/aim/pose"}}},
        {"/interaction_profiles/valve/index_controller",
         {{"trigger", "/input/trigger/value", "/input/trigger/value"},
          {"menu", "/input/b/click", "/input/b/click"},
          {"second_button", "/input/a/click", "/input/a/click"},
          {"pad_touch", "/input/thumbstick/touch", "/input/thumbstick/touch"},
          {"pad_click", "/input/thumbstick/click", "/input/thumbstick/click"},
          {"pad", "/input/thumbstick", "/input/thumbstick"},
          {"aim", "/input/aim/pose", "/input/aim/pose"}}},
        {"/interaction_profiles/htc/vive_controller",
         {{"trigger", "/input/trigger/value", "/input/trigger/value"},
          {"menu", "/input/menu/click", "/input/menu/click"},
          {"second_button", "/input/squeeze/click", "/input/squeeze/click"},
          {"pad_touch", "/input/trackpad/touch", "/input/trackpad/touch"},
          {"pad_click", "/input/trackpad/click", "/input/trackpad/click"},
          {"pad", "/input/trackpad", "/input/trackpad"},
          {"aim", "/input/aim/pose", "/input/aim/pose"}}},
        {"/interaction_profiles/oculus/touch_controller",
         {{"trigger", "/input/trigger/value", "/input/trigger/value"},
          {"menu", "/input/menu/click", "/input/b/click"},
          {"second_button", "/input/y/click", "/input/a/click"},
          {"pad_touch", "/input/thumbstick/touch", "/input/thumbstick/touch"},
          {"pad_click", "/input/thumbstick/click", "/input/thumbstick/click"},
          {"pad", "/input/thumbstick", "/input/thumbstick"},
          {"aim", "/input/aim/pose", "/input/aim/pose"}}},
    };
}

PimVector3 ToVector(const XrVector3f& v)
{
    return {v.x, v.y, v.z};
}

PimMatrix4x4 ToRotation(const XrQuaternionf& q)
{
    return PimVrPoseMath::FromQuaternion(q.x, q.y, q.z, q.w);
}

bool HasFlags(XrSpaceLocationFlags flags, XrSpaceLocationFlags wanted)
{
    return (flags & wanted) == wanted;
}

class OpenXRDevice final : public PimVrDevice
{
public:
    OpenXRDevice() = default;
    ~OpenXRDevice() override;
    OpenXRDevice(const OpenXRDevice&) = delete;
    OpenXRDevice& operator=(const OpenXRDevice&) = delete;

    bool Start(const PimSystemParameters& parameters, std::string& whyNot);

    bool IsHeadset() const override { return true; }
    void BeginFrame(double seconds, PimVrDeviceStates& devices) override;
    void EndFrame() override;

    bool HasOwnEyes() const override { return true; }
    int GetEyeCount() const override { return EyeCount; }
    PimVrEye GetEye(int eye) const override;
    int GetEyeWidth(int eye) const override { return IsEye(eye) ? eyes[eye].width : 0; }
    int GetEyeHeight(int eye) const override { return IsEye(eye) ? eyes[eye].height : 0; }
    bool AcquireEyes(std::vector<unsigned int>& framebuffers) override;
    void ReleaseEyes() override;

private:
    // One eye's swapchain and the framebuffer its acquired image is drawn through.
    struct Eye
    {
        XrSwapchain swapchain = XR_NULL_HANDLE;
        std::vector<XrSwapchainImageOpenGLKHR> images;
        int width = 0;
        int height = 0;
        GLuint framebuffer = 0;
        GLuint depth = 0;
        XrView view = XrStruct<XrView>(XR_TYPE_VIEW);
        bool acquired = false;
        bool rendered = false;
    };

    static bool IsEye(int eye) { return eye >= 0 && eye < EyeCount; }
    bool Fail(XrResult result, const char* step, std::string& whyNot) const;
    bool CreateInstance(std::string& whyNot);
    bool FindHeadset(std::string& whyNot);
    bool CreateSession(std::string& whyNot);
    bool CreateSpaces(std::string& whyNot);
    bool CreateSwapchains(std::string& whyNot);
    bool CreateActions(std::string& whyNot);
    XrPath Path(const char* text) const;

    void PollEvents();
    void OnStateChange(XrSessionState state);
    void LocateHead(PimVrDeviceState& head) const;
    void ReadHand(int hand, PimVrDeviceState& state) const;
    // Acquires the eye's next image, waits until it may be drawn and binds it with the eye's depth
    // buffer, cleared; false (nothing held) when the runtime refuses.
    bool AcquireImage(Eye& eye) const;
    void MirrorToWindow(const Eye& eye) const;
    // Gives the eye's image back to the runtime; true when it took it.
    bool ReleaseImage(Eye& eye) const;
    void ReleaseAcquiredImages();

    bool useEgl = false;
    XrInstance instance = XR_NULL_HANDLE;
    XrSystemId systemId = XR_NULL_SYSTEM_ID;
    XrSession session = XR_NULL_HANDLE;
    XrSpace playSpace = XR_NULL_HANDLE;
    XrSpace viewSpace = XR_NULL_HANDLE;
    XrActionSet actionSet = XR_NULL_HANDLE;
    std::array<XrAction, ButtonActionCount> buttonActions{};
    XrAction padAction = XR_NULL_HANDLE;
    XrAction aimAction = XR_NULL_HANDLE;
    std::array<XrPath, HandCount> handPaths{};
    std::array<XrSpace, HandCount> aimSpaces{};
    std::array<Eye, EyeCount> eyes;

    XrSessionState sessionState = XR_SESSION_STATE_UNKNOWN;
    bool sessionRunning = false;
    bool frameBegun = false;
    bool shouldRender = false;
    bool eyesLocated = false;
    XrTime displayTime = 0;
};

OpenXRDevice::~OpenXRDevice()
{
    if (frameBegun)
        EndFrame();
    for (Eye& eye : eyes)
    {
        if (eye.swapchain != XR_NULL_HANDLE)
            xrDestroySwapchain(eye.swapchain);
        if (eye.depth != 0)
            glDeleteRenderbuffers(1, &eye.depth);
        if (eye.framebuffer != 0)
            glDeleteFramebuffers(1, &eye.framebuffer);
    }
    for (XrSpace space : aimSpaces)
    {
        if (space != XR_NULL_HANDLE)
            xrDestroySpace(space);
    }
    if (viewSpace != XR_NULL_HANDLE)
        xrDestroySpace(viewSpace);
    if (playSpace != XR_NULL_HANDLE)
        xrDestroySpace(playSpace);
    if (actionSet != XR_NULL_HANDLE)
        xrDestroyActionSet(actionSet);  // its actions go with it
    if (session != XR_NULL_HANDLE)
    {
        // A session may only be ended once the runtime stops it; a running one is destroyed as it
        // is, which OpenXR allows.
        if (sessionRunning && sessionState == XR_SESSION_STATE_STOPPING)
            xrEndSession(session);
        xrDestroySession(session);
    }
    if (instance != XR_NULL_HANDLE)
        xrDestroyInstance(instance);
}

bool OpenXRDevice::Fail(XrResult result, const char* step, std::string& whyNot) const
{
    whyNot = std::string(step) + " failed: " + ResultText(instance, result);
    return false;
}

bool OpenXRDevice::Start(const PimSystemParameters& /*parameters*/, std::string& whyNot)
{
    return CreateInstance(whyNot) && FindHeadset(whyNot) && CreateSession(whyNot) && CreateSpaces(whyNot)
        && CreateSwapchains(whyNot) && CreateActions(whyNot);
}

bool OpenXRDevice::CreateInstance(std::string& whyNot)
{
    // The loader writes several lines to stderr when no runtime is installed, which is the usual
    // case on a desktop; the reason is reported once by the caller instead. XR_LOADER_DEBUG set by
    // the user still wins.
    setenv("XR_LOADER_DEBUG", "none", 0);

    std::uint32_t count = 0;
    XrResult result = xrEnumerateInstanceExtensionProperties(nullptr, 0, &count, nullptr);
    if (XR_FAILED(result))
    {
        whyNot = result == XR_ERROR_RUNTIME_UNAVAILABLE ? "no OpenXR runtime, XR_ERROR_RUNTIME_UNAVAILABLE"
                                                        : "the OpenXR runtime answered " + ResultText(instance, result);
        return false;
    }
    std::vector<XrExtensionProperties> extensions(
        count, XrStruct<XrExtensionProperties>(XR_TYPE_EXTENSION_PROPERTIES));
    xrEnumerateInstanceExtensionProperties(nullptr, count, &count, extensions.data());
    bool hasOpenGL = false;
    bool hasEgl = false;
    for (const XrExtensionProperties& extension : extensions)
    {
        hasOpenGL = hasOpenGL || std::strcmp(extension.extensionName, XR_KHR_OPENGL_ENABLE_EXTENSION_NAME) == 0;
        hasEgl = hasEgl || std::strcmp(extension.extensionName, XR_MNDX_EGL_ENABLE_EXTENSION_NAME) == 0;
    }
    if (!hasOpenGL)
    {
        whyNot = "the OpenXR runtime does not offer " XR_KHR_OPENGL_ENABLE_EXTENSION_NAME;
        return false;
    }
    // SDL's offscreen driver (and a Wayland window) make an EGL context; GLX otherwise.
    useEgl = glXGetCurrentContext() == nullptr && eglGetCurrentContext() != EGL_NO_CONTEXT;
    if (useEgl && !hasEgl)
    {
        whyNot = "the OpenGL context is an EGL one and the runtime does not offer " XR_MNDX_EGL_ENABLE_EXTENSION_NAME;
        return false;
    }

    std::vector<const char*> enabled = {XR_KHR_OPENGL_ENABLE_EXTENSION_NAME};
    if (useEgl)
        enabled.push_back(XR_MNDX_EGL_ENABLE_EXTENSION_NAME);
    auto info = XrStruct<XrInstanceCreateInfo>(XR_TYPE_INSTANCE_CREATE_INFO);
    std::snprintf(info.applicationInfo.applicationName, XR_MAX_APPLICATION_NAME_SIZE, "Quillot");
    info.applicationInfo.applicationVersion = 56;
    std::snprintf(info.applicationInfo.engineName, XR_MAX_ENGINE_NAME_SIZE, "Pim");
    info.applicationInfo.engineVersion = 1;
    info.applicationInfo.apiVersion = XR_CURRENT_API_VERSION;
    info.enabledExtensionCount = static_cast<std::uint32_t>(enabled.size());
    info.enabledExtensionNames = enabled.data();
    result = xrCreateInstance(&info, &instance);
    if (XR_FAILED(result))
    {
        instance = XR_NULL_HANDLE;
        return Fail(result, "xrCreateInstance", whyNot);
    }
    return true;
}

bool OpenXRDevice::FindHeadset(std::string& whyNot)
{
    auto info = XrStruct<XrSystemGetInfo>(XR_TYPE_SYSTEM_GET_INFO);
    info.formFactor = XR_FORM_FACTOR_HEAD_MOUNTED_DISPLAY;
    const XrResult result = xrGetSystem(instance, &info, &systemId);
    if (result == XR_ERROR_FORM_FACTOR_UNAVAILABLE)
    {
        whyNot = "the OpenXR runtime sees no headset";
        return false;
    }
    return XR_SUCCEEDED(result) || Fail(result, "xrGetSystem", whyNot);
}

bool OpenXRDevice::CreateSession(std::string& whyNot)
{
    if (!PimSystem::HasGL())
    {
        whyNot = "there is no OpenGL context to render the eyes with";
        return false;
    }
    // The runtime insists on being asked for its OpenGL requirements before the session.
    PFN_xrGetOpenGLGraphicsRequirementsKHR getRequirements = nullptr;
    XrResult result = xrGetInstanceProcAddr(instance, "xrGetOpenGLGraphicsRequirementsKHR",
                                            reinterpret_cast<PFN_xrVoidFunction*>(&getRequirements));
    if (XR_FAILED(result) || getRequirements == nullptr)
        return Fail(result, "xrGetOpenGLGraphicsRequirementsKHR", whyNot);
    auto requirements = XrStruct<XrGraphicsRequirementsOpenGLKHR>(XR_TYPE_GRAPHICS_REQUIREMENTS_OPENGL_KHR);
    result = getRequirements(instance, systemId, &requirements);
    if (XR_FAILED(result))
        return Fail(result, "xrGetOpenGLGraphicsRequirementsKHR", whyNot);
    GLint major = 0;
    GLint minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    if (XR_MAKE_VERSION(major, minor, 0) < requirements.minApiVersionSupported)
    {
        whyNot = "the runtime needs a newer OpenGL than " + std::to_string(major) + "." + std::to_string(minor);
        return false;
    }

    auto glx = XrStruct<XrGraphicsBindingOpenGLXlibKHR>(XR_TYPE_GRAPHICS_BINDING_OPENGL_XLIB_KHR);
    auto egl = XrStruct<XrGraphicsBindingEGLMNDX>(XR_TYPE_GRAPHICS_BINDING_EGL_MNDX);
    auto info = XrStruct<XrSessionCreateInfo>(XR_TYPE_SESSION_CREATE_INFO);
    info.systemId = systemId;
    if (useEgl)
    {
        egl.getProcAddress = eglGetProcAddress;
        egl.display = eglGetCurrentDisplay();
        egl.context = eglGetCurrentContext();
        EGLint configId = 0;
        EGLint configCount = 0;
        eglQueryContext(egl.display, egl.context, EGL_CONFIG_ID, &configId);
        const EGLint wanted[] = {EGL_CONFIG_ID, configId, EGL_NONE};
        eglChooseConfig(egl.display, wanted, &egl.config, 1, &configCount);
        info.next = &egl;
    }
    else
    {
        glx.xDisplay = glXGetCurrentDisplay();
        glx.glxContext = glXGetCurrentContext();
        glx.glxDrawable = glXGetCurrentDrawable();
        int configId = 0;
        int screen = 0;
        glXQueryContext(glx.xDisplay, glx.glxContext, GLX_FBCONFIG_ID, &configId);
        glXQueryContext(glx.xDisplay, glx.glxContext, GLX_SCREEN, &screen);
        const int wanted[] = {GLX_FBCONFIG_ID, configId, 0};
        int configCount = 0;
        if (GLXFBConfig* configs = glXChooseFBConfig(glx.xDisplay, screen, wanted, &configCount))
        {
            glx.glxFBConfig = configs[0];
            if (XVisualInfo* visual = glXGetVisualFromFBConfig(glx.xDisplay, configs[0]))
            {
                glx.visualid = static_cast<std::uint32_t>(visual->visualid);
                XFree(visual);
            }
            XFree(configs);
        }
        info.next = &glx;
    }
    result = xrCreateSession(instance, &info, &session);
    if (XR_FAILED(result))
    {
        session = XR_NULL_HANDLE;
        return Fail(result, "xrCreateSession", whyNot);
    }
    // The runtime paces the frames (xrWaitFrame); the window must not wait for its own refresh too.
    SDL_GL_SetSwapInterval(0);
    return true;
}

bool OpenXRDevice::CreateSpaces(std::string& whyNot)
{
    std::uint32_t count = 0;
    xrEnumerateReferenceSpaces(session, 0, &count, nullptr);
    std::vector<XrReferenceSpaceType> types(count);
    xrEnumerateReferenceSpaces(session, count, &count, types.data());
    bool hasStage = false;
    for (XrReferenceSpaceType type : types)
        hasStage = hasStage || type == XR_REFERENCE_SPACE_TYPE_STAGE;

    auto info = XrStruct<XrReferenceSpaceCreateInfo>(XR_TYPE_REFERENCE_SPACE_CREATE_INFO);
    info.poseInReferenceSpace.orientation.w = 1.0f;
    if (hasStage)
        info.referenceSpaceType = XR_REFERENCE_SPACE_TYPE_STAGE;
    else
    {
        // The local space starts at the head: its floor is assumed one standing eye height below.
        info.referenceSpaceType = XR_REFERENCE_SPACE_TYPE_LOCAL;
        info.poseInReferenceSpace.position.y = -PimVrRestPose::EyeHeight;
    }
    XrResult result = xrCreateReferenceSpace(session, &info, &playSpace);
    if (XR_FAILED(result))
        return Fail(result, "xrCreateReferenceSpace (play area)", whyNot);

    auto view = XrStruct<XrReferenceSpaceCreateInfo>(XR_TYPE_REFERENCE_SPACE_CREATE_INFO);
    view.referenceSpaceType = XR_REFERENCE_SPACE_TYPE_VIEW;
    view.poseInReferenceSpace.orientation.w = 1.0f;
    result = xrCreateReferenceSpace(session, &view, &viewSpace);
    return XR_SUCCEEDED(result) || Fail(result, "xrCreateReferenceSpace (view)", whyNot);
}

bool OpenXRDevice::CreateSwapchains(std::string& whyNot)
{
    std::uint32_t count = 0;
    XrResult result = xrEnumerateViewConfigurationViews(instance, systemId, XR_VIEW_CONFIGURATION_TYPE_PRIMARY_STEREO,
                                                        0, &count, nullptr);
    if (XR_FAILED(result) || count != EyeCount)
        return Fail(result, "xrEnumerateViewConfigurationViews (stereo)", whyNot);
    std::vector<XrViewConfigurationView> views(
        count, XrStruct<XrViewConfigurationView>(XR_TYPE_VIEW_CONFIGURATION_VIEW));
    xrEnumerateViewConfigurationViews(instance, systemId, XR_VIEW_CONFIGURATION_TYPE_PRIMARY_STEREO, count, &count,
                                      views.data());

    // sRGB storage shows the colours the program writes as a window shows them.
    xrEnumerateSwapchainFormats(session, 0, &count, nullptr);
    std::vector<std::int64_t> formats(count);
    xrEnumerateSwapchainFormats(session, count, &count, formats.data());
    if (formats.empty())
        return Fail(XR_ERROR_RUNTIME_FAILURE, "xrEnumerateSwapchainFormats", whyNot);
    std::int64_t format = formats.front();
    for (std::int64_t preferred : {std::int64_t{GL_SRGB8_ALPHA8}, std::int64_t{GL_RGBA8}})
    {
        if (std::find(formats.begin(), formats.end(), preferred) != formats.end())
        {
            format = preferred;
            break;
        }
    }

    for (int i = 0; i < EyeCount; ++i)
    {
        Eye& eye = eyes[i];
        eye.width = static_cast<int>(views[i].recommendedImageRectWidth);
        eye.height = static_cast<int>(views[i].recommendedImageRectHeight);
        auto info = XrStruct<XrSwapchainCreateInfo>(XR_TYPE_SWAPCHAIN_CREATE_INFO);
        info.usageFlags = XR_SWAPCHAIN_USAGE_COLOR_ATTACHMENT_BIT | XR_SWAPCHAIN_USAGE_TRANSFER_SRC_BIT;
        info.format = format;
        info.sampleCount = 1;
        info.width = views[i].recommendedImageRectWidth;
        info.height = views[i].recommendedImageRectHeight;
        info.faceCount = 1;
        info.arraySize = 1;
        info.mipCount = 1;
        result = xrCreateSwapchain(session, &info, &eye.swapchain);
        if (XR_FAILED(result))
            return Fail(result, "xrCreateSwapchain", whyNot);
        xrEnumerateSwapchainImages(eye.swapchain, 0, &count, nullptr);
        eye.images.assign(count, XrStruct<XrSwapchainImageOpenGLKHR>(XR_TYPE_SWAPCHAIN_IMAGE_OPENGL_KHR));
        xrEnumerateSwapchainImages(eye.swapchain, count, &count,
                                   reinterpret_cast<XrSwapchainImageBaseHeader*>(eye.images.data()));
        glGenFramebuffers(1, &eye.framebuffer);
        glGenRenderbuffers(1, &eye.depth);
        glBindRenderbuffer(GL_RENDERBUFFER, eye.depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, eye.width, eye.height);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    return true;
}

XrPath OpenXRDevice::Path(const char* text) const
{
    XrPath path = XR_NULL_PATH;
    xrStringToPath(instance, text, &path);
    return path;
}

bool OpenXRDevice::CreateActions(std::string& whyNot)
{
    auto setInfo = XrStruct<XrActionSetCreateInfo>(XR_TYPE_ACTION_SET_CREATE_INFO);
    std::snprintf(setInfo.actionSetName, XR_MAX_ACTION_SET_NAME_SIZE, "hands");
    std::snprintf(setInfo.localizedActionSetName, XR_MAX_LOCALIZED_ACTION_SET_NAME_SIZE, "Hands");
    XrResult result = xrCreateActionSet(instance, &setInfo, &actionSet);
    if (XR_FAILED(result))
        return Fail(result, "xrCreateActionSet", whyNot);
    for (int hand = 0; hand < HandCount; ++hand)
        handPaths[hand] = Path(HandPaths[hand]);

    auto makeAction = [&](const char* name, const char* label, XrActionType type, XrAction& action) {
        auto info = XrStruct<XrActionCreateInfo>(XR_TYPE_ACTION_CREATE_INFO);
        std::snprintf(info.actionName, XR_MAX_ACTION_NAME_SIZE, "%s", name);
        std::snprintf(info.localizedActionName, XR_MAX_LOCALIZED_ACTION_NAME_SIZE, "%s", label);
        info.actionType = type;
        info.countSubactionPaths = HandCount;
        info.subactionPaths = handPaths.data();
        return xrCreateAction(actionSet, &info, &action);
    };
    for (int i = 0; i < ButtonActionCount; ++i)
    {
        result = makeAction(ButtonActions[i].name, ButtonActions[i].label, ButtonActions[i].type, buttonActions[i]);
        if (XR_FAILED(result))
            return Fail(result, "xrCreateAction", whyNot);
    }
    result = makeAction("pad", "Pad", XR_ACTION_TYPE_VECTOR2F_INPUT, padAction);
    if (XR_SUCCEEDED(result))
        result = makeAction("aim", "Aim", XR_ACTION_TYPE_POSE_INPUT, aimAction);
    if (XR_FAILED(result))
        return Fail(result, "xrCreateAction", whyNot);

    auto actionNamed = [&](const char* name) {
        if (std::strcmp(name, "pad") == 0)
            return padAction;
        if (std::strcmp(name, "aim") == 0)
            return aimAction;
        for (int i = 0; i < ButtonActionCount; ++i)
        {
            if (std::strcmp(name, ButtonActions[i].name) == 0)
                return buttonActions[i];
        }
        return XrAction{XR_NULL_HANDLE};
    };
    int acceptedProfiles = 0;
    for (const Profile& profile : Profiles())
    {
        std::vector<XrActionSuggestedBinding> suggestions;
        for (const Binding& binding : profile.bindings)
        {
            const std::string inputs[HandCount] = {binding.leftInput, binding.rightInput};
            for (int hand = 0; hand < HandCount; ++hand)
                suggestions.push_back({actionNamed(binding.action), Path((HandPaths[hand] + inputs[hand]).c_str())});
        }
        auto suggested = XrStruct<XrInteractionProfileSuggestedBinding>(XR_TYPE_INTERACTION_PROFILE_SUGGESTED_BINDING);
        suggested.interactionProfile = Path(profile.path);
        suggested.countSuggestedBindings = static_cast<std::uint32_t>(suggestions.size());
        suggested.suggestedBindings = suggestions.data();
        // A runtime may not know every profile; the others still apply.
        if (XR_SUCCEEDED(xrSuggestInteractionProfileBindings(instance, &suggested)))
            ++acceptedProfiles;
    }
    if (acceptedProfiles == 0)
        return Fail(XR_ERROR_PATH_UNSUPPORTED, "xrSuggestInteractionProfileBindings (every profile)", whyNot);

    for (int hand = 0; hand < HandCount; ++hand)
    {
        auto info = XrStruct<XrActionSpaceCreateInfo>(XR_TYPE_ACTION_SPACE_CREATE_INFO);
        info.action = aimAction;
        info.subactionPath = handPaths[hand];
        info.poseInActionSpace.orientation.w = 1.0f;
        result = xrCreateActionSpace(session, &info, &aimSpaces[hand]);
        if (XR_FAILED(result))
            return Fail(result, "xrCreateActionSpace", whyNot);
    }
    auto attach = XrStruct<XrSessionActionSetsAttachInfo>(XR_TYPE_SESSION_ACTION_SETS_ATTACH_INFO);
    attach.countActionSets = 1;
    attach.actionSets = &actionSet;
    result = xrAttachSessionActionSets(session, &attach);
    return XR_SUCCEEDED(result) || Fail(result, "xrAttachSessionActionSets", whyNot);
}

void OpenXRDevice::PollEvents()
{
    auto event = XrStruct<XrEventDataBuffer>(XR_TYPE_EVENT_DATA_BUFFER);
    while (xrPollEvent(instance, &event) == XR_SUCCESS)
    {
        if (event.type == XR_TYPE_EVENT_DATA_SESSION_STATE_CHANGED)
            OnStateChange(reinterpret_cast<const XrEventDataSessionStateChanged&>(event).state);
        else if (event.type == XR_TYPE_EVENT_DATA_INSTANCE_LOSS_PENDING)
        {
            std::fprintf(stderr, "PimVrOpenXR - the OpenXR runtime is going away; the program ends\n");
            PimSystem::ExitSystem();
        }
        event = XrStruct<XrEventDataBuffer>(XR_TYPE_EVENT_DATA_BUFFER);
    }
}

void OpenXRDevice::OnStateChange(XrSessionState state)
{
    sessionState = state;
    switch (state)
    {
    case XR_SESSION_STATE_READY:
    {
        auto info = XrStruct<XrSessionBeginInfo>(XR_TYPE_SESSION_BEGIN_INFO);
        info.primaryViewConfigurationType = XR_VIEW_CONFIGURATION_TYPE_PRIMARY_STEREO;
        sessionRunning = XR_SUCCEEDED(xrBeginSession(session, &info));
        break;
    }
    case XR_SESSION_STATE_STOPPING:
        xrEndSession(session);
        sessionRunning = false;
        break;
    case XR_SESSION_STATE_EXITING:
    case XR_SESSION_STATE_LOSS_PENDING:
        // The user quit from the headset's own menu, or the runtime lost the device.
        sessionRunning = false;
        PimSystem::ExitSystem();
        break;
    default:
        break;
    }
}

void OpenXRDevice::LocateHead(PimVrDeviceState& head) const
{
    auto location = XrStruct<XrSpaceLocation>(XR_TYPE_SPACE_LOCATION);
    head.connected = true;
    if (XR_FAILED(xrLocateSpace(viewSpace, playSpace, displayTime, &location)))
    {
        head.valid = false;
        head.trackingResult = PimVrTrackingResult::Uninitialized;
        return;
    }
    const bool valid = HasFlags(location.locationFlags,
                                XR_SPACE_LOCATION_POSITION_VALID_BIT | XR_SPACE_LOCATION_ORIENTATION_VALID_BIT);
    const bool tracked = HasFlags(location.locationFlags,
                                  XR_SPACE_LOCATION_POSITION_TRACKED_BIT | XR_SPACE_LOCATION_ORIENTATION_TRACKED_BIT);
    head.valid = valid;
    head.trackingResult = !valid ? PimVrTrackingResult::Uninitialized
        : tracked                ? PimVrTrackingResult::RunningOk
                                 : PimVrTrackingResult::RunningOutOfRange;
    if (valid)
    {
        head.position = ToVector(location.pose.position);
        head.orientation = ToRotation(location.pose.orientation);
    }
}

void OpenXRDevice::ReadHand(int hand, PimVrDeviceState& state) const
{
    state.values.fill(0.0f);
    auto get = XrStruct<XrActionStateGetInfo>(XR_TYPE_ACTION_STATE_GET_INFO);
    get.subactionPath = handPaths[hand];

    get.action = aimAction;
    auto pose = XrStruct<XrActionStatePose>(XR_TYPE_ACTION_STATE_POSE);
    state.connected = XR_SUCCEEDED(xrGetActionStatePose(session, &get, &pose)) && pose.isActive;
    for (int i = 0; i < ButtonActionCount; ++i)
    {
        get.action = buttonActions[i];
        float value = 0.0f;
        if (ButtonActions[i].type == XR_ACTION_TYPE_FLOAT_INPUT)
        {
            auto reading = XrStruct<XrActionStateFloat>(XR_TYPE_ACTION_STATE_FLOAT);
            if (XR_SUCCEEDED(xrGetActionStateFloat(session, &get, &reading)) && reading.isActive)
                value = reading.currentState;
        }
        else
        {
            auto reading = XrStruct<XrActionStateBoolean>(XR_TYPE_ACTION_STATE_BOOLEAN);
            if (XR_SUCCEEDED(xrGetActionStateBoolean(session, &get, &reading)) && reading.isActive)
                value = reading.currentState ? 1.0f : 0.0f;
        }
        state.values[static_cast<std::size_t>(ButtonActions[i].code)] = value;
    }
    get.action = padAction;
    auto pad = XrStruct<XrActionStateVector2f>(XR_TYPE_ACTION_STATE_VECTOR2F);
    if (XR_SUCCEEDED(xrGetActionStateVector2f(session, &get, &pad)) && pad.isActive)
    {
        state.values[PimVrButton::PadX] = pad.currentState.x;
        state.values[PimVrButton::PadY] = pad.currentState.y;
    }

    auto location = XrStruct<XrSpaceLocation>(XR_TYPE_SPACE_LOCATION);
    if (!state.connected || XR_FAILED(xrLocateSpace(aimSpaces[hand], playSpace, displayTime, &location)))
    {
        state.valid = false;
        state.trackingResult = PimVrTrackingResult::Uninitialized;
        return;
    }
    const bool valid = HasFlags(location.locationFlags,
                                XR_SPACE_LOCATION_POSITION_VALID_BIT | XR_SPACE_LOCATION_ORIENTATION_VALID_BIT);
    const bool tracked = HasFlags(location.locationFlags,
                                  XR_SPACE_LOCATION_POSITION_TRACKED_BIT | XR_SPACE_LOCATION_ORIENTATION_TRACKED_BIT);
    state.valid = valid;
    state.trackingResult = !valid ? PimVrTrackingResult::Uninitialized
        : tracked                 ? PimVrTrackingResult::RunningOk
                                  : PimVrTrackingResult::RunningOutOfRange;
    if (valid)
    {
        state.position = ToVector(location.pose.position);
        state.orientation = ToRotation(location.pose.orientation);
    }
}

void OpenXRDevice::BeginFrame(double /*seconds*/, PimVrDeviceStates& devices)
{
    PollEvents();
    if (!sessionRunning)
    {
        for (PimVrDeviceState& state : devices)
        {
            state.connected = false;
            state.valid = false;
            state.trackingResult = PimVrTrackingResult::Uninitialized;
            state.values.fill(0.0f);
        }
        return;
    }
    auto frame = XrStruct<XrFrameState>(XR_TYPE_FRAME_STATE);
    if (XR_FAILED(xrWaitFrame(session, nullptr, &frame)) || XR_FAILED(xrBeginFrame(session, nullptr)))
        return;
    frameBegun = true;
    shouldRender = frame.shouldRender == XR_TRUE;
    displayTime = frame.predictedDisplayTime;
    for (Eye& eye : eyes)
        eye.rendered = false;

    auto locate = XrStruct<XrViewLocateInfo>(XR_TYPE_VIEW_LOCATE_INFO);
    locate.viewConfigurationType = XR_VIEW_CONFIGURATION_TYPE_PRIMARY_STEREO;
    locate.displayTime = displayTime;
    locate.space = playSpace;
    auto viewState = XrStruct<XrViewState>(XR_TYPE_VIEW_STATE);
    std::array<XrView, EyeCount> views{};
    views.fill(XrStruct<XrView>(XR_TYPE_VIEW));
    std::uint32_t count = 0;
    eyesLocated = XR_SUCCEEDED(xrLocateViews(session, &locate, &viewState, EyeCount, &count, views.data()))
        && count == EyeCount
        && HasFlags(viewState.viewStateFlags, XR_VIEW_STATE_POSITION_VALID_BIT | XR_VIEW_STATE_ORIENTATION_VALID_BIT);
    if (eyesLocated)
    {
        for (int i = 0; i < EyeCount; ++i)
            eyes[i].view = views[i];
    }
    LocateHead(devices[PimVrDeviceIndex::Headset]);

    // Input reaches the program only while it has the focus (not while the runtime's own menu shows).
    bool synced = false;
    if (sessionState == XR_SESSION_STATE_FOCUSED)
    {
        XrActiveActionSet active{actionSet, XR_NULL_PATH};
        auto sync = XrStruct<XrActionsSyncInfo>(XR_TYPE_ACTIONS_SYNC_INFO);
        sync.countActiveActionSets = 1;
        sync.activeActionSets = &active;
        synced = XR_SUCCEEDED(xrSyncActions(session, &sync));
    }
    for (int hand = 0; hand < HandCount; ++hand)
    {
        PimVrDeviceState& state = devices[static_cast<std::size_t>(PimVrDeviceIndex::LeftHand + hand)];
        if (synced)
            ReadHand(hand, state);
        else
            state.values.fill(0.0f);
    }
}

PimVrEye OpenXRDevice::GetEye(int eye) const
{
    PimVrEye result;
    if (!IsEye(eye))
        return result;
    const XrView& view = eyes[eye].view;
    result.position = ToVector(view.pose.position);
    result.orientation = ToRotation(view.pose.orientation);
    result.angleLeft = view.fov.angleLeft;
    result.angleRight = view.fov.angleRight;
    result.angleUp = view.fov.angleUp;
    result.angleDown = view.fov.angleDown;
    return result;
}

bool OpenXRDevice::AcquireImage(Eye& eye) const
{
    std::uint32_t image = 0;
    auto acquire = XrStruct<XrSwapchainImageAcquireInfo>(XR_TYPE_SWAPCHAIN_IMAGE_ACQUIRE_INFO);
    if (XR_FAILED(xrAcquireSwapchainImage(eye.swapchain, &acquire, &image)))
        return false;
    eye.acquired = true;
    auto wait = XrStruct<XrSwapchainImageWaitInfo>(XR_TYPE_SWAPCHAIN_IMAGE_WAIT_INFO);
    wait.timeout = XR_INFINITE_DURATION;
    // XR_TIMEOUT_EXPIRED is a success code, but the image is not ready then.
    if (xrWaitSwapchainImage(eye.swapchain, &wait) != XR_SUCCESS || image >= eye.images.size())
    {
        ReleaseImage(eye);
        return false;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, eye.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, eye.images[image].image, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, eye.depth);
    glViewport(0, 0, eye.width, eye.height);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    return true;
}

bool OpenXRDevice::AcquireEyes(std::vector<unsigned int>& framebuffers)
{
    const bool anyHeld = std::any_of(eyes.begin(), eyes.end(), [](const Eye& eye) { return eye.acquired; });
    if (!frameBegun || !shouldRender || !eyesLocated || anyHeld)
        return false;
    // Every eye is acquired before any is drawn, so that each object draws all its eyes in turn.
    for (Eye& eye : eyes)
    {
        if (!AcquireImage(eye))
        {
            ReleaseAcquiredImages();
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            return false;
        }
    }
    for (const Eye& eye : eyes)
        framebuffers.push_back(eye.framebuffer);
    return true;
}

// Shows the eye in the window, as large as fits without stretching.
void OpenXRDevice::MirrorToWindow(const Eye& eye) const
{
    const int width = PimSystem::GetFramebufferWidth();
    const int height = PimSystem::GetFramebufferHeight();
    if (width <= 0 || height <= 0 || eye.width <= 0 || eye.height <= 0)
        return;
    const float fit = std::min(static_cast<float>(width) / static_cast<float>(eye.width),
                               static_cast<float>(height) / static_cast<float>(eye.height));
    const int shownWidth = static_cast<int>(static_cast<float>(eye.width) * fit);
    const int shownHeight = static_cast<int>(static_cast<float>(eye.height) * fit);
    const int left = (width - shownWidth) / 2;
    const int bottom = (height - shownHeight) / 2;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, eye.framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glBlitFramebuffer(0, 0, eye.width, eye.height, left, bottom, left + shownWidth, bottom + shownHeight,
                      GL_COLOR_BUFFER_BIT, GL_LINEAR);
}

bool OpenXRDevice::ReleaseImage(Eye& eye) const
{
    glBindFramebuffer(GL_FRAMEBUFFER, eye.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    eye.acquired = false;
    auto release = XrStruct<XrSwapchainImageReleaseInfo>(XR_TYPE_SWAPCHAIN_IMAGE_RELEASE_INFO);
    return XR_SUCCEEDED(xrReleaseSwapchainImage(eye.swapchain, &release));
}

// Images still held when the frame cannot be shown go back undrawn.
void OpenXRDevice::ReleaseAcquiredImages()
{
    for (Eye& eye : eyes)
    {
        if (!eye.acquired)
            continue;
        ReleaseImage(eye);
        eye.rendered = false;
    }
}

void OpenXRDevice::ReleaseEyes()
{
    if (!eyes[0].acquired)
        return;
    MirrorToWindow(eyes[0]);
    for (Eye& eye : eyes)
        eye.rendered = eye.acquired && ReleaseImage(eye);
    glViewport(0, 0, PimSystem::GetFramebufferWidth(), PimSystem::GetFramebufferHeight());
}

void OpenXRDevice::EndFrame()
{
    if (!frameBegun)
        return;
    ReleaseAcquiredImages();
    frameBegun = false;

    std::array<XrCompositionLayerProjectionView, EyeCount> views{};
    bool allRendered = shouldRender && eyesLocated;
    for (int i = 0; i < EyeCount; ++i)
    {
        allRendered = allRendered && eyes[i].rendered;
        views[i] = XrStruct<XrCompositionLayerProjectionView>(XR_TYPE_COMPOSITION_LAYER_PROJECTION_VIEW);
        views[i].pose = eyes[i].view.pose;
        views[i].fov = eyes[i].view.fov;
        views[i].subImage.swapchain = eyes[i].swapchain;
        views[i].subImage.imageRect.extent = {eyes[i].width, eyes[i].height};
    }
    auto layer = XrStruct<XrCompositionLayerProjection>(XR_TYPE_COMPOSITION_LAYER_PROJECTION);
    layer.space = playSpace;
    layer.viewCount = EyeCount;
    layer.views = views.data();
    const XrCompositionLayerBaseHeader* layers[] = {reinterpret_cast<const XrCompositionLayerBaseHeader*>(&layer)};

    auto end = XrStruct<XrFrameEndInfo>(XR_TYPE_FRAME_END_INFO);
    end.displayTime = displayTime;
    end.environmentBlendMode = XR_ENVIRONMENT_BLEND_MODE_OPAQUE;
    // Every begun frame must be ended; one whose eyes were not both drawn is ended without layers
    // rather than with half a picture.
    end.layerCount = allRendered ? 1 : 0;
    end.layers = allRendered ? layers : nullptr;
    xrEndFrame(session, &end);
}
}

std::unique_ptr<PimVrDevice> PimVrOpenXR::Create(const PimSystemParameters& parameters, std::string& whyNot)
{
    auto device = std::make_unique<OpenXRDevice>();
    if (!device->Start(parameters, whyNot))
        return nullptr;
    return device;
}
