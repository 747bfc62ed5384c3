#pragma once

#include "engine/PimUIComponent.h"

#include <memory>
#include <vector>

// A page of the program's page tree (menus, the world page, their sub-pages). Pages are owned by
// their parent through shared pointers; the root is held by a PimUIManager.
//
// Exactly one page of a tree is active once one has been activated. The manager updates and
// draws the active page (and its child components) each frame; other pages are left alone.
//
// Moving from page A to page B calls, in this order: PageOut on A, PageSkipped on every page
// strictly between A and B on the tree path joining them (activating the root from a grandchild
// passes over the child; moving between two siblings passes over their parent), then PageIn on
// B. B is already the active page when its PageIn runs, and PageIn may move on to another page.
// Activating the active page changes nothing. While PageOut and PageSkipped run, activating a page
// or removing one from the tree is refused (reported through PimAssert).
//
// The activation functions may be called on any page of the tree, active or not, including from
// that page's own Update: the manager keeps the page alive until its Update or Draw returns even
// if it is removed from the tree meanwhile. Main thread only.
class PimUIPage : public PimUIComponent, public std::enable_shared_from_this<PimUIPage>
{
public:
    PimUIPage() = default;
    // Child pages that outlive their parent (held elsewhere) become roots of their own trees.
    ~PimUIPage() override;
    PimUIPage(const PimUIPage&) = delete;
    PimUIPage& operator=(const PimUIPage&) = delete;

    virtual void PageIn() {}
    virtual void PageOut() {}
    virtual void PageSkipped() {}

    // Appends a child page (with its own children). False, reported, for null, a page that
    // already has a parent, this page or one of its ancestors. The added pages bring no active
    // page along: the tree's active page stays.
    bool AddChildPage(std::shared_ptr<PimUIPage> child);
    // Takes a child page (with its sub-pages) out of the tree. When the active page is among them,
    // this page becomes active first (PageOut on the active page, PageSkipped between, PageIn on
    // this page). False, reported, for a page that is not a child.
    bool RemoveChildPage(const PimUIPage* child);
    // Activates the given child page; false, reported, for a page that is not a child.
    bool SetActivePage(const PimUIPage* child);
    void ActivateThisPage();
    // The parent page; nothing on a root.
    void ActivateParentPage();
    void ActivateRootPage();
    bool IsActivePage() const;

    PimUIPage* GetParentPage() const { return parent; }
    const std::vector<std::shared_ptr<PimUIPage>>& GetChildPages() const { return childPages; }
    PimUIPage* GetRootPage();
    const PimUIPage* GetRootPage() const;
    // The active page of this page's tree; null while none has been activated.
    PimUIPage* GetActivePageOfTree() const;

private:
    // Kept on the root of each tree.
    struct TreeState
    {
        PimUIPage* active = nullptr;
        bool leaving = false;  // PageOut and PageSkipped of a move are running
    };

    void Activate(PimUIPage* target);
    // True when page is this page or lies below it.
    bool Holds(const PimUIPage* page) const;

    PimUIPage* parent = nullptr;
    std::vector<std::shared_ptr<PimUIPage>> childPages;
    TreeState tree;
};
