// The widgets the pages share and the pictures in 3-D: the text box's typing rules, the
// checkbox's grab toggle, the colour picker, the nearest palette colour and the picture relief.

#include "pages_fixture.h"

#include "colour/ColourPicker.h"
#include "colour/NearestPaletteColour.h"
#include "colour/PaletteModel.h"
#include "pages/PictureModel.h"
#include "pages/UICheckboxVr.h"
#include "pages/VoxelTextbox.h"

#include "world/Region.h"
#include "world/RegionFile.h"

#include "engine/PimFile.h"
#include "engine/PimInputTray.h"
#include "engine/PimVrInputCodes.h"

#include <SDL.h>

#include <fstream>

namespace
{
constexpr int kRight = PimVrDeviceIndex::RightHand;

class Widgets : public PagesFixture
{
protected:
    void SetUp() override
    {
        PagesFixture::SetUp();
        tray.Reset();
        VoxelTextbox::ResetKeyLatch();
        PaletteModel::ApplyDefaultColours();
    }
    void TearDown() override
    {
        tray.Reset();
        PagesFixture::TearDown();
    }
    void Key(Uint32 type, SDL_Keycode key)
    {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.sym = key;
        tray.HandleEvent(event);
    }
    // One frame of typing: the keys go down (and are held), the box reads them.
    void Type(VoxelTextbox& box, std::initializer_list<SDL_Keycode> keys)
    {
        tray.StartEventBatch();
        for (SDL_Keycode key : keys)
            Key(SDL_KEYDOWN, key);
        box.Update();
    }
    void Release(VoxelTextbox& box, std::initializer_list<SDL_Keycode> keys)
    {
        tray.StartEventBatch();
        for (SDL_Keycode key : keys)
            Key(SDL_KEYUP, key);
        box.Update();
    }

    PimInputTray& tray = PimInputTray::GetInstance();
};

TEST_F(Widgets, TheTextBoxTypesEachKeyOnceWhenItGoesDown)
{
    VoxelTextbox box;
    Type(box, {SDLK_a});
    Type(box, {SDLK_a});
    Release(box, {SDLK_a});
    Type(box, {SDLK_a});
    Release(box, {SDLK_a});
    EXPECT_EQ(box.GetText(), L"AA") << "a held key types once";
    Type(box, {SDLK_b, SDLK_9});
    Release(box, {SDLK_b, SDLK_9});
    EXPECT_EQ(box.GetText(), L"AA9B") << "two keys in one frame both type, in the table's order";
    // Fast typing: the next key goes down while the last is still held.
    Type(box, {SDLK_t});
    Type(box, {SDLK_o});
    Release(box, {SDLK_t});
    Type(box, {SDLK_w});
    Release(box, {SDLK_o, SDLK_w});
    EXPECT_EQ(box.GetText(), L"AA9BTOW");
    Type(box, {SDLK_BACKSPACE});
    Release(box, {SDLK_BACKSPACE});
    Type(box, {SDLK_BACKSPACE});
    Release(box, {SDLK_BACKSPACE});
    Type(box, {SDLK_BACKSPACE});
    Release(box, {SDLK_BACKSPACE});
    Type(box, {SDLK_BACKSPACE});
    Release(box, {SDLK_BACKSPACE});
    EXPECT_EQ(box.GetText(), L"AA9");
    Type(box, {SDLK_COMMA});
    Release(box, {SDLK_COMMA});
    Type(box, {SDLK_SPACE});
    Release(box, {SDLK_SPACE});
    EXPECT_EQ(box.GetText(), L"AA9 ");
    Type(box, {SDLK_BACKSPACE});
    Type(box, {SDLK_BACKSPACE});
    Release(box, {SDLK_BACKSPACE});
    EXPECT_EQ(box.GetText(), L"AA9") << "backspace held removes one";
    Type(box, {SDLK_DELETE});
    Type(box, {SDLK_DELETE, SDLK_c});
    EXPECT_EQ(box.GetText(), L"AA9") << "nothing is typed while Delete is down";
    EXPECT_EQ(box.GetCursor(), 3);
}

TEST_F(Widgets, APresetTextCanBeErasedFromItsEnd)
{
    VoxelTextbox box;
    box.SetText(L"MODEL");
    EXPECT_EQ(box.GetCursor(), 5);
    Type(box, {SDLK_BACKSPACE});
    Release(box, {SDLK_BACKSPACE});
    EXPECT_EQ(box.GetText(), L"MODE");
    for (int i = 0; i < 6; ++i)
    {
        Type(box, {SDLK_BACKSPACE});
        Release(box, {SDLK_BACKSPACE});
    }
    EXPECT_EQ(box.GetText(), L"") << "backspace at the start changes nothing";
    EXPECT_EQ(box.GetCursor(), 0);
    Type(box, {SDLK_x});
    EXPECT_EQ(box.GetText(), L"X");
}

TEST_F(Widgets, TheCheckboxTogglesOncePerGrab)
{
    UICheckboxVr box;
    std::vector<bool> told;
    box.SetOnChange([&](bool checked) { told.push_back(checked); });
    box.SetLocation(kRoot + PimVector3(0, 1, -0.5f));
    TipAt(kRight, box.GetLocation());
    Step([&] { box.Update(); });
    script->SetValue(kRight, PimVrButton::Trigger, 1.0f);
    for (int i = 0; i < 5; ++i)
        Step([&] { box.Update(); });
    EXPECT_TRUE(box.IsChecked());
    script->SetValue(kRight, PimVrButton::Trigger, 0.0f);
    Step([&] { box.Update(); });
    script->SetValue(kRight, PimVrButton::Trigger, 1.0f);
    Step([&] { box.Update(); });
    EXPECT_FALSE(box.IsChecked());
    EXPECT_EQ(told, (std::vector<bool>{true, false}));
}

TEST_F(Widgets, TheColourPickerEditsOneChannelPerBar)
{
    ColourPicker picker;
    EXPECT_EQ(picker.GetColour(), PimColor(255, 255, 255, 255));
    picker.SetColour({10, 20, 30, 255});
    EXPECT_EQ(picker.GetLabel(0).GetText(), L"10");
    EXPECT_EQ(picker.GetLabel(2).GetText(), L"30");
    EXPECT_FLOAT_EQ(picker.GetBar(1).GetSlider().GetValue(), 20.0f);
    picker.location = kRoot + PimVector3(0.0f, 1.2f, -0.6f);
    Step([&] { picker.Update(); });
    EXPECT_EQ(picker.GetColour(), PimColor(10, 20, 30, 255)) << "placing changes no colour";

    // Grab the green knob and drag it up the bar by half its length.
    PimVrUISlider& green = picker.GetBar(1).GetSlider();
    const PimVector3 knob = green.GetSliderPosition();
    EXPECT_GT(green.GetEndcapPosition().y, green.GetAnchorPosition().y + 0.9f) << "the bars stand upright";
    TipAt(kRight, knob);
    Step([&] { picker.Update(); });
    script->SetValue(kRight, PimVrButton::Trigger, 1.0f);
    Step([&] { picker.Update(); });
    TipAt(kRight, knob + PimVector3(0.0f, 0.5f, 0.0f));
    Step([&] { picker.Update(); });
    const PimColor edited = picker.GetColour();
    EXPECT_EQ(edited.r, 10);
    EXPECT_NEAR(edited.g, 20 + 128, 1);
    EXPECT_EQ(edited.b, 30);
    EXPECT_EQ(picker.GetLabel(1).GetText(), PimWString::FromLongInt(edited.g));
    EXPECT_EQ(picker.GetPreview().GetColour(), edited);

    // Moved without marking the layout: the bars stay where they were.
    const PimVector3 anchor = green.GetAnchorPosition();
    picker.location = picker.location + PimVector3(3, 0, 0);
    Step([&] { picker.Update(); });
    EXPECT_EQ(green.GetAnchorPosition(), anchor);
}

TEST_F(Widgets, NearestPaletteColourTakesTheClosestEntryOrEntryZero)
{
    const PimColor entry = PimVoxelGrid::GetColorDefinition(37, false);
    EXPECT_EQ(NearestPaletteColour::VoxelFor(entry), PaletteModel::ColourVoxel(37));
    const std::size_t cached = NearestPaletteColour::CachedCount();
    EXPECT_EQ(NearestPaletteColour::VoxelFor(entry), PaletteModel::ColourVoxel(37));
    EXPECT_EQ(NearestPaletteColour::CachedCount(), cached) << "answered from the cache";
    // Every colour is within 1.0 of some entry of the default table, so entry 0 stands for none.
    EXPECT_EQ(NearestPaletteColour::VoxelFor(PimVoxelGrid::GetColorDefinition(0, false)), PaletteModel::ColourVoxel(0));
}

TEST_F(Widgets, APictureBecomesAReliefAsDeepAsItIsOpaque)
{
    PimTexture picture;
    picture.Create(64, 64, PimColor(0, 0, 0, 0));
    picture.SetColor(5, 63, PimColor(255, 0, 0, 255));    // bottom row: model y = 0
    picture.SetColor(6, 0, PimColor(0, 0, 255, 128));     // top row, half transparent
    PictureModel model(nullptr, {});
    ASSERT_TRUE(model.FillFromPicture(picture));
    for (int z = 0; z < 64; ++z)
        EXPECT_NE(model.GetVoxel(5, 0, z), 0) << z;
    EXPECT_EQ(model.GetVoxel(5, 1, 30), 0);
    int filled = 0;
    for (int z = 0; z < 64; ++z)
        filled += model.GetVoxel(6, 63, z) != 0 ? 1 : 0;
    EXPECT_NEAR(filled, 32, 2) << "half opaque: about half deep, around the middle";
    EXPECT_NE(model.GetVoxel(6, 63, 31), 0);
    EXPECT_NE(model.GetVoxel(6, 63, 32), 0);

    PimTexture wrongSize;
    wrongSize.Create(32, 64, PimColor(255, 0, 0, 255));
    PictureModel other(nullptr, {});
    EXPECT_FALSE(other.FillFromPicture(wrongSize));
    EXPECT_EQ(other.GetVoxel(5, 0, 0), 0);
}

TEST_F(Widgets, AModelFileFillsThePreviewAndABadOneLeavesItEmpty)
{
    // A region with one chunk holding one voxel at (3, 40, 5) of the model.
    PimVoxelGrid chunk;
    chunk.SetLocation({0, 32, 0});
    chunk.SetVoxel(0xFF10, 3, 8, 5, false, false);
    Region region;
    ASSERT_TRUE(region.StoreChunk(chunk));
    const PimWString folder = temp.Wide() + L"/icons/";
    ASSERT_TRUE(PimFile::MakeDirectory(folder));
    ASSERT_TRUE(RegionFile::WriteRegionFile(region, folder));
    PictureModel model(nullptr, {});
    ASSERT_TRUE(model.FillFromModelFile(folder + RegionFile::FileName({0, 0, 0})));
    EXPECT_EQ(model.GetVoxel(3, 40, 5), 0xFF10);

    std::ofstream(PimFilePath(folder + L"bad.vic").Native()) << "not a model";
    EXPECT_FALSE(model.FillFromModelFile(folder + L"bad.vic"));
    EXPECT_EQ(model.GetVoxel(3, 40, 5), 0) << "cleared";
    EXPECT_FALSE(model.FillFromModelFile(folder + L"missing.vic"));
}
}
