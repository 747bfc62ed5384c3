#pragma once

#include "engine/PimRenderableObject.h"

#include <memory>
#include <vector>

// A renderable object with child objects of its own. The engine updates and draws the children,
// in the order they were added, right after the component itself. Children are shared: the
// component keeps each one alive while it holds it. Main thread only.
class PimUIComponent : public PimRenderableObject
{
public:
    // False (reported) for null, the component itself, or a child already held.
    bool AddChildComponent(std::shared_ptr<PimRenderableObject> child);
    // False when the child is not held. A child removed while the engine runs this component's
    // children is not run again and stays alive until that run ends.
    bool RemoveChildComponent(const PimRenderableObject* child);
    const std::vector<std::shared_ptr<PimRenderableObject>>& GetChildComponents() const { return children; }

protected:
    void UpdateChildren() override;
    void DrawChildren() override;

private:
    template <typename Run>
    void ForEachChild(Run run);

    std::vector<std::shared_ptr<PimRenderableObject>> children;
};
