#include "pages/LoadingScreen.h"

#include "engine/PimAssert.h"
#include "engine/PimDrawContext.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"

#include <GL/glew.h>

#include <algorithm>
#include <string>

LoadingScreen& LoadingScreen::Get(std::string_view picturePath)
{
    // Kept for the whole run.
    static LoadingScreen* screen = new LoadingScreen(picturePath);
    return *screen;
}

LoadingScreen::LoadingScreen(std::string_view picturePath)
{
    title.SetCentered(true);
    if (!title.LoadTexture(picturePath))
        PimAssert::Assert(false, "LoadingScreen - the title picture " + std::string(picturePath) + " cannot be read");
}

bool LoadingScreen::HasPicture() const
{
    return title.GetTexture() && title.GetTexture()->IsValid();
}

void LoadingScreen::Draw()
{
    if (!PimSystem::HasGL() || !HasPicture())
        return;
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    const float width = static_cast<float>(PimDrawContext::GetWidth());
    const float height = static_cast<float>(PimDrawContext::GetHeight());
    const PimTexture& picture = *title.GetTexture();
    title.SetScale(std::min(width / static_cast<float>(picture.GetWidth()), height / static_cast<float>(picture.GetHeight())));
    title.SetPosition({width * 0.5f, height * 0.5f});
    title.Draw();
}
