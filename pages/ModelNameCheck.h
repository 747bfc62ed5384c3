#pragma once

#include "engine/PimWString.h"

#include <string>

class GameSettings;

// Whether a name typed on a world-name page may start a new model: not empty once its outer
// spaces are cut, a name the world store accepts as a folder name (no ".", "..", "/", "\\" or
// control characters, at most 255 bytes), and not the name of a folder already in the models
// folder (compared exactly). Main thread.
namespace ModelNameCheck
{
enum class Verdict
{
    Accepted,
    Empty,
    Unusable,
    Exists,
};

// The name as it would be used: the text without its leading and trailing spaces.
PimWString Tidy(const PimWString& text);
Verdict Check(const GameSettings& settings, const PimWString& name);
// What the page shows for a refusal, in upper case for the menu's font ("" when accepted).
std::string Explain(Verdict verdict, const PimWString& name);
}
