#version 150
// The ground plane under the world. The model matrix only moves the plane to the viewer's voxel,
// so a corner's x and z are already its offset from the viewer (within one voxel).
uniform mat4 MVP;

in vec3 vPos;
in vec3 vCol;
in vec2 vUv;

out vec3 colour;
out vec2 uv;
out vec2 offViewer;                // horizontal offset from the viewer's voxel

void main()
{
    colour = vCol;
    uv = vUv;
    offViewer = vPos.xz;
    gl_Position = MVP * vec4(vPos, 1.0);
}
