#version 150
// Chunk faces. Each corner is one packed word (engine VoxelMesh.h):
//   bits 0-5 x, 6-11 y, 12-17 z (voxels in the chunk), 18-20 face, 21 flipped,
//   22-29 atlas tile or colour index, 30 colour voxel.
// Colour voxels take their colour from the chunk's colour table (256 x 1 texture on unit 1, read
// at draw time); textured faces sample their tile of the atlas in the fragment stage.
uniform mat4 MVP;                  // view-projection * translation(location) * scale
uniform sampler2D ColourTable;     // 256 x 1: the plain or special colour table
uniform vec4 LightDirection;       // xyz the direction the light travels, w its intensity
uniform float Ambient;             // light every face gets
uniform vec2 FogRange;             // eye distances where fog starts and where it is complete

in uint vPacked;

out vec2 faceUv;                   // repeats once per voxel across merged faces
flat out uint tile;
flat out vec4 baseColour;          // table colour of a colour voxel, white otherwise
flat out float isColour;
flat out float light;
out float fog;

const vec3 Normals[6] = vec3[6](vec3(0, 0, 1), vec3(0, 0, -1), vec3(-1, 0, 0), vec3(1, 0, 0), vec3(0, 1, 0), vec3(0, -1, 0));
const vec3 Rights[6] = vec3[6](vec3(1, 0, 0), vec3(-1, 0, 0), vec3(0, 0, 1), vec3(0, 0, -1), vec3(1, 0, 0), vec3(1, 0, 0));
const vec3 Ups[6] = vec3[6](vec3(0, 1, 0), vec3(0, 1, 0), vec3(0, 1, 0), vec3(0, 1, 0), vec3(0, 0, -1), vec3(0, 0, 1));

void main()
{
    vec3 position = vec3(float(vPacked & 63u), float((vPacked >> 6) & 63u), float((vPacked >> 12) & 63u));
    int face = int(min((vPacked >> 18) & 7u, 5u));
    bool flipped = (vPacked & (1u << 21)) != 0u;
    uint index = (vPacked >> 22) & 255u;
    bool colour = (vPacked & (1u << 30)) != 0u;

    float u = dot(position, Rights[face]);
    faceUv = vec2(flipped ? -u : u, -dot(position, Ups[face]));
    tile = index;
    isColour = colour ? 1.0 : 0.0;
    baseColour = colour ? texelFetch(ColourTable, ivec2(int(index), 0), 0) : vec4(1.0);

    vec3 toLight = -LightDirection.xyz;
    float diffuse = dot(toLight, toLight) > 0.0 ? max(dot(Normals[face], toLight), 0.0) : 1.0;
    light = Ambient + (1.0 - Ambient) * diffuse * clamp(LightDirection.w, 0.0, 1.0);

    gl_Position = MVP * vec4(position, 1.0);
    fog = clamp((gl_Position.w - FogRange.x) / (FogRange.y - FogRange.x), 0.0, 1.0);
}
