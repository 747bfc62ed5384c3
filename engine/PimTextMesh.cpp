#include "engine/PimTextMesh.h"

#include "engine/PimFont.h"
#include "engine/PimSystem.h"

#include <GL/glew.h>

#include <algorithm>

namespace
{
void AddCell(std::vector<PimPictureVertex>& vertices, int cell, float left, float top)
{
    const float u0 = static_cast<float>(cell % PimFont::Columns) / PimFont::Columns;
    const float u1 = static_cast<float>(cell % PimFont::Columns + 1) / PimFont::Columns;
    const float v0 = static_cast<float>(cell / PimFont::Columns) / PimFont::Rows;
    const float v1 = static_cast<float>(cell / PimFont::Columns + 1) / PimFont::Rows;
    const float right = left + 1.0f;
    const float bottom = top - 1.0f;
    // Two counter-clockwise triangles seen from +z; v = 0 is the cell's top.
    vertices.insert(vertices.end(), {
                                        {left, bottom, 0.0f, u0, v1},
                                        {right, bottom, 0.0f, u1, v1},
                                        {left, top, 0.0f, u0, v0},
                                        {left, top, 0.0f, u0, v0},
                                        {right, bottom, 0.0f, u1, v1},
                                        {right, top, 0.0f, u1, v0},
                                    });
}
}

void PimTextMesh::SetText(std::wstring_view newText)
{
    if (newText == text)
        return;
    text = PimWString(newText);
    vertices.clear();
    columns = 0;
    lines = text.empty() ? 0 : 1;
    int column = 0;
    for (const wchar_t character : text)
    {
        if (character == L'\n')
        {
            ++lines;
            column = 0;
            continue;
        }
        if (character == L'\r')
            continue;
        const char32_t code = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(character));
        int cell = PimFont::CellOf(code);
        if (cell < 0)
            cell = PimFont::CellOf(PimFont::Replacement);
        if (code != U' ')
            AddCell(vertices, cell, static_cast<float>(column), -static_cast<float>(lines - 1));
        ++column;
        columns = std::max(columns, column);
    }
    bufferStale = true;
}

bool PimTextMesh::Draw(const PimMatrix4x4& mvp, PimColor color)
{
    const PimTexture* font = PimFont::GetPicture();
    if (!font || vertices.empty() || !PimSystem::HasGL())
        return false;
    if (bufferStale || !buffer.HasData())
    {
        if (!buffer.Upload(vertices.data(), vertices.size() * sizeof(PimPictureVertex)))
            return false;
        bufferStale = false;
    }
    buffer.Bind();
    return PimDrawResources::DrawPictureVertices(*font, mvp, color, GL_TRIANGLES, 0, static_cast<int>(vertices.size()));
}
