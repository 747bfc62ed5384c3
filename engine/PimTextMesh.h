#pragma once

#include "engine/PimColor.h"
#include "engine/PimDrawResources.h"
#include "engine/PimGLBuffer.h"
#include "engine/PimMatrix4x4.h"
#include "engine/PimWString.h"

#include <string_view>
#include <vector>

// The quads of a text in the font's cells, built once per change of the text and uploaded once,
// so drawing it (for each eye) costs one draw call. In text space x runs right and y up, one cell
// per unit: the character in column c of line l covers x from c to c + 1 and y from -(l + 1) to -l.
// "\n" starts a new line and "\r" is ignored; spaces take a column and draw nothing.
// Main thread only for Draw.
class PimTextMesh
{
public:
    void SetText(std::wstring_view newText);
    const PimWString& GetText() const { return text; }
    // The longest line's length and the number of lines (0 and 0 for empty text).
    int GetColumns() const { return columns; }
    int GetLines() const { return lines; }

    // Draws with the font through mvp (text space to clip space). False without a font or GL.
    bool Draw(const PimMatrix4x4& mvp, PimColor color);

private:
    PimWString text;
    std::vector<PimPictureVertex> vertices;
    int columns = 0;
    int lines = 0;
    PimGLBuffer buffer{PimGLBuffer::Kind::Vertices};
    bool bufferStale = true;
};
