#pragma once

#include "engine/PimShader.h"
#include "engine/PimSystem.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <vector>

// A flat-coloured 2-D shader: "vPos" in clip space, "Colour" as a uniform.
inline constexpr const char* FlatVertexSource = R"(#version 150
in vec2 vPos;
void main() { gl_Position = vec4(vPos, 0.0, 1.0); }
)";
inline constexpr const char* FlatFragmentSource = R"(#version 150
uniform vec4 Colour;
out vec4 fragColour;
void main() { fragColour = Colour; }
)";

// A textured 2-D shader: the top of the screen samples v = 0.
inline constexpr const char* PictureVertexSource = R"(#version 150
in vec2 vPos;
out vec2 uv;
void main()
{
    uv = vec2((vPos.x + 1.0) * 0.5, (1.0 - vPos.y) * 0.5);
    gl_Position = vec4(vPos, 0.0, 1.0);
}
)";
inline constexpr const char* PictureFragmentSource = R"(#version 150
uniform sampler2D picture;
in vec2 uv;
out vec4 fragColour;
void main() { fragColour = texture(picture, uv); }
)";

// Triangles of 2-D clip-space points in a vertex buffer. Main thread, GL context open.
class TriangleMesh
{
public:
    explicit TriangleMesh(std::initializer_list<float> xy) : count(static_cast<GLsizei>(xy.size() / 2))
    {
        const std::vector<float> data(xy);
        glGenBuffers(1, &buffer);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.size() * sizeof(float)), data.data(), GL_STATIC_DRAW);
    }
    ~TriangleMesh() { glDeleteBuffers(1, &buffer); }
    TriangleMesh(const TriangleMesh&) = delete;
    TriangleMesh& operator=(const TriangleMesh&) = delete;

    void Draw(const PimShader& shader) const
    {
        const GLint position = shader.GetAttributeLocation("vPos");
        ASSERT_GE(position, 0);
        shader.Use();
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glEnableVertexAttribArray(static_cast<GLuint>(position));
        glVertexAttribPointer(static_cast<GLuint>(position), 2, GL_FLOAT, GL_FALSE, 0, nullptr);
        glDrawArrays(GL_TRIANGLES, 0, count);
        glDisableVertexAttribArray(static_cast<GLuint>(position));
    }

private:
    GLuint buffer = 0;
    GLsizei count = 0;
};

inline TriangleMesh FullScreenQuad()
{
    return TriangleMesh({-1, -1, 1, -1, -1, 1, -1, 1, 1, -1, 1, 1});
}

// Opens the offscreen display the way the program would under SDL_VIDEODRIVER=offscreen.
class OffscreenRender : public testing::Test
{
protected:
    static constexpr int Width = 64;
    static constexpr int Height = 48;

    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        ASSERT_TRUE(PimSystem::Initialize(Parameters()));
        ASSERT_TRUE(PimSystem::HasGL());
    }
    void TearDown() override { PimSystem::Shutdown(); }

    static PimSystemParameters Parameters()
    {
        PimSystemParameters parameters;
        parameters.width = Width;
        parameters.height = Height;
        parameters.fixedFrameSeconds = 1.0 / 60.0;
        return parameters;
    }

    // Runs one frame of the loop with `draw` in its Draw phase, where the frame can be captured.
    static void DrawOneFrame(const std::function<void()>& draw)
    {
        const PimCallbackId id = PimSystem::AddFrameCallback(PimFramePhase::Draw, draw);
        EXPECT_EQ(PimSystem::RunFrames(1), 1u);
        PimSystem::RemoveCallback(id);
    }
};
