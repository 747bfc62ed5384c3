#version 150
// The picture cube of the menu rooms: a cube whose six inner walls show the six cells of a
// 3 x 2 picture (a model's thumbnail), seen through its open near side.
uniform mat4 MVP;
in vec3 vPos;
in vec3 vNorm;
in vec2 vUv;
out vec2 uv;
out vec3 normal;
void main()
{
    uv = vUv;
    normal = vNorm;
    gl_Position = MVP * vec4(vPos, 1.0);
}
