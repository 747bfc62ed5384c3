#version 150
// Engine pictures: image quads, sprites and text. v = 0 is the picture's top row.
uniform mat4 MVP;
in vec3 vPos;
in vec2 vUv;
out vec2 uv;

void main()
{
    uv = vUv;
    gl_Position = MVP * vec4(vPos, 1.0);
}
