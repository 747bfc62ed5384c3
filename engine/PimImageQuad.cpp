#include "engine/PimImageQuad.h"

#include "engine/PimAssert.h"
#include "engine/PimDrawContext.h"
#include "engine/PimDrawResources.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"

#include <string>

bool PimImageQuad::LoadTexture(std::string_view path)
{
    auto picture = std::make_shared<PimTexture>();
    if (!picture->Load(path))
    {
        PimAssert::Assert(false, "PimImageQuad::LoadTexture() - " + std::string(path) + ": " + picture->GetLoadError());
        texture.reset();
        modelStale = true;
        return false;
    }
    picture->SetFilter(PimTextureFilter::LinearMipmap);
    picture->SetWrap(PimTextureWrap::Clamp);
    SetTexture(std::move(picture));
    return true;
}

void PimImageQuad::SetTexture(std::shared_ptr<const PimTexture> newTexture)
{
    texture = std::move(newTexture);
    modelStale = true;
}

void PimImageQuad::SetScale(float newScale)
{
    scale = newScale;
    modelStale = true;
}

void PimImageQuad::SetSize(const PimVector2& newSize)
{
    size = newSize;
    modelStale = true;
}

PimVector2 PimImageQuad::GetSize() const
{
    if (size)
        return *size;
    if (!texture || !texture->IsValid())
        return {1.0f, 1.0f};
    const float width = static_cast<float>(texture->GetWidth());
    const float height = static_cast<float>(texture->GetHeight());
    return width >= height ? PimVector2(1.0f, height / width) : PimVector2(width / height, 1.0f);
}

void PimImageQuad::SetOrientation(const PimMatrix4x4& newOrientation)
{
    orientation = newOrientation;
    modelStale = true;
}

void PimImageQuad::SetOrientation(const PimVector3& yawPitchRollDegrees)
{
    SetOrientation(PimMatrix4x4::CreateFromYawPitchRoll(PimAngle::FromDegrees(yawPitchRollDegrees.x),
                                                       PimAngle::FromDegrees(yawPitchRollDegrees.y),
                                                       PimAngle::FromDegrees(yawPitchRollDegrees.z)));
}

void PimImageQuad::SetLocation(const PimVector3& newLocation)
{
    location = newLocation;
    modelStale = true;
}

const PimMatrix4x4& PimImageQuad::GetModelMatrix() const
{
    // A shared picture may be replaced by one of another shape behind the quad's back.
    const int width = texture ? texture->GetWidth() : 0;
    const int height = texture ? texture->GetHeight() : 0;
    if (modelStale || width != modelPictureWidth || height != modelPictureHeight)
    {
        modelPictureWidth = width;
        modelPictureHeight = height;
        const PimVector2 drawn = GetSize() * scale;
        model = PimMatrix4x4::CreateTranslation(location) * orientation
              * PimMatrix4x4::CreateScale(PimVector3(drawn.x, drawn.y, 1.0f));
        modelStale = false;
    }
    return model;
}

void PimImageQuad::Draw()
{
    if (!texture || !PimSystem::HasGL())
        return;
    const PimGLCapabilityOff noCulling(PimGLCapabilityOff::Capability::Culling);
    PimDrawResources::DrawUnitQuad(*texture, PimDrawContext::GetViewProjection() * GetModelMatrix(), color);
}
