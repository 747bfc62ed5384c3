#pragma once

#include "engine/PimRenderableObject.h"
#include "engine/PimSprite.h"

#include <string_view>

// The title picture ("TitleScreen.png") drawn flat over the whole view while the main menu
// prepares its room: centred and scaled to fit the view, over a cleared depth buffer. One per
// run, made on first use. Main thread only.
class LoadingScreen : public PimRenderableObject
{
public:
    static LoadingScreen& Get(std::string_view picturePath);

    void Draw() override;
    bool HasPicture() const;

private:
    explicit LoadingScreen(std::string_view picturePath);

    PimSprite title;
};
