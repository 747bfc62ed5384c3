#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class PimViewport;

// The viewports the program shows, drawn in the order they were added. Each frame the input
// context's active scene updates every object of its viewports once (an object shown by two
// viewports is updated once), then draws each active viewport: once per headset eye for main
// viewports while the eye output shows a frame, once into the window otherwise. In a headset
// frame the eyes are drawn and handed back before the window views, which thus draw over the
// eye the output copies to the window.
// Main thread only.
class PimScene
{
public:
    // False, reported, for null or a viewport already added.
    bool AddViewport(std::shared_ptr<PimViewport> viewport);
    bool RemoveViewport(const PimViewport* viewport);
    const std::vector<std::shared_ptr<PimViewport>>& GetViewports() const { return viewports; }
    // The first viewport with the id; null when none has it.
    PimViewport* GetViewport(std::int32_t id) const;

    // Whether viewports clear their area at the start of each pass (on unless switched off): off
    // keeps what is already in the framebuffer, e.g. while one picture is shown during a long step.
    void ClearScreenOn(bool clear) { clearScreen = clear; }
    bool IsClearScreenOn() const { return clearScreen; }

    void Update();
    void Draw();

private:
    std::vector<std::shared_ptr<PimViewport>> viewports;
    bool clearScreen = true;
};
