// The file browser booth on scripted hands: what a folder lists and in which order, going up and
// home, scrolling, choosing a picture for the in-game menu's reference slot (and cancelling),
// and what the disk cannot give (links to nothing, loops, names that are not UTF-8, folders that
// cannot be read, pictures too large to load).

#include "pages_fixture.h"

#include "pages/InGameMenuPageVr.h"
#include "pages/VRFileBrowser.h"

#include "engine/PimCamera.h"
#include "engine/PimTexture.h"
#include "engine/PimVrInputCodes.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

namespace
{
namespace fs = std::filesystem;
constexpr int kRight = PimVrDeviceIndex::RightHand;

class FileBrowser : public PagesFixture
{
protected:
    void SetUp() override
    {
        PagesFixture::SetUp();
        settings->virtualReality.SetHandPreference(2);
        pictures = temp.Path() / "pics";
        fs::create_directories(pictures);
        menu = std::make_shared<InGameMenuPageVr>(*settings, std::make_shared<PimCamera>(), nullptr);
        root->AddChildPage(worldPage);
        worldPage->AddChildPage(menu);
        menu->ActivateThisPage();
        Frames(4);
    }
    void TearDown() override
    {
        menu.reset();
        root.reset();
        PagesFixture::TearDown();
    }
    VRFileBrowser& Browser() { return menu->GetFileBrowser(); }
    PimUIPage* Active() const { return root->GetActivePageOfTree(); }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Step([this] {
                if (PimUIPage* now = Active())
                    now->Update();
            });
    }
    // Touches a place with the right hand, pulls the trigger for some frames and lets go.
    void Press(const PimVector3& at, int frames = 1)
    {
        TipAt(kRight, at);
        Frames(1);
        Trigger(kRight, 1.0f);
        Frames(frames);
        Trigger(kRight, 0.0f);
        Frames(1);
    }
    // The right hand's menu button pressed and let go: the back action.
    void Back()
    {
        script->SetValue(kRight, PimVrButton::Menu, 1.0f);
        Frames(1);
        script->SetValue(kRight, PimVrButton::Menu, 0.0f);
        Frames(1);
    }
    // Opens the browser for a slot; the booth stands the player in it two frames later.
    void Browse(int slot)
    {
        menu->RequestBrowse(slot);
        Frames(3);
    }
    std::size_t IndexOf(const std::wstring& name)
    {
        const auto& entries = Browser().GetEntries();
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i]->GetName() == name)
                return i;
        ADD_FAILURE() << "no line for " << PimWString(name).Narrow();
        return 0;
    }
    void PressEntry(const std::wstring& name) { Press(Browser().GetEntries()[IndexOf(name)]->GetPosition()); }
    static void Picture(const fs::path& file, int side = 4)
    {
        PimTexture picture;
        picture.Create(side, side, PimColor(200, 40, 40, 255));
        ASSERT_TRUE(picture.Save(file.string()));
    }
    static PimWString Folder(const fs::path& path) { return PimWString::Widen(path.string() + "/"); }
    std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        for (const auto& entry : Browser().GetEntries())
            names.push_back(entry->GetName());
        return names;
    }

    fs::path pictures;
    std::shared_ptr<PimUIPage> root = std::make_shared<PimUIPage>();
    std::shared_ptr<PimUIPage> worldPage = std::make_shared<PimUIPage>();
    std::shared_ptr<InGameMenuPageVr> menu;
};

TEST_F(FileBrowser, FoldersComeFirstThenPicturesOfAnyCaseEachByNameAndUpStopsAtTheRoot)
{
    fs::create_directories(pictures / "Zoo" / "Lions");
    fs::create_directories(pictures / "alpha");
    for (const char* name : {"b.png", "A.PNG", "c.jpg", "notes.txt", "d.Png"})
        std::ofstream(pictures / name) << "x";

    Browse(0);
    ASSERT_EQ(Active(), &Browser());
    EXPECT_EQ(Browser().GetCurrentFolder(), Browser().PicturesFolder()) << "the first visit starts in the pictures";
    EXPECT_EQ(Browser().PicturesFolder().back(), L'/');
    EXPECT_EQ(Browser().PicturesFolder().find(L'\\'), PimWString::npos);

    Browser().ListFolder(PimWString::Widen(pictures.string()));
    EXPECT_EQ(Browser().GetCurrentFolder(), Folder(pictures)) << "a folder always ends in /";
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"alpha", L"Zoo", L"A.PNG", L"b.png", L"d.Png"}));
    const auto& entries = Browser().GetEntries();
    EXPECT_TRUE(entries[1]->IsDirectory());
    EXPECT_FALSE(entries[2]->IsDirectory());
    EXPECT_EQ(entries[1]->GetLabel().GetText(), L"ZOO");
    EXPECT_EQ(entries[1]->GetLabel().GetColor(), VRFileBrowser::kDirectoryColour);
    EXPECT_EQ(entries[3]->GetLabel().GetText(), L"B.PNG");
    EXPECT_EQ(entries[3]->GetLabel().GetColor(), VRFileBrowser::kFileColour);
    EXPECT_EQ(FileBrowserEntry::LabelText(std::wstring(40, L'a')), std::wstring(25, L'A') + L"...");

    // Into a folder with its box, then up twice with the up button.
    PressEntry(L"Zoo");
    EXPECT_EQ(Browser().GetCurrentFolder(), Folder(pictures / "Zoo"));
    PressEntry(L"Lions");
    EXPECT_EQ(Browser().GetCurrentFolder(), Folder(pictures / "Zoo" / "Lions"));
    EXPECT_TRUE(Browser().GetEntries().empty());
    Press(Browser().GetUpButton().GetBaseLocation(), 5);
    EXPECT_EQ(Browser().GetCurrentFolder(), Folder(pictures / "Zoo")) << "one press held for frames goes up once";
    Browser().GoUp();
    EXPECT_EQ(Browser().GetCurrentFolder(), Folder(pictures));

    Browser().ListFolder(L"/tmp/");
    Browser().GoUp();
    EXPECT_EQ(Browser().GetCurrentFolder(), L"/");
    Browser().GoUp();
    EXPECT_EQ(Browser().GetCurrentFolder(), L"/") << "up from the root stays";

    Press(Browser().GetHomeButton().GetBaseLocation());
    EXPECT_EQ(Browser().GetCurrentFolder(), Browser().PicturesFolder());

    // The next visit shows the folder last shown.
    Browser().ListFolder(Folder(pictures / "Zoo"));
    Back();
    ASSERT_EQ(Active(), menu.get());
    menu->RequestBrowse(0);
    EXPECT_EQ(Browser().GetCurrentFolder(), Folder(pictures / "Zoo"));
}

TEST_F(FileBrowser, TheSliderScrollsTheColumnDownAndOnlyLinesInViewGetLabels)
{
    for (int i = 0; i < 200; ++i)
        std::ofstream(pictures / ("p" + std::to_string(1000 + i) + ".png")) << "x";
    Browse(0);
    Browser().ListFolder(Folder(pictures));
    const auto& entries = Browser().GetEntries();
    ASSERT_EQ(entries.size(), 200u);
    PimVrUISlider& slider = Browser().GetScrollSlider().GetSlider();
    EXPECT_EQ(slider.GetMaxValue(), 200.0f);
    EXPECT_LT(slider.GetEndcapPosition().y, slider.GetAnchorPosition().y) << "the slider runs down the wall";

    const PimVector3 top = entries[0]->GetPosition();
    EXPECT_EQ(top, VRFileBrowser::kColumnOrigin);
    EXPECT_FLOAT_EQ(entries[10]->GetPosition().y - top.y, 10 * VRFileBrowser::kEntryStep);
    // Lines above the ceiling have no label made yet.
    const auto [first, last] = Browser().ShownRange();
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(last, 78u) << "3.5 + 0.2 x 77 is the highest line under 19";
    EXPECT_TRUE(entries[77]->HasLabel());
    EXPECT_FALSE(entries[78]->HasLabel());

    slider.SetValue(slider.GetMaxValue());
    Frames(1);
    // One line a unit: at the end of the track the column has moved down by all its 200 lines.
    EXPECT_NEAR(top.y - entries[0]->GetPosition().y, 200.0f * VRFileBrowser::kEntryStep, 1e-3f);
    // The last line stands just under the first line's place, with the lines from 188 above it.
    EXPECT_EQ(Browser().ShownRange(), (std::pair<std::size_t, std::size_t>{188u, 200u}));
    slider.SetValue(199.0f);
    Frames(1);
    EXPECT_NEAR(entries[199]->GetPosition().y, top.y, 1e-3f) << "the last line at the first line's place";
    slider.SetValue(150.0f);
    Frames(1);
    // Down by 150 x 0.2 = 30: the lines from 138 (at 3.5 - 30 + 27.6) up to 215 would be in view;
    // the list ends at 200. They have their labels now; lines passed by untouched do not.
    EXPECT_EQ(Browser().ShownRange(), (std::pair<std::size_t, std::size_t>{138u, 200u}));
    EXPECT_TRUE(entries[199]->HasLabel());
    EXPECT_TRUE(entries[138]->HasLabel());
    EXPECT_FALSE(entries[100]->HasLabel());

    Browser().ListFolder(Folder(pictures));
    EXPECT_EQ(slider.GetValue(), 0.0f) << "a new listing starts at the top";
}

TEST_F(FileBrowser, AChoiceSetsOnlyTheBrowsedSlotAndACancelledBrowseChangesNothing)
{
    Picture(pictures / "sea.png");
    Picture(pictures / "hill.png");
    for (int slot = 0; slot < 3; ++slot)
        settings->activeGame.SetRefImagePath(slot, L"/kept/" + std::to_wstring(slot) + L".png");

    Browse(1);
    Browser().ListFolder(Folder(pictures));
    PressEntry(L"sea.png");
    ASSERT_EQ(Active(), menu.get()) << "choosing a picture returns to the menu";
    EXPECT_EQ(settings->activeGame.GetRefImagePath(1), Folder(pictures) + L"sea.png");
    EXPECT_EQ(settings->activeGame.GetRefImagePath(0), L"/kept/0.png");
    EXPECT_EQ(settings->activeGame.GetRefImagePath(2), L"/kept/2.png");
    EXPECT_EQ(menu->GetChangedPictureSlots(), 0b010);

    // Slot 0 browsed and left with the back action: the earlier choice must not reach it.
    Frames(3);
    Browse(0);
    EXPECT_TRUE(Browser().GetChosenPath().empty());
    Back();
    ASSERT_EQ(Active(), menu.get());
    EXPECT_EQ(settings->activeGame.GetRefImagePath(0), L"/kept/0.png");
    EXPECT_EQ(menu->GetChangedPictureSlots(), 0);

    // And with the back button.
    Browse(2);
    Press(Browser().GetBackButton().GetBaseLocation());
    ASSERT_EQ(Active(), menu.get());
    EXPECT_EQ(settings->activeGame.GetRefImagePath(2), L"/kept/2.png");

    // Visiting the menu again without browsing hands nothing over.
    menu->PageIn();
    EXPECT_EQ(menu->GetChangedPictureSlots(), 0);

    // Two slots asked for in one visit both get the picture; the same file chosen again counts.
    Browse(0);
    menu->RequestBrowse(1);
    Frames(3);
    PressEntry(L"sea.png");
    ASSERT_EQ(Active(), menu.get());
    EXPECT_EQ(settings->activeGame.GetRefImagePath(0), Folder(pictures) + L"sea.png");
    EXPECT_EQ(menu->GetChangedPictureSlots(), 0b011);
    EXPECT_EQ(settings->activeGame.GetRefImagePath(2), L"/kept/2.png");
}

TEST_F(FileBrowser, WhatTheDiskCannotGiveIsLeftOutOrRefusedWithALineOnStderr)
{
    Picture(pictures / "good.png");
    fs::create_directory(pictures / "doomed");
    fs::create_symlink(pictures / "gone.png", pictures / "broken.png");
    fs::create_symlink(pictures / "loop", pictures / "loop");
    fs::create_directory_symlink(pictures, pictures / "again"); // a folder inside itself
    std::ofstream(pictures / "caf\xe9.png") << "x";
    std::ofstream(pictures / "back\\slash.png") << "x";
    ASSERT_EQ(::mkfifo((pictures / "pipe.png").c_str(), 0600), 0);
    // A header claiming 20000 x 20000 pixels, and text named as a picture.
    std::ofstream(pictures / "huge.png", std::ios::binary)
        << std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x4e\x20\0\0\x4e\x20\x08\x06\0\0\0", 29);
    std::ofstream(pictures / "text.png") << "not a picture at all";

    Browse(0);
    testing::internal::CaptureStderr();
    Browser().ListFolder(Folder(pictures));
    std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"again", L"doomed", L"good.png", L"huge.png", L"text.png"}));
    for (const char* line : {"broken.png: a link to nothing", "loop: a loop of links", "not UTF-8", "backslash"})
        EXPECT_NE(told.find(line), std::string::npos) << line << " in:\n" << told;

    // The folder linked into itself opens like any other, one level a press, and up comes back.
    PressEntry(L"again");
    EXPECT_EQ(Browser().GetCurrentFolder(), Folder(pictures / "again"));
    EXPECT_EQ(Browser().GetEntries().size(), 5u);
    Browser().GoUp();

    // A folder gone since it was listed: an empty column and a line.
    fs::remove(pictures / "doomed");
    testing::internal::CaptureStderr();
    PressEntry(L"doomed");
    told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Browser().GetCurrentFolder(), Folder(pictures / "doomed"));
    EXPECT_TRUE(Browser().GetEntries().empty());
    EXPECT_NE(told.find("cannot read the folder"), std::string::npos) << told;
    Browser().GoUp();

    // Pictures that cannot be loaded are refused and the browser stays.
    for (const wchar_t* refused : {L"huge.png", L"text.png"})
    {
        testing::internal::CaptureStderr();
        PressEntry(refused);
        told = testing::internal::GetCapturedStderr();
        EXPECT_EQ(Active(), &Browser());
        EXPECT_TRUE(Browser().GetChosenPath().empty());
        EXPECT_NE(told.find("cannot be a reference picture"), std::string::npos) << told;
        EXPECT_FALSE(Browser().GetEntries()[IndexOf(refused)]->GetBox().IsChecked());
    }
    PressEntry(L"good.png");
    EXPECT_EQ(Active(), menu.get());
    EXPECT_EQ(settings->activeGame.GetRefImagePath(0), Folder(pictures) + L"good.png");
}
}
