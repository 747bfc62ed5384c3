#include "engine/PimSprite.h"

#include "engine/PimAssert.h"
#include "engine/PimDrawContext.h"
#include "engine/PimDrawResources.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"

#include <string>

bool PimSprite::LoadTexture(std::string_view path)
{
    auto picture = std::make_shared<PimTexture>();
    if (!picture->Load(path))
    {
        PimAssert::Assert(false, "PimSprite::LoadTexture() - " + std::string(path) + ": " + picture->GetLoadError());
        texture.reset();
        return false;
    }
    picture->SetFilter(PimTextureFilter::LinearMipmap);
    picture->SetWrap(PimTextureWrap::Clamp);
    texture = std::move(picture);
    return true;
}

void PimSprite::Draw()
{
    if (!texture || !texture->IsValid() || !PimSystem::HasGL())
        return;
    const float width = static_cast<float>(texture->GetWidth()) * scale;
    const float height = static_cast<float>(texture->GetHeight()) * scale;
    const PimVector2 centre = centered ? position : position + PimVector2(width * 0.5f, height * 0.5f);
    // Screen y grows downwards: the unit square's top (+y) goes to the smaller screen y.
    const PimMatrix4x4 model = PimMatrix4x4::CreateTranslation(PimVector3(centre.x, centre.y, 0.0f))
                             * PimMatrix4x4::CreateScale(PimVector3(width, -height, 1.0f));
    const PimGLCapabilityOff noCulling(PimGLCapabilityOff::Capability::Culling);
    const PimGLCapabilityOff noDepth(PimGLCapabilityOff::Capability::DepthTest);
    PimDrawResources::DrawUnitQuad(*texture, PimDrawContext::GetScreenProjection() * model, color);
}
