#include "engine/PimUIComponent.h"

#include "engine/PimAssert.h"

#include <algorithm>

bool PimUIComponent::AddChildComponent(std::shared_ptr<PimRenderableObject> child)
{
    const bool held = std::find(children.begin(), children.end(), child) != children.end();
    if (!child || child.get() == this || held)
    {
        PimAssert::Assert(false, "PimUIComponent::AddChildComponent() - null, itself or already a child");
        return false;
    }
    children.push_back(std::move(child));
    return true;
}

bool PimUIComponent::RemoveChildComponent(const PimRenderableObject* child)
{
    const auto found = std::find_if(children.begin(), children.end(), [child](const auto& held) { return held.get() == child; });
    if (found == children.end())
        return false;
    children.erase(found);
    return true;
}

void PimUIComponent::UpdateChildren()
{
    ForEachChild([](PimRenderableObject& child) { child.RunUpdate(); });
}

void PimUIComponent::DrawChildren()
{
    ForEachChild([](PimRenderableObject& child) { child.RunDraw(); });
}

template <typename Run>
void PimUIComponent::ForEachChild(Run run)
{
    // Over a copy that keeps each child alive while it runs: a child may add or remove children,
    // itself included. One removed earlier in the pass is skipped; one added runs from the next.
    const auto current = children;
    for (const auto& child : current)
    {
        if (std::find(children.begin(), children.end(), child) != children.end())
            run(*child);
    }
}
