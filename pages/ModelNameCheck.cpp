#include "pages/ModelNameCheck.h"

#include "world/WorldStore.h"

#include "engine/PimFile.h"

namespace ModelNameCheck
{
PimWString Tidy(const PimWString& text)
{
    const std::size_t first = text.find_first_not_of(L' ');
    if (first == PimWString::npos)
        return PimWString();
    const std::size_t last = text.find_last_not_of(L' ');
    return PimWString(text.substr(first, last - first + 1));
}

Verdict Check(const GameSettings& settings, const PimWString& name)
{
    if (name.empty())
        return Verdict::Empty;
    if (!WorldStore::IsValidWorldName(name))
        return Verdict::Unusable;
    const PimWString base = WorldStore::WorldBaseFolder(settings);
    if (base.empty())
        return Verdict::Unusable;
    for (const PimFileListing& entry : PimFile::GetDirectoryList(base))
        if (entry.nameIsUtf8 && entry.name == name)
            return Verdict::Exists;
    return Verdict::Accepted;
}

std::string Explain(Verdict verdict, const PimWString& name)
{
    switch (verdict)
    {
    case Verdict::Accepted:
        return {};
    case Verdict::Empty:
        return "TYPE A NAME FIRST";
    case Verdict::Unusable:
        return "THIS NAME CANNOT BE A MODEL'S NAME";
    case Verdict::Exists:
        return "A MODEL NAMED " + name.Narrow() + " EXISTS - CHOOSE ANOTHER NAME";
    }
    return {};
}
}
