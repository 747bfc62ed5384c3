// The menu sounds, 16-bit mono WAV at 44.1 kHz, synthesised here:
// - "Sound/Menu/buttonClick.wav": pressing a play button, a bright wooden click with a short
//   rising chime;
// - "Sound/Menu/menuButton.wav": leaving or entering a page, a soft two-note "bloop";
// - "Sound/Menu/deleteFile.wav": a model going to the recycle bin, a paper crumple falling into a
//   low thud;
// - "Sound/Menu/ballBounce.wav": the loading booth's ball hitting a wall, a short rubbery knock
//   with a falling pitch.
#include "content_output.h"
#include "families.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace
{
constexpr int kRate = 44100;
constexpr float kTau = 2.0f * std::numbers::pi_v<float>;

std::vector<float> Silence(float seconds)
{
    return std::vector<float>(static_cast<std::size_t>(seconds * kRate), 0.0f);
}

// A decaying sine whose pitch glides from f0 to f1, added at a start time.
void Tone(std::vector<float>& out, float start, float length, float f0, float f1, float gain, float decay)
{
    float phase = 0.0f;
    const std::size_t first = static_cast<std::size_t>(start * kRate);
    const std::size_t count = static_cast<std::size_t>(length * kRate);
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i)
    {
        const float t = static_cast<float>(i) / kRate;
        const float f = f0 + (f1 - f0) * (t / length);
        phase += kTau * f / kRate;
        const float attack = std::min(1.0f, t / 0.003f);
        out[first + i] += std::sin(phase) * gain * attack * std::exp(-t * decay);
    }
}

// Filtered noise bursts: a one-pole low-pass whose cut-off falls over the sound.
void Noise(std::vector<float>& out, float start, float length, float gain, float decay, float brightness, unsigned seed)
{
    float low = 0.0f;
    const std::size_t first = static_cast<std::size_t>(start * kRate);
    const std::size_t count = static_cast<std::size_t>(length * kRate);
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i)
    {
        seed = seed * 1664525u + 1013904223u;
        const float white = static_cast<float>(seed >> 8) / static_cast<float>(1u << 24) * 2.0f - 1.0f;
        const float t = static_cast<float>(i) / kRate;
        const float cut = brightness * (1.0f - t / length) + 0.02f;
        low += (white - low) * cut;
        // Crackle: the level flickers as the paper folds.
        const float flicker = 0.6f + 0.4f * std::sin(t * 190.0f + std::sin(t * 53.0f) * 4.0f);
        out[first + i] += low * gain * flicker * std::exp(-t * decay);
    }
}

bool WriteWave(const ContentOutput& output, const char* relative, std::vector<float> samples)
{
    float peak = 0.0f;
    for (const float s : samples)
        peak = std::max(peak, std::fabs(s));
    const float gain = peak > 0.0f ? 0.8f / peak : 0.0f;
    // A short fade at the end so the sound never stops with a click.
    const std::size_t fade = std::min<std::size_t>(samples.size(), kRate / 200);
    for (std::size_t i = 0; i < fade; ++i)
        samples[samples.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(fade);

    std::vector<std::uint8_t> bytes;
    const auto put32 = [&bytes](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    const auto put16 = [&bytes](std::uint16_t v) {
        bytes.push_back(static_cast<std::uint8_t>(v));
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
    put32(36 + dataBytes);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(16);
    put16(1);  // PCM
    put16(1);  // mono
    put32(kRate);
    put32(kRate * 2);
    put16(2);
    put16(16);
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    put32(dataBytes);
    for (const float s : samples)
        put16(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(std::clamp(s * gain, -1.0f, 1.0f) * 32767.0f))));
    return output.WriteBytes(relative, bytes);
}
}

bool GenerateMenuSounds(const ContentOutput& output)
{
    std::vector<float> click = Silence(0.18f);
    Noise(click, 0.0f, 0.02f, 0.8f, 180.0f, 0.9f, 7u);
    Tone(click, 0.0f, 0.05f, 1800.0f, 1400.0f, 0.5f, 70.0f);
    Tone(click, 0.03f, 0.15f, 1320.0f, 1760.0f, 0.35f, 30.0f);

    std::vector<float> page = Silence(0.26f);
    Tone(page, 0.0f, 0.12f, 520.0f, 600.0f, 0.6f, 25.0f);
    Tone(page, 0.09f, 0.17f, 780.0f, 860.0f, 0.5f, 20.0f);

    std::vector<float> remove = Silence(0.45f);
    Noise(remove, 0.0f, 0.3f, 0.7f, 9.0f, 0.35f, 99u);
    Tone(remove, 0.26f, 0.19f, 140.0f, 70.0f, 0.9f, 22.0f);

    std::vector<float> bounce = Silence(0.2f);
    Noise(bounce, 0.0f, 0.015f, 0.5f, 250.0f, 0.5f, 31u);
    Tone(bounce, 0.0f, 0.16f, 310.0f, 170.0f, 0.8f, 28.0f);
    Tone(bounce, 0.0f, 0.08f, 620.0f, 400.0f, 0.25f, 45.0f);

    return WriteWave(output, "Sound/Menu/buttonClick.wav", click) && WriteWave(output, "Sound/Menu/menuButton.wav", page) &&
           WriteWave(output, "Sound/Menu/deleteFile.wav", remove) && WriteWave(output, "Sound/Menu/ballBounce.wav", bounce);
}
