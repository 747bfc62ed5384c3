// PimVrKeyboard's drawing: coloured key quads and stroke-font labels in one vertex buffer.

#include "engine/PimVrKeyboard.h"

#include "engine/PimDrawStats.h"
#include "engine/PimShader.h"
#include "engine/PimStrokeFont.h"
#include "engine/PimSystem.h"

#include <GL/glew.h>

#include <algorithm>

namespace
{
constexpr const char* VertexSource = R"(#version 150
in vec3 vPos;
in vec4 vColor;
uniform mat4 MVP;
out vec4 colour;
void main()
{
    colour = vColor;
    gl_Position = MVP * vec4(vPos, 1.0);
}
)";
constexpr const char* FragmentSource = R"(#version 150
in vec4 colour;
out vec4 outColor;
void main() { outColor = colour; }
)";

struct Rgba
{
    float r, g, b, a;
};

constexpr Rgba PanelColour{0.10f, 0.10f, 0.12f, 1.0f};
constexpr Rgba TextLineColour{0.02f, 0.02f, 0.03f, 1.0f};
constexpr Rgba KeyColour{0.28f, 0.29f, 0.32f, 1.0f};
constexpr Rgba EnterColour{0.20f, 0.42f, 0.25f, 1.0f};
constexpr Rgba CancelColour{0.45f, 0.20f, 0.20f, 1.0f};
constexpr Rgba TouchedColour{0.45f, 0.62f, 0.90f, 1.0f};
constexpr Rgba LabelColour{1.0f, 1.0f, 1.0f, 1.0f};

// Heights above the panel in keyboard units, so that keys and labels never fight for depth.
constexpr float PanelDepth = -0.004f;
constexpr float KeyDepth = 0.0f;
constexpr float LabelDepth = 0.002f;

constexpr float LabelHeight = 0.045f;
constexpr float TextHeight = 0.05f;
constexpr float TextLineBottom = 0.26f;
constexpr float TextLineTop = 0.38f;

class VertexList
{
public:
    void Quad(float x0, float y0, float x1, float y1, float z, const Rgba& c)
    {
        Vertex(x0, y0, z, c);
        Vertex(x1, y0, z, c);
        Vertex(x1, y1, z, c);
        Vertex(x0, y0, z, c);
        Vertex(x1, y1, z, c);
        Vertex(x0, y1, z, c);
    }
    // Strokes given as x, y pairs, two points a stroke.
    void Lines(const std::vector<float>& points, float z, const Rgba& c)
    {
        for (std::size_t i = 0; i + 1 < points.size(); i += 2)
            Vertex(points[i], points[i + 1], z, c);
    }
    std::size_t Count() const { return data.size() / Stride; }
    const std::vector<float>& Data() const { return data; }

    static constexpr std::size_t Stride = 7;

private:
    void Vertex(float x, float y, float z, const Rgba& c) { data.insert(data.end(), {x, y, z, c.r, c.g, c.b, c.a}); }

    std::vector<float> data;
};

// Unit size that fits text of the wanted height into a width.
float FitUnit(std::string_view text, float height, float width)
{
    const float unit = height / PimStrokeFont::GlyphHeight;
    const float textWidth = PimStrokeFont::TextWidth(text);
    return textWidth * unit > width && textWidth > 0.0f ? width / textWidth : unit;
}
}

struct PimVrKeyboard::DrawResources
{
    PimShader shader;
    GLuint buffer = 0;
    std::uint32_t generation = 0;

    ~DrawResources()
    {
        if (buffer != 0 && generation == PimSystem::GetGLContextGeneration() && PimSystem::IsMainThread())
            glDeleteBuffers(1, &buffer);
    }

    // The buffer and program of the current GL context (made again after the context changed).
    bool Ready()
    {
        const std::uint32_t current = PimSystem::GetGLContextGeneration();
        if (generation != current)
        {
            buffer = 0;
            generation = current;
            glGenBuffers(1, &buffer);
        }
        if (!shader.IsValid())
            shader.LoadShaderDirect(VertexSource, FragmentSource);
        return buffer != 0 && shader.IsValid();
    }
};

void PimVrKeyboard::DrawResourcesDeleter::operator()(DrawResources* resources) const
{
    delete resources;
}

void PimVrKeyboard::Draw(const PimMatrix4x4& viewProjection)
{
    if (!PimSystem::HasGL() || !PimSystem::IsMainThread())
        return;
    if (!drawResources)
        drawResources.reset(new DrawResources());
    if (!drawResources->Ready())
        return;

    VertexList triangles;
    std::vector<float> strokes;
    triangles.Quad(-0.03f, -2.5f * KeyPitch - 0.02f, 10 * KeyPitch + 0.03f, TextLineTop + 0.02f, PanelDepth,
                   PanelColour);
    triangles.Quad(0.0f, TextLineBottom, 10 * KeyPitch, TextLineTop, KeyDepth, TextLineColour);
    for (std::size_t i = 0; i < keys.size(); ++i)
    {
        const Key& k = keys[i];
        const bool isTouched = touched[0] == static_cast<int>(i) || touched[1] == static_cast<int>(i);
        const Rgba& colour = isTouched                 ? TouchedColour
            : k.kind == KeyKind::Enter                 ? EnterColour
            : k.kind == KeyKind::Cancel                ? CancelColour
                                                       : KeyColour;
        triangles.Quad(k.centreX - k.width * 0.5f, k.centreY - k.height * 0.5f, k.centreX + k.width * 0.5f,
                       k.centreY + k.height * 0.5f, KeyDepth, colour);
        const float unit = FitUnit(k.label, LabelHeight, k.width - 0.02f);
        const float labelWidth = PimStrokeFont::TextWidth(k.label) * unit;
        PimStrokeFont::AppendText(k.label, k.centreX - labelWidth * 0.5f,
                                  k.centreY - PimStrokeFont::GlyphHeight * unit * 0.5f, unit, strokes);
    }
    const std::string line = text + "_";
    const float unit = FitUnit(line, TextHeight, 10 * KeyPitch - 0.04f);
    PimStrokeFont::AppendText(line, 0.02f, (TextLineBottom + TextLineTop - PimStrokeFont::GlyphHeight * unit) * 0.5f,
                              unit, strokes);

    VertexList all = triangles;
    all.Lines(strokes, LabelDepth, LabelColour);
    const GLsizei triangleCount = static_cast<GLsizei>(triangles.Count());
    const GLsizei lineCount = static_cast<GLsizei>(all.Count()) - triangleCount;

    const PimShader& shader = drawResources->shader;
    const GLint position = shader.GetAttributeLocation("vPos");
    const GLint colour = shader.GetAttributeLocation("vColor");
    if (position < 0 || colour < 0)
        return;
    shader.Use();
    const auto mvp = (viewProjection * GetTransform()).GetFloppedMatrixDataArray();
    glUniformMatrix4fv(shader.GetUniformLocation("MVP"), 1, GL_FALSE, mvp.data());
    glBindBuffer(GL_ARRAY_BUFFER, drawResources->buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(all.Data().size() * sizeof(float)), all.Data().data(),
                 GL_STREAM_DRAW);
    const GLsizei stride = static_cast<GLsizei>(VertexList::Stride * sizeof(float));
    glEnableVertexAttribArray(static_cast<GLuint>(position));
    glVertexAttribPointer(static_cast<GLuint>(position), 3, GL_FLOAT, GL_FALSE, stride, nullptr);
    glEnableVertexAttribArray(static_cast<GLuint>(colour));
    glVertexAttribPointer(static_cast<GLuint>(colour), 4, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(3 * sizeof(float)));
    glDrawArrays(GL_TRIANGLES, 0, triangleCount);
    glDrawArrays(GL_LINES, triangleCount, lineCount);
    PimDrawStats::CountDrawCalls(2);
    glDisableVertexAttribArray(static_cast<GLuint>(position));
    glDisableVertexAttribArray(static_cast<GLuint>(colour));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glUseProgram(0);
}
