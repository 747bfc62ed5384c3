// The test runtime behind tests/support/test_xr_runtime.h. Only the functions the engine calls
// exist; the loader gets XR_ERROR_FUNCTION_UNSUPPORTED for the others. GL work (the swapchain
// textures, reading them back) goes through the entry points of the EGL binding the application
// passes, on the application's context, as a runtime in the application's process would.

#include "tests/support/test_xr_runtime.h"

#include <EGL/egl.h>
#include <GL/gl.h>

#define XR_USE_GRAPHICS_API_OPENGL
#define XR_USE_PLATFORM_EGL
#include <openxr/openxr_platform.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#ifndef GL_SRGB8_ALPHA8
#define GL_SRGB8_ALPHA8 0x8C43
#endif

// The loader's side of the runtime handshake (the loader's negotiation header is not installed).
enum TestXrLoaderStruct : std::uint32_t
{
    TestXrLoaderInfoStruct = 1,
    TestXrRuntimeRequestStruct = 3,
};

struct XrNegotiateLoaderInfo
{
    std::uint32_t structType;
    std::uint32_t structVersion;
    size_t structSize;
    std::uint32_t minInterfaceVersion;
    std::uint32_t maxInterfaceVersion;
    XrVersion minApiVersion;
    XrVersion maxApiVersion;
};

struct XrNegotiateRuntimeRequest
{
    std::uint32_t structType;
    std::uint32_t structVersion;
    size_t structSize;
    std::uint32_t runtimeInterfaceVersion;
    XrVersion runtimeApiVersion;
    PFN_xrGetInstanceProcAddr getInstanceProcAddr;
};

namespace
{
enum class Kind
{
    Instance,
    Session,
    Space,
    Swapchain,
    ActionSet,
    Action,
};

using GenTextures = void (*)(GLsizei, GLuint*);
using DeleteTextures = void (*)(GLsizei, const GLuint*);
using BindTexture = void (*)(GLenum, GLuint);
using TexImage2D = void (*)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*);
using GetTexImage = void (*)(GLenum, GLint, GLenum, GLenum, void*);
using GetIntegerv = void (*)(GLenum, GLint*);

struct GLFunctions
{
    GenTextures genTextures = nullptr;
    DeleteTextures deleteTextures = nullptr;
    BindTexture bindTexture = nullptr;
    TexImage2D texImage2D = nullptr;
    GetTexImage getTexImage = nullptr;
    GetIntegerv getIntegerv = nullptr;
};

struct Swapchain
{
    int index = 0;
    int width = 0;
    int height = 0;
    std::vector<GLuint> textures;
    std::uint32_t next = 0;
    int acquired = -1;
    bool waited = false;
    int released = -1;
};

enum class SpaceKind
{
    Stage,
    Local,
    View,
    Action,
};

struct Runtime
{
    TestXrRuntime::Headset headset;
    std::map<std::uint64_t, Kind> live;
    std::uint64_t nextHandle = 1;
    std::map<std::uint64_t, Swapchain> swapchains;
    std::map<std::uint64_t, SpaceKind> spaces;
    std::vector<std::string> paths{""};
    bool askedForRequirements = false;
    GLFunctions gl;
    std::deque<XrSessionState> events;
    XrSessionState state = XR_SESSION_STATE_UNKNOWN;
    bool running = false;
    bool shouldRender = true;
    bool waited = false;
    bool begun = false;
    XrTime predicted = 0;
    int failAcquire = -1;
    std::vector<std::string> calls;
    std::vector<std::string> violations;
    std::vector<TestXrRuntime::SubmittedFrame> frames;
};

Runtime& TheRuntime()
{
    static Runtime runtime;
    return runtime;
}

XrResult Violation(XrResult result, const std::string& what)
{
    TheRuntime().violations.push_back(what);
    return result;
}

template <typename Handle>
Handle NewHandle(Kind kind)
{
    Runtime& r = TheRuntime();
    const std::uint64_t id = r.nextHandle++;
    r.live[id] = kind;
    return reinterpret_cast<Handle>(static_cast<std::uintptr_t>(id));
}

template <typename Handle>
std::uint64_t Id(Handle handle)
{
    return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle));
}

template <typename Handle>
bool IsLive(Handle handle, Kind kind)
{
    const auto found = TheRuntime().live.find(Id(handle));
    return found != TheRuntime().live.end() && found->second == kind;
}

template <typename Handle>
XrResult Destroy(Handle handle, Kind kind, const char* what)
{
    if (!IsLive(handle, kind))
        return Violation(XR_ERROR_HANDLE_INVALID, std::string(what) + " of a handle that is not live");
    TheRuntime().live.erase(Id(handle));
    return XR_SUCCESS;
}

// The two-call idiom: the count alone when capacity is 0, else the items.
template <typename T>
XrResult Enumerate(const std::vector<T>& items, std::uint32_t capacity, std::uint32_t* count, T* out)
{
    *count = static_cast<std::uint32_t>(items.size());
    if (capacity == 0)
        return XR_SUCCESS;
    if (capacity < items.size())
        return XR_ERROR_SIZE_INSUFFICIENT;
    for (std::size_t i = 0; i < items.size(); ++i)
        out[i] = items[i];
    return XR_SUCCESS;
}

// --- Poses of the simulated head and eyes ---

XrVector3f Rotate(const XrQuaternionf& q, const XrVector3f& v)
{
    // v + 2w (q x v) + 2 q x (q x v)
    const XrVector3f u{q.x, q.y, q.z};
    const auto cross = [](const XrVector3f& a, const XrVector3f& b) {
        return XrVector3f{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    };
    const XrVector3f t = cross(u, v);
    const XrVector3f t2{2.0f * t.x, 2.0f * t.y, 2.0f * t.z};
    const XrVector3f c = cross(u, t2);
    return {v.x + q.w * t2.x + c.x, v.y + q.w * t2.y + c.y, v.z + q.w * t2.z + c.z};
}

XrPosef HeadPose()
{
    const TestXrRuntime::Headset& h = TheRuntime().headset;
    return {h.headOrientation, h.headPosition};
}

XrPosef EyePose(int eye)
{
    const TestXrRuntime::Headset& h = TheRuntime().headset;
    const float side = (eye == 0 ? -0.5f : 0.5f) * h.eyeDistance;
    const XrVector3f offset = Rotate(h.headOrientation, {side, 0.0f, 0.0f});
    return {h.headOrientation,
            {h.headPosition.x + offset.x, h.headPosition.y + offset.y, h.headPosition.z + offset.z}};
}

// --- Instance and system ---

const char* const Extensions[] = {XR_KHR_OPENGL_ENABLE_EXTENSION_NAME, XR_MNDX_EGL_ENABLE_EXTENSION_NAME};

XRAPI_ATTR XrResult XRAPI_CALL EnumerateInstanceExtensionProperties(const char* layer, std::uint32_t capacity,
                                                                    std::uint32_t* count,
                                                                    XrExtensionProperties* properties)
{
    if (layer != nullptr)
        return XR_ERROR_API_LAYER_NOT_PRESENT;
    std::vector<XrExtensionProperties> items;
    for (const char* name : Extensions)
    {
        XrExtensionProperties item{};
        item.type = XR_TYPE_EXTENSION_PROPERTIES;
        item.extensionVersion = 1;
        std::snprintf(item.extensionName, sizeof item.extensionName, "%s", name);
        items.push_back(item);
    }
    return Enumerate(items, capacity, count, properties);
}

XRAPI_ATTR XrResult XRAPI_CALL CreateInstance(const XrInstanceCreateInfo* info, XrInstance* instance)
{
    for (std::uint32_t i = 0; i < info->enabledExtensionCount; ++i)
    {
        bool known = false;
        for (const char* name : Extensions)
            known = known || std::strcmp(name, info->enabledExtensionNames[i]) == 0;
        if (!known)
            return XR_ERROR_EXTENSION_NOT_PRESENT;
    }
    *instance = NewHandle<XrInstance>(Kind::Instance);
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL DestroyInstance(XrInstance instance)
{
    return Destroy(instance, Kind::Instance, "xrDestroyInstance");
}

XRAPI_ATTR XrResult XRAPI_CALL ResultToString(XrInstance, XrResult result, char buffer[XR_MAX_RESULT_STRING_SIZE])
{
    std::snprintf(buffer, XR_MAX_RESULT_STRING_SIZE, "XR_RESULT_%d", static_cast<int>(result));
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL GetSystem(XrInstance, const XrSystemGetInfo* info, XrSystemId* system)
{
    if (info->formFactor != XR_FORM_FACTOR_HEAD_MOUNTED_DISPLAY)
        return XR_ERROR_FORM_FACTOR_UNSUPPORTED;
    *system = 1;
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL GetOpenGLGraphicsRequirements(XrInstance, XrSystemId,
                                                             XrGraphicsRequirementsOpenGLKHR* requirements)
{
    requirements->minApiVersionSupported = XR_MAKE_VERSION(3, 2, 0);
    requirements->maxApiVersionSupported = XR_MAKE_VERSION(4, 6, 0);
    TheRuntime().askedForRequirements = true;
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL StringToPath(XrInstance, const char* text, XrPath* path)
{
    std::vector<std::string>& paths = TheRuntime().paths;
    for (std::size_t i = 1; i < paths.size(); ++i)
    {
        if (paths[i] == text)
        {
            *path = i;
            return XR_SUCCESS;
        }
    }
    paths.emplace_back(text);
    *path = paths.size() - 1;
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL PollEvent(XrInstance, XrEventDataBuffer* buffer)
{
    Runtime& r = TheRuntime();
    if (r.events.empty())
        return XR_EVENT_UNAVAILABLE;
    r.state = r.events.front();
    r.events.pop_front();
    auto* changed = reinterpret_cast<XrEventDataSessionStateChanged*>(buffer);
    *changed = {XR_TYPE_EVENT_DATA_SESSION_STATE_CHANGED, nullptr, XR_NULL_HANDLE, r.state, r.predicted};
    return XR_SUCCESS;
}

// --- Session ---

template <typename T>
const T* FindInChain(const void* next, XrStructureType type)
{
    for (auto* item = static_cast<const XrBaseInStructure*>(next); item != nullptr; item = item->next)
    {
        if (item->type == type)
            return reinterpret_cast<const T*>(item);
    }
    return nullptr;
}

bool LoadGL(PFNEGLGETPROCADDRESSPROC getProcAddress, GLFunctions& gl)
{
    const auto load = [getProcAddress](auto& function, const char* name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(getProcAddress(name));
        return function != nullptr;
    };
    return load(gl.genTextures, "glGenTextures") && load(gl.deleteTextures, "glDeleteTextures")
        && load(gl.bindTexture, "glBindTexture") && load(gl.texImage2D, "glTexImage2D")
        && load(gl.getTexImage, "glGetTexImage") && load(gl.getIntegerv, "glGetIntegerv");
}

XRAPI_ATTR XrResult XRAPI_CALL CreateSession(XrInstance, const XrSessionCreateInfo* info, XrSession* session)
{
    Runtime& r = TheRuntime();
    if (!r.askedForRequirements)
        return Violation(XR_ERROR_GRAPHICS_REQUIREMENTS_CALL_MISSING, "xrCreateSession before the GL requirements");
    const auto* binding = FindInChain<XrGraphicsBindingEGLMNDX>(info->next, XR_TYPE_GRAPHICS_BINDING_EGL_MNDX);
    if (binding == nullptr || binding->getProcAddress == nullptr || binding->display == EGL_NO_DISPLAY
        || binding->context == EGL_NO_CONTEXT)
        return Violation(XR_ERROR_GRAPHICS_DEVICE_INVALID, "xrCreateSession without a usable EGL binding");
    if (!LoadGL(binding->getProcAddress, r.gl))
        return XR_ERROR_GRAPHICS_DEVICE_INVALID;
    *session = NewHandle<XrSession>(Kind::Session);
    r.events = {XR_SESSION_STATE_IDLE, XR_SESSION_STATE_READY};
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL DestroySession(XrSession session)
{
    TheRuntime().running = false;
    return Destroy(session, Kind::Session, "xrDestroySession");
}

XRAPI_ATTR XrResult XRAPI_CALL BeginSession(XrSession, const XrSessionBeginInfo* info)
{
    Runtime& r = TheRuntime();
    if (r.state != XR_SESSION_STATE_READY || r.running)
        return Violation(XR_ERROR_SESSION_NOT_READY, "xrBeginSession outside the ready state");
    if (info->primaryViewConfigurationType != XR_VIEW_CONFIGURATION_TYPE_PRIMARY_STEREO)
        return XR_ERROR_VIEW_CONFIGURATION_TYPE_UNSUPPORTED;
    r.running = true;
    for (XrSessionState state : {XR_SESSION_STATE_SYNCHRONIZED, XR_SESSION_STATE_VISIBLE, XR_SESSION_STATE_FOCUSED})
        r.events.push_back(state);
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL EndSession(XrSession)
{
    Runtime& r = TheRuntime();
    if (r.state != XR_SESSION_STATE_STOPPING || !r.running)
        return Violation(XR_ERROR_SESSION_NOT_STOPPING, "xrEndSession outside the stopping state");
    r.running = false;
    r.events.push_back(XR_SESSION_STATE_IDLE);
    return XR_SUCCESS;
}

// --- Spaces ---

XRAPI_ATTR XrResult XRAPI_CALL EnumerateReferenceSpaces(XrSession, std::uint32_t capacity, std::uint32_t* count,
                                                        XrReferenceSpaceType* types)
{
    const std::vector<XrReferenceSpaceType> items = {XR_REFERENCE_SPACE_TYPE_VIEW, XR_REFERENCE_SPACE_TYPE_LOCAL,
                                                     XR_REFERENCE_SPACE_TYPE_STAGE};
    return Enumerate(items, capacity, count, types);
}

XRAPI_ATTR XrResult XRAPI_CALL CreateReferenceSpace(XrSession, const XrReferenceSpaceCreateInfo* info, XrSpace* space)
{
    const SpaceKind kind = info->referenceSpaceType == XR_REFERENCE_SPACE_TYPE_VIEW    ? SpaceKind::View
        : info->referenceSpaceType == XR_REFERENCE_SPACE_TYPE_LOCAL                    ? SpaceKind::Local
                                                                                       : SpaceKind::Stage;
    *space = NewHandle<XrSpace>(Kind::Space);
    TheRuntime().spaces[Id(*space)] = kind;
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL CreateActionSpace(XrSession, const XrActionSpaceCreateInfo* info, XrSpace* space)
{
    if (!IsLive(info->action, Kind::Action))
        return Violation(XR_ERROR_HANDLE_INVALID, "xrCreateActionSpace with an action that is not live");
    *space = NewHandle<XrSpace>(Kind::Space);
    TheRuntime().spaces[Id(*space)] = SpaceKind::Action;
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL DestroySpace(XrSpace space)
{
    return Destroy(space, Kind::Space, "xrDestroySpace");
}

// The head is located in the stage space; the action spaces (no controllers) nowhere.
XRAPI_ATTR XrResult XRAPI_CALL LocateSpace(XrSpace space, XrSpace base, XrTime, XrSpaceLocation* location)
{
    Runtime& r = TheRuntime();
    if (!IsLive(space, Kind::Space) || !IsLive(base, Kind::Space))
        return Violation(XR_ERROR_HANDLE_INVALID, "xrLocateSpace with a space that is not live");
    location->locationFlags = 0;
    if (r.spaces[Id(space)] == SpaceKind::View && r.spaces[Id(base)] == SpaceKind::Stage)
    {
        location->pose = HeadPose();
        location->locationFlags = XR_SPACE_LOCATION_POSITION_VALID_BIT | XR_SPACE_LOCATION_ORIENTATION_VALID_BIT
            | XR_SPACE_LOCATION_POSITION_TRACKED_BIT | XR_SPACE_LOCATION_ORIENTATION_TRACKED_BIT;
    }
    return XR_SUCCESS;
}

// --- Actions (attached, never active: no controllers) ---

XRAPI_ATTR XrResult XRAPI_CALL CreateActionSet(XrInstance, const XrActionSetCreateInfo*, XrActionSet* set)
{
    *set = NewHandle<XrActionSet>(Kind::ActionSet);
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL DestroyActionSet(XrActionSet set)
{
    // Its actions go with it.
    Runtime& r = TheRuntime();
    std::erase_if(r.live, [](const auto& entry) { return entry.second == Kind::Action; });
    return Destroy(set, Kind::ActionSet, "xrDestroyActionSet");
}

XRAPI_ATTR XrResult XRAPI_CALL CreateAction(XrActionSet set, const XrActionCreateInfo*, XrAction* action)
{
    if (!IsLive(set, Kind::ActionSet))
        return Violation(XR_ERROR_HANDLE_INVALID, "xrCreateAction in an action set that is not live");
    *action = NewHandle<XrAction>(Kind::Action);
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL SuggestInteractionProfileBindings(XrInstance,
                                                                 const XrInteractionProfileSuggestedBinding* suggested)
{
    for (std::uint32_t i = 0; i < suggested->countSuggestedBindings; ++i)
    {
        if (!IsLive(suggested->suggestedBindings[i].action, Kind::Action))
            return Violation(XR_ERROR_HANDLE_INVALID, "a suggested binding names an action that is not live");
    }
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL AttachSessionActionSets(XrSession, const XrSessionActionSetsAttachInfo*)
{
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL SyncActions(XrSession, const XrActionsSyncInfo*)
{
    return TheRuntime().state == XR_SESSION_STATE_FOCUSED ? XR_SUCCESS : XR_SESSION_NOT_FOCUSED;
}

XRAPI_ATTR XrResult XRAPI_CALL GetActionStateBoolean(XrSession, const XrActionStateGetInfo*, XrActionStateBoolean* state)
{
    state->isActive = XR_FALSE;
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL GetActionStateFloat(XrSession, const XrActionStateGetInfo*, XrActionStateFloat* state)
{
    state->isActive = XR_FALSE;
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL GetActionStateVector2f(XrSession, const XrActionStateGetInfo*,
                                                      XrActionStateVector2f* state)
{
    state->isActive = XR_FALSE;
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL GetActionStatePose(XrSession, const XrActionStateGetInfo*, XrActionStatePose* state)
{
    state->isActive = XR_FALSE;
    return XR_SUCCESS;
}

// --- Views and swapchains ---

XRAPI_ATTR XrResult XRAPI_CALL EnumerateViewConfigurationViews(XrInstance, XrSystemId, XrViewConfigurationType type,
                                                               std::uint32_t capacity, std::uint32_t* count,
                                                               XrViewConfigurationView* views)
{
    if (type != XR_VIEW_CONFIGURATION_TYPE_PRIMARY_STEREO)
        return XR_ERROR_VIEW_CONFIGURATION_TYPE_UNSUPPORTED;
    const TestXrRuntime::Headset& h = TheRuntime().headset;
    XrViewConfigurationView view{};
    view.type = XR_TYPE_VIEW_CONFIGURATION_VIEW;
    view.recommendedImageRectWidth = view.maxImageRectWidth = static_cast<std::uint32_t>(h.eyeWidth);
    view.recommendedImageRectHeight = view.maxImageRectHeight = static_cast<std::uint32_t>(h.eyeHeight);
    view.recommendedSwapchainSampleCount = view.maxSwapchainSampleCount = 1;
    return Enumerate(std::vector<XrViewConfigurationView>(2, view), capacity, count, views);
}

XRAPI_ATTR XrResult XRAPI_CALL EnumerateSwapchainFormats(XrSession, std::uint32_t capacity, std::uint32_t* count,
                                                         std::int64_t* formats)
{
    return Enumerate(std::vector<std::int64_t>{GL_RGBA8, GL_SRGB8_ALPHA8}, capacity, count, formats);
}

XRAPI_ATTR XrResult XRAPI_CALL CreateSwapchain(XrSession, const XrSwapchainCreateInfo* info, XrSwapchain* handle)
{
    Runtime& r = TheRuntime();
    if (info->format != GL_RGBA8 && info->format != GL_SRGB8_ALPHA8)
        return Violation(XR_ERROR_SWAPCHAIN_FORMAT_UNSUPPORTED, "xrCreateSwapchain with a format not offered");
    if (info->width == 0 || info->height == 0 || info->arraySize != 1 || info->faceCount != 1 || info->mipCount != 1)
        return Violation(XR_ERROR_VALIDATION_FAILURE, "xrCreateSwapchain with a bad size");
    Swapchain chain;
    chain.index = static_cast<int>(r.swapchains.size());
    chain.width = static_cast<int>(info->width);
    chain.height = static_cast<int>(info->height);
    chain.textures.resize(3);
    GLint bound = 0;
    r.gl.getIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    r.gl.genTextures(3, chain.textures.data());
    for (GLuint texture : chain.textures)
    {
        r.gl.bindTexture(GL_TEXTURE_2D, texture);
        r.gl.texImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(info->format), chain.width, chain.height, 0, GL_RGBA,
                        GL_UNSIGNED_BYTE, nullptr);
    }
    r.gl.bindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    *handle = NewHandle<XrSwapchain>(Kind::Swapchain);
    r.swapchains[Id(*handle)] = std::move(chain);
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL DestroySwapchain(XrSwapchain handle)
{
    Runtime& r = TheRuntime();
    const auto found = r.swapchains.find(Id(handle));
    if (found != r.swapchains.end())
    {
        r.gl.deleteTextures(static_cast<GLsizei>(found->second.textures.size()), found->second.textures.data());
        r.swapchains.erase(found);
    }
    return Destroy(handle, Kind::Swapchain, "xrDestroySwapchain");
}

XRAPI_ATTR XrResult XRAPI_CALL EnumerateSwapchainImages(XrSwapchain handle, std::uint32_t capacity,
                                                        std::uint32_t* count, XrSwapchainImageBaseHeader* images)
{
    const Swapchain& chain = TheRuntime().swapchains.at(Id(handle));
    std::vector<XrSwapchainImageOpenGLKHR> items;
    for (GLuint texture : chain.textures)
        items.push_back({XR_TYPE_SWAPCHAIN_IMAGE_OPENGL_KHR, nullptr, texture});
    return Enumerate(items, capacity, count, reinterpret_cast<XrSwapchainImageOpenGLKHR*>(images));
}

Swapchain* FindSwapchain(XrSwapchain handle)
{
    Runtime& r = TheRuntime();
    const auto found = r.swapchains.find(Id(handle));
    return found == r.swapchains.end() ? nullptr : &found->second;
}

XRAPI_ATTR XrResult XRAPI_CALL AcquireSwapchainImage(XrSwapchain handle, const XrSwapchainImageAcquireInfo*,
                                                     std::uint32_t* index)
{
    Runtime& r = TheRuntime();
    Swapchain* chain = FindSwapchain(handle);
    if (chain == nullptr)
        return Violation(XR_ERROR_HANDLE_INVALID, "xrAcquireSwapchainImage on a swapchain that is not live");
    r.calls.push_back("acquire " + std::to_string(chain->index));
    if (r.failAcquire == chain->index)
    {
        r.failAcquire = -1;
        return XR_ERROR_RUNTIME_FAILURE;
    }
    if (chain->acquired >= 0)
        return Violation(XR_ERROR_CALL_ORDER_INVALID, "a second image acquired before the first was released");
    chain->acquired = static_cast<int>(chain->next);
    chain->waited = false;
    chain->next = (chain->next + 1) % chain->textures.size();
    *index = static_cast<std::uint32_t>(chain->acquired);
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL WaitSwapchainImage(XrSwapchain handle, const XrSwapchainImageWaitInfo*)
{
    Runtime& r = TheRuntime();
    Swapchain* chain = FindSwapchain(handle);
    if (chain == nullptr)
        return Violation(XR_ERROR_HANDLE_INVALID, "xrWaitSwapchainImage on a swapchain that is not live");
    r.calls.push_back("wait " + std::to_string(chain->index));
    if (chain->acquired < 0 || chain->waited)
        return Violation(XR_ERROR_CALL_ORDER_INVALID, "xrWaitSwapchainImage without an acquired image to wait for");
    chain->waited = true;
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL ReleaseSwapchainImage(XrSwapchain handle, const XrSwapchainImageReleaseInfo*)
{
    Runtime& r = TheRuntime();
    Swapchain* chain = FindSwapchain(handle);
    if (chain == nullptr)
        return Violation(XR_ERROR_HANDLE_INVALID, "xrReleaseSwapchainImage on a swapchain that is not live");
    r.calls.push_back("release " + std::to_string(chain->index));
    if (chain->acquired < 0 || !chain->waited)
        return Violation(XR_ERROR_CALL_ORDER_INVALID, "xrReleaseSwapchainImage without a waited image");
    chain->released = chain->acquired;
    chain->acquired = -1;
    chain->waited = false;
    return XR_SUCCESS;
}

// --- Frames ---

XRAPI_ATTR XrResult XRAPI_CALL WaitFrame(XrSession, const XrFrameWaitInfo*, XrFrameState* state)
{
    Runtime& r = TheRuntime();
    r.calls.emplace_back("wait");
    if (!r.running)
        return Violation(XR_ERROR_SESSION_NOT_RUNNING, "xrWaitFrame while the session is not running");
    if (r.waited)
        return Violation(XR_ERROR_CALL_ORDER_INVALID, "xrWaitFrame twice without xrBeginFrame");
    r.waited = true;
    r.predicted += 11'000'000;
    state->predictedDisplayTime = r.predicted;
    state->predictedDisplayPeriod = 11'000'000;
    const bool visible = r.state == XR_SESSION_STATE_VISIBLE || r.state == XR_SESSION_STATE_FOCUSED;
    state->shouldRender = r.shouldRender && visible ? XR_TRUE : XR_FALSE;
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL BeginFrame(XrSession, const XrFrameBeginInfo*)
{
    Runtime& r = TheRuntime();
    r.calls.emplace_back("begin");
    if (!r.waited)
        return Violation(XR_ERROR_CALL_ORDER_INVALID, "xrBeginFrame without xrWaitFrame");
    if (r.begun)
        Violation(XR_SUCCESS, "xrBeginFrame while the previous frame was not ended");
    r.waited = false;
    r.begun = true;
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL LocateViews(XrSession, const XrViewLocateInfo* info, XrViewState* state,
                                           std::uint32_t capacity, std::uint32_t* count, XrView* views)
{
    Runtime& r = TheRuntime();
    r.calls.emplace_back("views");
    if (!IsLive(info->space, Kind::Space) || r.spaces[Id(info->space)] != SpaceKind::Stage)
        return Violation(XR_ERROR_VALIDATION_FAILURE, "xrLocateViews in a space other than the stage");
    std::vector<XrView> items;
    for (int eye = 0; eye < 2; ++eye)
        items.push_back({XR_TYPE_VIEW, nullptr, EyePose(eye), r.headset.fieldOfView});
    state->viewStateFlags = XR_VIEW_STATE_POSITION_VALID_BIT | XR_VIEW_STATE_ORIENTATION_VALID_BIT
        | XR_VIEW_STATE_POSITION_TRACKED_BIT | XR_VIEW_STATE_ORIENTATION_TRACKED_BIT;
    return Enumerate(items, capacity, count, views);
}

// Reads the swapchain's last released image, the one a layer shows.
TestXrRuntime::SubmittedEye ReadView(const XrCompositionLayerProjectionView& view, const Swapchain& chain)
{
    const Runtime& r = TheRuntime();
    TestXrRuntime::SubmittedEye eye;
    eye.pose = view.pose;
    eye.fieldOfView = view.fov;
    eye.rect = view.subImage.imageRect;
    eye.width = chain.width;
    eye.height = chain.height;
    eye.pixels.resize(static_cast<std::size_t>(chain.width * chain.height * 4));
    GLint bound = 0;
    r.gl.getIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    r.gl.bindTexture(GL_TEXTURE_2D, chain.textures[static_cast<std::size_t>(chain.released)]);
    r.gl.getTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, eye.pixels.data());
    r.gl.bindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    return eye;
}

XrResult RecordLayer(const XrCompositionLayerBaseHeader* header, TestXrRuntime::SubmittedFrame& frame)
{
    if (header->type != XR_TYPE_COMPOSITION_LAYER_PROJECTION)
        return Violation(XR_ERROR_LAYER_INVALID, "a layer that is not a projection");
    const auto* layer = reinterpret_cast<const XrCompositionLayerProjection*>(header);
    if (layer->viewCount != 2 || !IsLive(layer->space, Kind::Space))
        return Violation(XR_ERROR_VALIDATION_FAILURE, "a projection layer without two views in a live space");
    for (std::uint32_t i = 0; i < layer->viewCount; ++i)
    {
        const XrCompositionLayerProjectionView& view = layer->views[i];
        const Swapchain* chain = FindSwapchain(view.subImage.swapchain);
        if (chain == nullptr || chain->released < 0 || chain->acquired >= 0)
            return Violation(XR_ERROR_LAYER_INVALID, "a view whose swapchain has no released image, or one still held");
        const XrRect2Di& rect = view.subImage.imageRect;
        if (rect.offset.x < 0 || rect.offset.y < 0 || rect.extent.width <= 0 || rect.extent.height <= 0
            || rect.offset.x + rect.extent.width > chain->width || rect.offset.y + rect.extent.height > chain->height)
            return Violation(XR_ERROR_SWAPCHAIN_RECT_INVALID, "a view's rectangle outside its image");
        frame.eyes.push_back(ReadView(view, *chain));
    }
    return XR_SUCCESS;
}

XRAPI_ATTR XrResult XRAPI_CALL EndFrame(XrSession, const XrFrameEndInfo* info)
{
    Runtime& r = TheRuntime();
    r.calls.push_back("end " + std::to_string(info->layerCount));
    if (!r.begun)
        return Violation(XR_ERROR_CALL_ORDER_INVALID, "xrEndFrame without xrBeginFrame");
    r.begun = false;
    if (info->displayTime != r.predicted)
        return Violation(XR_ERROR_TIME_INVALID, "xrEndFrame with a display time that was not predicted");
    if (info->environmentBlendMode != XR_ENVIRONMENT_BLEND_MODE_OPAQUE)
        return Violation(XR_ERROR_ENVIRONMENT_BLEND_MODE_UNSUPPORTED, "xrEndFrame with a blend mode not offered");
    TestXrRuntime::SubmittedFrame frame;
    frame.displayTime = info->displayTime;
    frame.layerCount = info->layerCount;
    for (std::uint32_t i = 0; i < info->layerCount; ++i)
    {
        const XrResult result = RecordLayer(info->layers[i], frame);
        if (XR_FAILED(result))
            return result;
    }
    r.frames.push_back(std::move(frame));
    return XR_SUCCESS;
}

// --- Dispatch ---

XRAPI_ATTR XrResult XRAPI_CALL GetInstanceProcAddr(XrInstance, const char* name, PFN_xrVoidFunction* function);

struct Entry
{
    const char* name;
    PFN_xrVoidFunction function;
};

template <typename F>
PFN_xrVoidFunction Fn(F* function)
{
    return reinterpret_cast<PFN_xrVoidFunction>(function);
}

const Entry Entries[] = {
    {"xrGetInstanceProcAddr", Fn(GetInstanceProcAddr)},
    {"xrEnumerateInstanceExtensionProperties", Fn(EnumerateInstanceExtensionProperties)},
    {"xrCreateInstance", Fn(CreateInstance)},
    {"xrDestroyInstance", Fn(DestroyInstance)},
    {"xrResultToString", Fn(ResultToString)},
    {"xrGetSystem", Fn(GetSystem)},
    {"xrGetOpenGLGraphicsRequirementsKHR", Fn(GetOpenGLGraphicsRequirements)},
    {"xrStringToPath", Fn(StringToPath)},
    {"xrPollEvent", Fn(PollEvent)},
    {"xrCreateSession", Fn(CreateSession)},
    {"xrDestroySession", Fn(DestroySession)},
    {"xrBeginSession", Fn(BeginSession)},
    {"xrEndSession", Fn(EndSession)},
    {"xrEnumerateReferenceSpaces", Fn(EnumerateReferenceSpaces)},
    {"xrCreateReferenceSpace", Fn(CreateReferenceSpace)},
    {"xrCreateActionSpace", Fn(CreateActionSpace)},
    {"xrDestroySpace", Fn(DestroySpace)},
    {"xrLocateSpace", Fn(LocateSpace)},
    {"xrCreateActionSet", Fn(CreateActionSet)},
    {"xrDestroyActionSet", Fn(DestroyActionSet)},
    {"xrCreateAction", Fn(CreateAction)},
    {"xrSuggestInteractionProfileBindings", Fn(SuggestInteractionProfileBindings)},
    {"xrAttachSessionActionSets", Fn(AttachSessionActionSets)},
    {"xrSyncActions", Fn(SyncActions)},
    {"xrGetActionStateBoolean", Fn(GetActionStateBoolean)},
    {"xrGetActionStateFloat", Fn(GetActionStateFloat)},
    {"xrGetActionStateVector2f", Fn(GetActionStateVector2f)},
    {"xrGetActionStatePose", Fn(GetActionStatePose)},
    {"xrEnumerateViewConfigurationViews", Fn(EnumerateViewConfigurationViews)},
    {"xrEnumerateSwapchainFormats", Fn(EnumerateSwapchainFormats)},
    {"xrCreateSwapchain", Fn(CreateSwapchain)},
    {"xrDestroySwapchain", Fn(DestroySwapchain)},
    {"xrEnumerateSwapchainImages", Fn(EnumerateSwapchainImages)},
    {"xrAcquireSwapchainImage", Fn(AcquireSwapchainImage)},
    {"xrWaitSwapchainImage", Fn(WaitSwapchainImage)},
    {"xrReleaseSwapchainImage", Fn(ReleaseSwapchainImage)},
    {"xrWaitFrame", Fn(WaitFrame)},
    {"xrBeginFrame", Fn(BeginFrame)},
    {"xrLocateViews", Fn(LocateViews)},
    {"xrEndFrame", Fn(EndFrame)},
};

XRAPI_ATTR XrResult XRAPI_CALL GetInstanceProcAddr(XrInstance, const char* name, PFN_xrVoidFunction* function)
{
    for (const Entry& entry : Entries)
    {
        if (std::strcmp(entry.name, name) == 0)
        {
            *function = entry.function;
            return XR_SUCCESS;
        }
    }
    *function = nullptr;
    return XR_ERROR_FUNCTION_UNSUPPORTED;
}
}  // namespace

extern "C" TEST_XR_EXPORT XrResult xrNegotiateLoaderRuntimeInterface(const XrNegotiateLoaderInfo* loaderInfo,
                                                                     XrNegotiateRuntimeRequest* request)
{
    if (loaderInfo == nullptr || request == nullptr || loaderInfo->structType != TestXrLoaderInfoStruct
        || request->structType != TestXrRuntimeRequestStruct || loaderInfo->minInterfaceVersion > 1
        || loaderInfo->maxInterfaceVersion < 1)
        return XR_ERROR_INITIALIZATION_FAILED;
    request->runtimeInterfaceVersion = 1;
    request->runtimeApiVersion = XR_CURRENT_API_VERSION;
    request->getInstanceProcAddr = GetInstanceProcAddr;
    return XR_SUCCESS;
}

namespace TestXrRuntime
{
std::uint32_t SubmittedEye::PixelFromTop(int x, int y) const
{
    const std::size_t at = (static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width)
                            + static_cast<std::size_t>(x)) * 4;
    return static_cast<std::uint32_t>(pixels[at]) << 16 | static_cast<std::uint32_t>(pixels[at + 1]) << 8
        | pixels[at + 2];
}

void Reset(const Headset& headset)
{
    Runtime& r = TheRuntime();
    r = Runtime();
    r.headset = headset;
}

std::string ManifestPath()
{
    return TEST_XR_RUNTIME_MANIFEST;
}

void QueueSessionState(XrSessionState state)
{
    TheRuntime().events.push_back(state);
}

void SetShouldRender(bool shouldRender)
{
    TheRuntime().shouldRender = shouldRender;
}

void FailNextAcquire(int eye)
{
    TheRuntime().failAcquire = eye;
}

const std::vector<std::string>& Calls()
{
    return TheRuntime().calls;
}

void ClearCalls()
{
    TheRuntime().calls.clear();
}

const std::vector<std::string>& Violations()
{
    return TheRuntime().violations;
}

const std::vector<SubmittedFrame>& Frames()
{
    return TheRuntime().frames;
}

int LiveHandles()
{
    return static_cast<int>(TheRuntime().live.size());
}

bool IsSessionRunning()
{
    return TheRuntime().running;
}
}
