#include "world/TerrainGenerator.h"

#include "world/HeightMapPicture.h"
#include "world/TerrainSteps.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace
{
constexpr std::uint16_t kIslandPeak = 511;
constexpr int kIslandPeakCount = 1050;

// Saves the named pictures of one generation and counts how that went.
class StepPictures
{
public:
    StepPictures(std::string_view folderPath, TerrainOutcome& result) : folder(folderPath), outcome(result) {}

    void Save(const WorldSetup& setup, std::string_view step)
    {
        if (folder.empty())
            return;
        if (HeightMapPicture::Save(setup.GetHeightMap(), setup.GetWaterLevel(), folder, step))
            ++outcome.picturesSaved;
        else
            ++outcome.pictureFailures;
    }

private:
    std::string_view folder;
    TerrainOutcome& outcome;
};

// The figures the rolling and island generators share.
struct WalkFigures
{
    int walkers = 0;
    std::int32_t lengthBase = 0;
    std::int32_t lengthSpread = 0;
    int smoothingPasses = 0;
};

// A walker bound held in 8 bits: counts beyond the range stop at its ends.
int WalkerBound(const WorldParameterList& parameters, std::uint32_t id)
{
    return std::clamp(ReadWorldParameterInt(parameters, id), 0, 255);
}

// Sizes, world height and water level from the list; the random walker count comes last.
WalkFigures ReadWalkFigures(WorldSetup& setup, const WorldParameterList& parameters)
{
    const std::int32_t side = ReadWorldParameterInt(parameters, WorldParameterId::IslandSize);
    setup.SetSize(side, side);
    setup.SetWorldHeight(ReadWorldParameterInt(parameters, WorldParameterId::WorldHeight));
    WalkFigures figures;
    const int lowest = WalkerBound(parameters, WorldParameterId::LowestWalkers);
    const int highest = WalkerBound(parameters, WorldParameterId::HighestWalkers);
    figures.walkers = lowest + setup.GetRandom().Below(highest - lowest);
    figures.lengthBase = ReadWorldParameterInt(parameters, WorldParameterId::WalkLengthBase);
    figures.lengthSpread = ReadWorldParameterInt(parameters, WorldParameterId::WalkLengthSpread);
    figures.smoothingPasses = ReadWorldParameterInt(parameters, WorldParameterId::SmoothingPasses);
    setup.SetWaterLevel(ReadWorldParameter(parameters, WorldParameterId::WaterLevel));
    return figures;
}

// rand % spread - spread / 2 + base, held to 32 bits.
std::int32_t WalkLength(const WalkFigures& figures, TerrainRandom& random)
{
    const std::int64_t length = static_cast<std::int64_t>(random.Below(figures.lengthSpread)) - figures.lengthSpread / 2 +
                                static_cast<std::int64_t>(figures.lengthBase);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(length, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// `count` times, a walk of `first` steps and one of `second` steps, brush 1.
void WalkPairs(WorldSetup& setup, int count, std::int32_t first, std::int32_t second)
{
    for (int walk = 0; walk < count; ++walk)
    {
        TerrainSteps::WalkStamp(setup.GetHeightMap(), first, 1, setup.GetRandom());
        TerrainSteps::WalkStamp(setup.GetHeightMap(), second, 1, setup.GetRandom());
    }
}

bool OutsideCentralDisc(int x, int z, int width)
{
    const std::int64_t centre = width / 2;
    const std::int64_t dx = x - centre;
    const std::int64_t dz = z - centre;
    return dx * dx + dz * dz > centre * centre;
}

// The rolling land's low relief: heights up to 11 fold down into 4 to 7.
std::uint16_t FoldRollingHeight(std::uint16_t height)
{
    static constexpr std::uint16_t kFolded[] = {0, 1, 2, 3, 4, 4, 5, 6, 6, 7, 6, 5};
    return height < std::size(kFolded) ? kFolded[height] : 4;
}

void ShapeRolling(HeightMap& map)
{
    for (int z = 0; z < map.GetDepth(); ++z)
        for (int x = 0; x < map.GetWidth(); ++x)
            map.Set(x, z, OutsideCentralDisc(x, z, map.GetWidth()) ? 0 : FoldRollingHeight(map.At(x, z)));
}

void ShapeIsland(HeightMap& map, std::int32_t heightCap)
{
    const std::uint16_t cap = HeightMap::ToSample(heightCap);
    for (int z = 0; z < map.GetDepth(); ++z)
        for (int x = 0; x < map.GetWidth(); ++x)
            map.Set(x, z, OutsideCentralDisc(x, z, map.GetWidth()) ? 0 : std::min(map.At(x, z), cap));
}

void BuildPreviews(WorldSetup& setup)
{
    RegeneratePreview(setup, 0);
    RegeneratePreview(setup, 1);
}

bool GenerateFlat(WorldSetup& setup, const WorldParameterList& parameters)
{
    setup.SetSize(ReadWorldParameterInt(parameters, WorldParameterId::FlatWidth),
                  ReadWorldParameterInt(parameters, WorldParameterId::FlatDepth));
    setup.SetWorldHeight(ReadWorldParameterInt(parameters, WorldParameterId::WorldHeight));
    const WorldParameter* fill = FindWorldParameter(parameters, WorldParameterId::FlatFillMode);
    const std::int32_t fillMode = fill ? TruncateToInt(fill->extra[2]) : 0;
    if (fillMode == 2)
        setup.GetHeightMap().Fill(1);
    return !setup.GetHeightMap().IsEmpty();
}

bool GenerateRolling(WorldSetup& setup, const WorldParameterList& parameters, StepPictures& pictures)
{
    const WalkFigures figures = ReadWalkFigures(setup, parameters);
    HeightMap& map = setup.GetHeightMap();
    if (map.IsEmpty())
        return false;
    TerrainRandom& random = setup.GetRandom();

    map.Fill(HeightMap::ToSample(static_cast<double>(setup.GetWaterLevel()) - 1.0));
    pictures.Save(setup, "A");
    for (int walker = 0; walker < figures.walkers; ++walker)
    {
        const std::int32_t length = WalkLength(figures, random);
        TerrainSteps::WalkStamp(map, length, 1, random);
        TerrainSteps::WalkStamp(map, length / 2, 1, random);
    }
    pictures.Save(setup, "B");
    TerrainSteps::SmoothMap(map, figures.smoothingPasses, 1);
    pictures.Save(setup, "C");
    WalkPairs(setup, 150, 10, 50);
    pictures.Save(setup, "D");
    WalkPairs(setup, 50, 50, 150);
    pictures.Save(setup, "E");
    ShapeRolling(map);
    BuildPreviews(setup);
    pictures.Save(setup, "F");
    return true;
}

bool GenerateIsland(WorldSetup& setup, const WorldParameterList& parameters, StepPictures& pictures)
{
    const WalkFigures figures = ReadWalkFigures(setup, parameters);
    const std::int32_t heightCap = ReadWorldParameterInt(parameters, WorldParameterId::HeightCap);
    HeightMap& map = setup.GetHeightMap();
    if (map.IsEmpty())
        return false;
    TerrainRandom& random = setup.GetRandom();

    map.Fill(HeightMap::ToSample(static_cast<double>(setup.GetWaterLevel()) - 100.0));
    pictures.Save(setup, "A1");
    for (int walker = 0; walker < figures.walkers; ++walker)
    {
        const std::int32_t length = WalkLength(figures, random);
        TerrainSteps::WalkStamp(map, length / 2, 3, random);
        TerrainSteps::WalkStamp(map, length, 3, random);
    }
    pictures.Save(setup, "A2");
    TerrainSteps::SmoothMap(map, figures.smoothingPasses, 1);
    pictures.Save(setup, "A3");
    WalkPairs(setup, 150, 50, 10);
    pictures.Save(setup, "A4");
    WalkPairs(setup, 50, 150, 50);
    pictures.Save(setup, "A5");
    for (int peak = 0; peak < kIslandPeakCount; ++peak)
    {
        int x = 0;
        int z = 0;
        TerrainSteps::PickDiscPoint(map.GetWidth(), random, x, z);
        map.Set(x, z, kIslandPeak);
    }
    pictures.Save(setup, "A6");
    TerrainSteps::SmoothMap(map, 1, 1);
    pictures.Save(setup, "A7");
    ShapeIsland(map, heightCap);
    BuildPreviews(setup);
    return true;
}
} // namespace

TerrainOutcome GenerateTerrain(WorldSetup& setup, const WorldParameterList& parameters, std::string_view pictureFolder)
{
    TerrainOutcome outcome;
    setup.SetParameters(parameters);
    setup.SetSize(0, 0);
    setup.SetWorldHeight(0);
    setup.SetWaterLevel(0.0f);
    setup.RestartRandom();
    StepPictures pictures(pictureFolder, outcome);

    switch (ReadWorldParameterInt(parameters, WorldParameterId::TerrainType))
    {
    case static_cast<std::int32_t>(TerrainType::Rolling):
        outcome.built = GenerateRolling(setup, parameters, pictures);
        break;
    case static_cast<std::int32_t>(TerrainType::Flat):
        outcome.built = GenerateFlat(setup, parameters);
        break;
    case static_cast<std::int32_t>(TerrainType::Island):
        outcome.built = GenerateIsland(setup, parameters, pictures);
        break;
    default:
        break;
    }
    if (!outcome.built)
        setup.SetSize(0, 0);
    return outcome;
}

void RegeneratePreview(WorldSetup& setup, int index)
{
    HeightMap& map = setup.GetPreviewMap(index);
    if (index == 0)
        TerrainSteps::DrawWavyLines(map, setup.GetRandom());
    else
        map.Fill(kSecondPreviewHeight);
    setup.GetPreviewPicture(index) = HeightMapPicture::Make(map, setup.GetWaterLevel());
}
