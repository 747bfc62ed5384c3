#pragma once

#include "engine/PimRenderableObject.h"

#include <memory>

class PimUIPage;

// Drives a page tree. Added to a viewport as an object, it updates the tree's active page (and
// that page's child components) once per frame and draws it in every pass of the viewports that
// hold the manager. The page updated is the one active when the frame's update reaches the
// manager; the page drawn is the one active when the pass draws, so a page activated during the
// update is drawn in the same frame. Main thread only.
class PimUIManager : public PimRenderableObject
{
public:
    // Makes the page the root of the manager's tree and, when its tree has no active page yet,
    // activates it (its PageIn runs now). False, reported, for null, a page that has a parent, or
    // when the manager already has a root.
    bool AddPage(std::shared_ptr<PimUIPage> root);
    const std::shared_ptr<PimUIPage>& GetRootPage() const { return root; }
    PimUIPage* GetActivePage() const;

    void Update() override;
    void Draw() override;

private:
    std::shared_ptr<PimUIPage> root;
};
