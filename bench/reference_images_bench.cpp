// Loading a reference picture into its slot (decoding, the size check, the panel's layout and
// placement from the settings) beside decoding the same PNG alone, the same run's yardstick: the
// slot should cost little beyond the decoding. A 2048 x 1024 picture of noise (so the PNG does not
// shrink to nothing). Prints, besides Google Benchmark's own lines,
//   reference_load_ms_2048=X   png_decode_ms_2048=X   reference_load_ratio=X
//
// No display: the picture's GL copy is made when it is first drawn, which this leaves out.

#include "editing/ReferenceImageSet.h"

#include "settings/GameSettings.h"

#include "engine/PimPngCodec.h"
#include "engine/PimSystem.h"
#include "engine/PimTexture.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

namespace
{
using Clock = std::chrono::steady_clock;
constexpr int kWidth = 2048;
constexpr int kHeight = 1024;

std::filesystem::path folder;
double loadMs = 0.0;
double decodeMs = 0.0;

std::filesystem::path PictureFile()
{
    return folder / "noise.png";
}

void WritePicture()
{
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kWidth) * kHeight * 4);
    std::mt19937 random(7);
    for (std::size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = (i % 4 == 3) ? 255 : static_cast<std::uint8_t>(random() & 0xFF);
    PimTexture picture;
    picture.Create(kWidth, kHeight, rgba);
    picture.Save(PictureFile().string());
}

double MeanMs(Clock::duration total, benchmark::IterationCount count)
{
    return std::chrono::duration<double, std::milli>(total).count() / static_cast<double>(count);
}

void ReferenceLoad(benchmark::State& state)
{
    const PimWString base = PimWString::Widen(folder.string());
    GameSettings settings(SettingsFolders::FromBases(base, base + L"/data", base + L"/Pictures"));
    settings.activeGame.SetRefImagePath(0, PimWString::Widen(PictureFile().string()));
    settings.activeGame.SetRefImageLocation(0, {10.0f, 10.0f, 10.0f});
    ReferenceImageSet images(settings);
    Clock::duration total{};
    for (auto _ : state)
    {
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(images.LoadSlot(0));
        total += Clock::now() - start;
    }
    loadMs = MeanMs(total, state.iterations());
    state.counters["reference_load_ms_2048"] = loadMs;
}

void PngDecode(benchmark::State& state)
{
    Clock::duration total{};
    for (auto _ : state)
    {
        const Clock::time_point start = Clock::now();
        PimRgbaImage image;
        std::string error;
        benchmark::DoNotOptimize(PimPngCodec::Read(PictureFile(), image, error));
        total += Clock::now() - start;
    }
    decodeMs = MeanMs(total, state.iterations());
    state.counters["png_decode_ms_2048"] = decodeMs;
}
}

BENCHMARK(ReferenceLoad)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(PngDecode)->Unit(benchmark::kMillisecond)->Iterations(8);

int main(int argc, char** argv)
{
    folder = std::filesystem::temp_directory_path() / ("quillot-bench-reference-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    PimSystemParameters parameters;
    parameters.display = PimDisplayBackend::None;
    parameters.deviceMode = PimDeviceMode::Scripted;
    if (!PimSystem::Initialize(parameters))
        return 1;
    WritePicture();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("reference_load_ms_2048=%.3f\n", loadMs);
    std::printf("png_decode_ms_2048=%.3f\n", decodeMs);
    std::printf("reference_load_ratio=%.3f\n", decodeMs > 0.0 ? loadMs / decodeMs : 0.0);
    PimSystem::Shutdown();
    std::filesystem::remove_all(folder);
    return 0;
}
