#include "settings/ActiveGameTemplates.h"

#include "settings/SettingTemplate.h"

#include "engine/PimMatrix4x4.h"

#include <string>

namespace ActiveGameTemplates
{
using namespace SettingTemplate;

GameSettingItem ColourEntry(int index, const PimColor& colour)
{
    return Vector("C" + std::to_string(index), {UInt("R", colour.r, 0, 255), UInt("G", colour.g, 0, 255),
                                                UInt("B", colour.b, 0, 255)});
}

GameSettingItem Palette(int palette, const PaletteModel::Palette& values)
{
    std::vector<GameSettingItem> slots;
    for (std::size_t slot = 0; slot < values.size(); ++slot)
        slots.push_back(UInt("Vx" + std::to_string(slot), values[slot]));
    return Vector("Palette" + std::to_string(palette), slots);
}

GameSettingItem ReferenceImage(int image)
{
    const PimMatrix4x4 identityMatrix;
    const float* identity = identityMatrix.GetMatrixDataArray();
    std::vector<GameSettingItem> orient;
    for (int i = 0; i < 16; ++i)
        orient.push_back(Float(std::to_string(i), identity[i]));
    return Vector("RefImage" + std::to_string(image),
                  {Bool("Enabled", false), WString("Path", PimWString()), Bool("Locked", false),
                   Vector3("Loc", PimVector3()), Vector("Orient", orient), Float("Scale", 1.0f, 0.1f, 10.0f)});
}
}
