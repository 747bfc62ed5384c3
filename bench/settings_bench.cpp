// Reading a user settings text (GameSettings::ReadUserText, the whole reader the start-up runs):
// 100,000 nested "ControlMap" elements (2.5 MB), beside a flat text of the same size (elements of
// a name no setting has, one after another) as the reference measured in the same run. The
// program prints settings_nested_100k_ms, settings_flat_same_size_ms and their ratio at the end.
#include "settings/GameSettings.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace
{
constexpr int kNesting = 100000;

const std::wstring& NestedText()
{
    static const std::wstring text = [] {
        std::wstring nested;
        for (int i = 0; i < kNesting; ++i)
            nested += L"<ControlMap>";
        for (int i = 0; i < kNesting; ++i)
            nested += L"</ControlMap>";
        return nested;
    }();
    return text;
}

const std::wstring& FlatText()
{
    static const std::wstring text = [] {
        std::wstring flat;
        while (flat.size() < NestedText().size())
            flat += L"<Unknown1>ab</Unknown1>";
        flat.resize(NestedText().size(), L'x');
        return flat;
    }();
    return text;
}

// The settings' folders, removed when the program ends.
const std::filesystem::path& BenchFolder()
{
    static const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("quillot-settings-bench-" + std::to_string(::getpid()));
    return folder;
}

GameSettings& Settings()
{
    const std::filesystem::path& folder = BenchFolder();
    static GameSettings settings(SettingsFolders::FromBases(PimWString::Widen(folder.string()),
                                                            PimWString::Widen((folder / "data").string()),
                                                            PimWString::Widen((folder / "Pictures").string())));
    return settings;
}

void ReadText(benchmark::State& state, const std::wstring& text)
{
    GameSettings& settings = Settings();
    for (auto _ : state)
        benchmark::DoNotOptimize(settings.ReadUserText(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_ReadNestedSettings(benchmark::State& state) { ReadText(state, NestedText()); }
void BM_ReadFlatSettings(benchmark::State& state) { ReadText(state, FlatText()); }

BENCHMARK(BM_ReadNestedSettings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFlatSettings)->Unit(benchmark::kMillisecond);

// Keeps the milliseconds per read of every benchmark, to print them as name=value lines.
class Collector : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            milliseconds[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> milliseconds;
};
}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();
    const auto found = [&](const char* name) {
        const auto at = collector.milliseconds.find(name);
        return at == collector.milliseconds.end() ? 0.0 : at->second;
    };
    const double nested = found("BM_ReadNestedSettings");
    const double flat = found("BM_ReadFlatSettings");
    std::printf("settings_nested_100k_ms=%.2f\n", nested);
    std::printf("settings_flat_same_size_ms=%.2f\n", flat);
    if (flat > 0)
        std::printf("settings_nested_x_flat=%.2f\n", nested / flat);
    std::error_code ec;
    std::filesystem::remove_all(BenchFolder(), ec);
    return 0;
}
