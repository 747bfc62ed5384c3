#include "engine/PimUIPage.h"

#include "engine/PimAssert.h"

#include <algorithm>

namespace
{
std::shared_ptr<PimUIPage> KeepAlive(PimUIPage* page)
{
    // Empty for a page not owned by a shared pointer (a root on the stack): nothing to keep.
    return page ? page->weak_from_this().lock() : nullptr;
}

// The pages strictly between `from` and `to` on the tree path joining them, in path order.
std::vector<PimUIPage*> PagesBetween(PimUIPage* from, PimUIPage* to)
{
    std::vector<PimUIPage*> upward;  // from and its ancestors
    for (PimUIPage* page = from; page; page = page->GetParentPage())
        upward.push_back(page);
    std::vector<PimUIPage*> downward;  // to and its ancestors below the meeting page
    PimUIPage* meeting = nullptr;
    for (PimUIPage* page = to; page; page = page->GetParentPage())
    {
        if (std::find(upward.begin(), upward.end(), page) != upward.end())
        {
            meeting = page;
            break;
        }
        downward.push_back(page);
    }
    std::vector<PimUIPage*> between;
    for (PimUIPage* page : upward)
    {
        if (page == meeting)
            break;
        if (page != from)
            between.push_back(page);
    }
    if (meeting != from && meeting != to)
        between.push_back(meeting);
    for (auto page = downward.rbegin(); page != downward.rend(); ++page)
    {
        if (*page != to)
            between.push_back(*page);
    }
    return between;
}
}

PimUIPage::~PimUIPage()
{
    for (const auto& child : childPages)
    {
        child->parent = nullptr;
        child->tree = TreeState();
    }
}

bool PimUIPage::AddChildPage(std::shared_ptr<PimUIPage> child)
{
    if (!child || child->parent != nullptr || child->Holds(this))
    {
        PimAssert::Assert(false, "PimUIPage::AddChildPage() - null, already a child, or the page itself or its ancestor");
        return false;
    }
    child->tree = TreeState();
    child->parent = this;
    childPages.push_back(std::move(child));
    return true;
}

bool PimUIPage::RemoveChildPage(const PimUIPage* child)
{
    const auto isChild = [child](const auto& held) { return held.get() == child; };
    if (child == nullptr || std::find_if(childPages.begin(), childPages.end(), isChild) == childPages.end())
    {
        PimAssert::Assert(false, "PimUIPage::RemoveChildPage() - not a child of this page");
        return false;
    }
    PimUIPage* root = GetRootPage();
    if (root->tree.leaving)
    {
        PimAssert::Assert(false, "PimUIPage::RemoveChildPage() - refused while pages are being left");
        return false;
    }
    const auto keepRoot = KeepAlive(root);
    if (child->Holds(root->tree.active))
    {
        Activate(this);
        if (child->Holds(GetRootPage()->tree.active))
        {
            // This page's PageIn went back into the pages being removed; they leave all the same.
            PimAssert::Assert(false, "PimUIPage::RemoveChildPage() - a page being removed was activated again");
            GetRootPage()->tree.active = this;
        }
    }
    // The move may already have removed the child (this page's PageIn may do so).
    const auto found = std::find_if(childPages.begin(), childPages.end(), isChild);
    if (found == childPages.end())
        return true;
    const std::shared_ptr<PimUIPage> removed = *found;
    childPages.erase(found);
    removed->parent = nullptr;
    removed->tree = TreeState();
    return true;
}

bool PimUIPage::SetActivePage(const PimUIPage* child)
{
    const auto found = std::find_if(childPages.begin(), childPages.end(), [child](const auto& held) { return held.get() == child; });
    if (child == nullptr || found == childPages.end())
    {
        PimAssert::Assert(false, "PimUIPage::SetActivePage() - not a child of this page");
        return false;
    }
    Activate(found->get());
    return true;
}

void PimUIPage::ActivateThisPage()
{
    Activate(this);
}

void PimUIPage::ActivateParentPage()
{
    if (parent)
        Activate(parent);
}

void PimUIPage::ActivateRootPage()
{
    Activate(GetRootPage());
}

bool PimUIPage::IsActivePage() const
{
    return GetRootPage()->tree.active == this;
}

PimUIPage* PimUIPage::GetRootPage()
{
    PimUIPage* page = this;
    while (page->parent)
        page = page->parent;
    return page;
}

const PimUIPage* PimUIPage::GetRootPage() const
{
    const PimUIPage* page = this;
    while (page->parent)
        page = page->parent;
    return page;
}

PimUIPage* PimUIPage::GetActivePageOfTree() const
{
    return GetRootPage()->tree.active;
}

void PimUIPage::Activate(PimUIPage* target)
{
    PimUIPage* root = GetRootPage();
    if (root->tree.leaving)
    {
        PimAssert::Assert(false, "PimUIPage - a page cannot be activated while pages are being left");
        return;
    }
    PimUIPage* left = root->tree.active;
    if (left == target)
        return;
    const std::vector<PimUIPage*> skipped = left ? PagesBetween(left, target) : std::vector<PimUIPage*>();

    // Every page that is called stays alive until the move is over, whatever the calls remove.
    std::vector<std::shared_ptr<PimUIPage>> keep{KeepAlive(root), KeepAlive(left), KeepAlive(target)};
    for (PimUIPage* page : skipped)
        keep.push_back(KeepAlive(page));

    root->tree.leaving = true;
    if (left)
        left->PageOut();
    for (PimUIPage* page : skipped)
        page->PageSkipped();
    root->tree.leaving = false;
    root->tree.active = target;
    target->PageIn();
}

bool PimUIPage::Holds(const PimUIPage* page) const
{
    for (; page; page = page->parent)
    {
        if (page == this)
            return true;
    }
    return false;
}
