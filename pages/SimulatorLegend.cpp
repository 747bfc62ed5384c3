#include "pages/SimulatorLegend.h"

#include "engine/PimDrawContext.h"
#include "engine/PimSystem.h"
#include "engine/PimVrSystem.h"

#include <algorithm>

#include <iterator>

namespace
{
constexpr PimColor kTextColour{240, 240, 210, 255};
constexpr PimColor kShadowColour{0, 0, 0, 255};
// The shadow is drawn at these pixel offsets under the text, giving a one-pixel outline.
constexpr float kShadowOffsets[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
}  // namespace

void SimulatorLegend::Update()
{
    const PimVrSystem& vr = PimVrSystem::GetInstance();
    std::vector<std::string> lines;
    if (vr.IsLegendVisible())
    {
        lines = vr.GetLegendLines();
        lines.insert(lines.end(), pageLines.begin(), pageLines.end());
    }
    const int width = PimSystem::GetFramebufferWidth();
    if (lines == shownLines && width == laidOutWidth)
        return;
    shownLines = std::move(lines);
    laidOutWidth = width;
    Layout();
}

void SimulatorLegend::Layout()
{
    texts.clear();
    shadows.clear();
    texts.reserve(shownLines.size());
    shadows.reserve(shownLines.size() * std::size(kShadowOffsets));
    const auto place = [this](std::vector<PimText>& into, const std::string& line, PimColor colour, float x, float y) {
        PimText& text = into.emplace_back();
        text.SetText(line);
        text.SetColor(colour);
        text.SetPosition({x, y});
        text.SetScale(scale);
        return text.GetSize().y;
    };
    // The longest line fits the window's width, and the text is never drawn larger than
    // kLargestScale, so the view stays visible under it.
    float widest = 0.0f;
    for (const std::string& line : shownLines)
    {
        PimText probe;
        probe.SetText(line);
        widest = std::max(widest, probe.GetSize().x);
    }
    scale = kLargestScale;
    if (widest > 0.0f && laidOutWidth > 0)
        scale = std::min(kLargestScale, (static_cast<float>(laidOutWidth) - 2.0f * kMargin) / widest);
    float y = kMargin;
    for (const std::string& line : shownLines)
    {
        for (const auto& offset : kShadowOffsets)
            place(shadows, line, kShadowColour, kMargin + offset[0], y + offset[1]);
        y += place(texts, line, kTextColour, kMargin, y) + 2.0f;
    }
}

void SimulatorLegend::Draw()
{
    if (PimDrawContext::GetEye() != PimEye::Mono)
        return;
    for (PimText& shadow : shadows)
        shadow.Draw();
    for (PimText& text : texts)
        text.Draw();
}
