#include "engine/Pim3DText.h"

#include "engine/PimDrawContext.h"
#include "engine/PimFont.h"
#include "engine/PimSystem.h"

void Pim3DText::SetText(std::string_view text)
{
    mesh.SetText(PimWString::Widen(text));
}

float Pim3DText::GetWidth() const
{
    return static_cast<float>(mesh.GetColumns()) * CharacterWidth * scale;
}

float Pim3DText::GetLineHeight() const
{
    const int cellWidth = PimFont::GetCellWidth();
    const float shape = cellWidth > 0 ? static_cast<float>(PimFont::GetCellHeight()) / static_cast<float>(cellWidth) : 2.0f;
    return CharacterWidth * shape * scale;
}

PimMatrix4x4 Pim3DText::GetModelMatrix() const
{
    // Text space puts the first line below y = 0; lift it so that its bottom sits on the position.
    return PimMatrix4x4::CreateTranslation(position) * orientation
         * PimMatrix4x4::CreateScale(PimVector3(CharacterWidth * scale, GetLineHeight(), 1.0f))
         * PimMatrix4x4::CreateTranslation(PimVector3(0.0f, 1.0f, 0.0f));
}

void Pim3DText::Draw()
{
    if (!PimSystem::HasGL())
        return;
    const PimGLCapabilityOff noCulling(PimGLCapabilityOff::Capability::Culling);
    mesh.Draw(PimDrawContext::GetViewProjection() * GetModelMatrix(), color);
}
