#pragma once

#include "engine/PimWString.h"

#include <string_view>

// Putting a file that cannot be used out of the way of the writers, without losing it: it is
// renamed to the first free name of the form path + suffix, then path + suffix + "2", "3", ...
// so that an earlier file put aside is never written over.
//
// Any thread; two threads putting the same path aside at once may both pick one free name.
namespace PimFileAside
{
// The name the file was moved to; empty when it could not be moved (no free name among the
// first hundred, or the move failed), and the file is then where it was.
PimWString MoveToFreeName(const PimWString& path, std::wstring_view suffix);
}
