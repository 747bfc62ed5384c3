#include "engine/PimUIManager.h"

#include "engine/PimAssert.h"
#include "engine/PimUIPage.h"

namespace
{
// The active page, kept alive while it runs even if it removes itself from the tree.
std::shared_ptr<PimUIPage> ActivePage(const std::shared_ptr<PimUIPage>& root)
{
    if (!root)
        return nullptr;
    PimUIPage* active = root->GetActivePageOfTree();
    if (!active)
        return nullptr;
    if (active == root.get())
        return root;
    return active->shared_from_this();
}
}

bool PimUIManager::AddPage(std::shared_ptr<PimUIPage> page)
{
    if (!page || page->GetParentPage() != nullptr || root)
    {
        PimAssert::Assert(false, "PimUIManager::AddPage() - null, a child page, or the manager already has a root");
        return false;
    }
    root = std::move(page);
    if (!root->GetActivePageOfTree())
        root->ActivateThisPage();
    return true;
}

PimUIPage* PimUIManager::GetActivePage() const
{
    return root ? root->GetActivePageOfTree() : nullptr;
}

void PimUIManager::Update()
{
    if (const auto page = ActivePage(root))
        page->RunUpdate();
}

void PimUIManager::Draw()
{
    if (const auto page = ActivePage(root))
        page->RunDraw();
}
