#pragma once

#include <cstdint>

// The world part of the first-time tutorial as the editor sees it: numbered steps, each taken when
// the user has done what the step before taught. The tutorial marker (pages/TutorialMarker)
// implements it; the world page hands it to the editor. A step is taken only when it is exactly
// one more than the last one taken, so calling a step again, or too early, changes nothing.
// Main thread only.
class TutorialSteps
{
public:
    static constexpr std::uint32_t kLastStep = 7;

    virtual ~TutorialSteps() = default;
    virtual void AdvanceTutorial(std::uint32_t step) = 0;
    // 0 before the first step.
    virtual std::uint32_t GetLastStep() const = 0;
};
