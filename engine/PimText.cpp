#include "engine/PimText.h"

#include "engine/PimDrawContext.h"
#include "engine/PimFont.h"
#include "engine/PimSystem.h"

#include <string>

namespace
{
// The font picture named at start-up; main thread only.
std::string& FontPath()
{
    static std::string path;
    return path;
}
}

void PimText::SetFont(std::string_view path)
{
    FontPath() = std::string(path);
}

bool PimText::Initialize()
{
    return PimFont::Load(FontPath());
}

void PimText::SetText(std::string_view text)
{
    mesh.SetText(PimWString::Widen(text));
}

PimVector2 PimText::GetSize() const
{
    return {static_cast<float>(mesh.GetColumns() * PimFont::GetCellWidth()) * scale,
            static_cast<float>(mesh.GetLines() * PimFont::GetCellHeight()) * scale};
}

void PimText::Draw()
{
    const float cellWidth = static_cast<float>(PimFont::GetCellWidth()) * scale;
    const float cellHeight = static_cast<float>(PimFont::GetCellHeight()) * scale;
    // Text space has y up; the screen's y grows downwards.
    const PimMatrix4x4 model = PimMatrix4x4::CreateTranslation(PimVector3(position.x, position.y, 0.0f))
                             * PimMatrix4x4::CreateScale(PimVector3(cellWidth, -cellHeight, 1.0f));
    if (!PimSystem::HasGL())
        return;
    const PimGLCapabilityOff noCulling(PimGLCapabilityOff::Capability::Culling);
    const PimGLCapabilityOff noDepth(PimGLCapabilityOff::Capability::DepthTest);
    mesh.Draw(PimDrawContext::GetScreenProjection() * model, color);
}
