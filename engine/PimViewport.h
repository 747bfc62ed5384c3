#pragma once

#include "engine/PimColor.h"
#include "engine/PimEye.h"
#include "engine/PimScreenshot.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class PimCamera;
class PimRenderableObject;
class PimTexture;
struct PimEyeTarget;

// Which view a viewport shows.
enum class PimScreenSection : std::int32_t
{
    // The viewer's own view: each eye in the headset when one runs, else one Mono view of the
    // whole window.
    Main = 10,
    // A view of the whole window from the viewport's own camera (Spectator eye): what the desktop
    // shows from the in-game camera. Drawn after the main view when both are active.
    Spectator = 11,
};

// A rectangle in window pixels: (x, y) is the top-left corner, y grows downwards.
struct PimPixelRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool IsEmpty() const { return width <= 0 || height <= 0; }
    bool operator==(const PimPixelRect&) const = default;
};

// A view of the scene: its screen section, id, active flag, camera, clear colour, an optional
// bounding box that limits where it draws in the window, and the objects it draws.
//
// Each frame the scene draws every active viewport once per eye: the pass clears the viewport's
// area with its clear colour (unless the scene's clearing is off), sets depth testing (less or
// equal), back-face culling (counter-clockwise fronts) and alpha blending, makes itself the draw
// context with its camera, and draws its objects in the order they were added. Headset eyes are
// drawn into the targets the eye output gives; the bounding box limits window drawing only.
// Main thread only.
class PimViewport
{
public:
    explicit PimViewport(PimScreenSection section = PimScreenSection::Main);
    ~PimViewport();
    PimViewport(const PimViewport&) = delete;
    PimViewport& operator=(const PimViewport&) = delete;

    PimScreenSection GetSection() const { return section; }
    void SetId(std::int32_t newId) { id = newId; }
    std::int32_t GetId() const { return id; }
    void SetActive(bool isActive) { active = isActive; }
    bool IsActive() const { return active; }

    // False, reported, for null or an object already added.
    bool AddObject(std::shared_ptr<PimRenderableObject> object);
    bool RemoveObject(const PimRenderableObject* object);
    const std::vector<std::shared_ptr<PimRenderableObject>>& GetObjects() const { return objects; }

    void SetClearColor(PimColor color) { clearColor = color; }
    PimColor GetClearColor() const { return clearColor; }

    // Limits window drawing to the box (window pixels, top-left origin) until cleared.
    void SetBoundingBox(const PimPixelRect& box) { boundingBox = box; }
    void ClearBoundingBox() { boundingBox.reset(); }
    const std::optional<PimPixelRect>& GetBoundingBox() const { return boundingBox; }
    // Where the viewport draws in the window: the whole window, or its part inside the bounding
    // box. Empty without GL or when the box lies outside the window.
    PimPixelRect GetScreenRect() const;

    // Never null: a viewport starts with a camera of its own.
    const std::shared_ptr<PimCamera>& GetCamera() const { return camera; }
    // Null is refused (reported).
    void SetCamera(std::shared_ptr<PimCamera> newCamera);

    // The eye of the viewport's current (or last) pass: Left or Right in the headset, Mono for
    // the main view in the window, Spectator for a spectator viewport.
    PimEye GetCurrentEye() const { return currentEye.eye; }

    // For drawing outside the scene's passes (thumbnails): makes the viewport's window area the
    // GL viewport and scissor, and the viewport with its camera the draw context (window eye,
    // pass index -1). Clear does the same and then clears the area to the clear colour.
    void Activate();
    void Clear();
    // Copies the viewport's window area as drawn so far (before the frame is shown). Rows come
    // bottom-up, as GL hands them out, unless asked otherwise: FlipPixels turns such a picture
    // upright. False (picture untouched) without GL or with an empty area.
    bool CaptureScreenshot(PimTexture& picture, PimRowOrder order = PimRowOrder::BottomUp) const;

    // The viewport of the current draw context: the one drawing now, or the last one activated.
    static PimViewport* GetActiveViewport();

    // The scene's passes: one view into the window, or one headset eye into its target.
    void DrawWindowPass(bool clear, int passIndex);
    void DrawEyePass(const PimEyeTarget& target, bool clear, int passIndex);

private:
    PimEye WindowEye() const;
    // False when there is no GL area to draw into.
    bool EnterWindow(bool clear, int passIndex);
    void DrawObjects();

    PimScreenSection section;
    std::int32_t id = 0;
    bool active = true;
    std::vector<std::shared_ptr<PimRenderableObject>> objects;
    PimColor clearColor{0, 0, 0, 255};
    std::optional<PimPixelRect> boundingBox;
    std::shared_ptr<PimCamera> camera;
    PimEyeView currentEye;
};
