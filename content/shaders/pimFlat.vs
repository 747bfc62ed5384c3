#version 150
// Engine lines and flat shapes: world (or screen) positions through one matrix.
uniform mat4 MVP;
in vec3 vPos;

void main()
{
    gl_Position = MVP * vec4(vPos, 1.0);
}
