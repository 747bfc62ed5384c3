#pragma once

#include "pages/FileBrowserEntry.h"
#include "pages/QuadButton.h"
#include "pages/SliderBar.h"
#include "pages/VoxelMenuPage.h"

#include "engine/PimColor.h"
#include "engine/PimFileListing.h"
#include "engine/PimWString.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// The booth in which the user picks a picture file from the disk with the headset on. Its north
// wall shows the folders and ".png" files of one folder as a column of lines, each a box to grab
// and the name beside it (folders in yellow, pictures in white); a slider beside the column
// scrolls it, a house button goes to the user's pictures folder and an arrow button to the
// folder above. Grabbing a folder's box opens it; grabbing a picture's box chooses it and returns
// to the parent page, which reads GetChosenPath when it becomes active again. Leaving with the
// back action or the back button chooses nothing.
//
// Paths use "/" between their parts and folders end in "/"; "/" is the root, above which the up
// button stays. The browser starts in the pictures folder the first time it is entered and shows
// the folder it was last in afterwards. Sub-folders come first, then the pictures (any case of
// the extension), each group sorted by name without case, then exactly, so the order is the
// same on every visit. What the disk holds is shown as far as it can be read: a folder that
// cannot be read gives an empty column, and entries that cannot be opened (a link to nothing, a
// loop of links, a name that is not UTF-8) are left out; each is told in a line on stderr.
//
// Only the lines between the booth's floor and ceiling are updated and drawn, and a line's
// label is made when it first comes into view, so a folder of thousands of pictures opens and
// runs as quickly as a small one. Main thread only.
class VRFileBrowser : public VoxelMenuPage
{
public:
    static constexpr float kMenuScale = 1.5f;
    static constexpr std::uint16_t kUpperWall = 0xFF36;
    static constexpr std::uint16_t kLowerWall = 0xFF56;
    static constexpr PimColor kDirectoryColour{179, 179, 0, 255};
    static constexpr PimColor kFileColour{255, 255, 255, 255};
    // The first line's place with the slider at 0; each further line is kEntryStep higher.
    static constexpr PimVector3 kColumnOrigin{3.25f, 3.5f, 4.99f};
    static constexpr float kEntryStep = 0.2f;
    // The column moves down one line (kEntryStep) for each unit of the slider, whose range is the
    // number of lines: the whole track passes the whole column, the last line coming to the first
    // line's place one unit before the end. (Moving it by the number of lines times 0.05 a unit
    // ran a column of c lines past within the track's first four units and left the rest of the
    // track showing an empty wall.)
    static constexpr PimVector3 kSliderAnchor{3.5f, 3.25f, 4.98f};
    static constexpr PimVector3 kHomePlace{4.2f, 3.5f, 4.99f};
    static constexpr PimVector3 kUpPlace{4.2f, 3.3f, 4.99f};
    // Lines are updated, drawn and reachable only between these heights (inside the booth).
    static constexpr float kLowestShown = 1.0f;
    static constexpr float kHighestShown = 19.0f;
    // Where the player stands while the booth is open.
    static PimVector3 StandPoint() { return {2.0f * kMenuScale, 1.1f, 2.0f * kMenuScale}; }

    VRFileBrowser(GameSettings& settings, std::shared_ptr<PimCamera> camera);
    ~VRFileBrowser() override;

    void Update() override;
    void Draw() override;
    // Forgets any earlier choice (so leaving without one chooses nothing), shows the folder again
    // (the pictures folder on the first visit) and stands the player in the booth, facing the
    // column, at the menu scale.
    void PageIn() override;
    void PageOut() override;

    // Shows a folder (a missing final "/" is added) with the slider back at its top.
    void ListFolder(const PimWString& folder);
    void GoHome();
    // The folder above the one shown; at the root nothing changes.
    void GoUp();
    // What grabbing line i's box does: a folder is opened; a picture is chosen and the parent
    // page activated, unless its header shows it cannot be loaded (not a PNG, larger than a
    // picture can be), which is told on stderr while the browser stays.
    void Take(std::size_t index);

    const PimWString& GetCurrentFolder() const { return currentFolder; }
    // The full path of the picture chosen since the browser was last entered; empty when none.
    const PimWString& GetChosenPath() const { return chosenPath; }
    const std::vector<std::unique_ptr<FileBrowserEntry>>& GetEntries() const { return entries; }
    SliderBar& GetScrollSlider() { return scrollSlider; }
    QuadButton& GetUpButton() { return upButton; }
    QuadButton& GetHomeButton() { return homeButton; }
    // The pictures folder of the settings in the browser's form.
    PimWString PicturesFolder() const;
    // The first line's place for the slider's value now.
    PimVector3 ColumnBase() const;
    // The lines from first to last (exclusive) that lie between kLowestShown and kHighestShown.
    std::pair<std::size_t, std::size_t> ShownRange() const;

protected:
    void AddPointerSpots(std::vector<PointerSpot>& spots) const override;
    std::optional<PimVector3> HeldControlAlong(const PimVector3& origin, const PimVector3& direction) const override;

private:
    void SetUpControls();
    // Places every line for the slider's value and makes the labels of the lines now in view.
    void LayOut();
    // Whether a listed name can be opened through a path of the browser, told on stderr when not.
    bool CanOpen(const PimFileListing& listing) const;

    SliderBar scrollSlider;
    QuadButton upButton;
    QuadButton homeButton;
    // Set while the up or home button is held, so one press moves once.
    bool upLatch = true;
    bool homeLatch = true;
    PimWString currentFolder;
    std::vector<std::unique_ptr<FileBrowserEntry>> entries;
    PimWString chosenPath;
    // The slider's value the column was last laid out for.
    float laidOutValue = 0.0f;
};
