#version 150
// Voxel faces, in one of two vertex forms chosen by ObjectVertices:
//
// Chunk corners (ObjectVertices false): each corner is one packed word (engine VoxelMesh.h):
//   bits 0-5 x, 6-11 y, 12-17 z (voxels in the chunk), 18-20 face, 21 flipped,
//   22-29 atlas tile or colour index, 30 colour voxel.
// Colour voxels take their colour from the chunk's colour table (256 x 1 texture on unit 1, read
// at draw time); textured faces sample their tile of the atlas in the fragment stage. Lit by the
// world's light (LightDirection: xyz the direction the light travels, w its intensity) and fogged.
//
// Single cubes (ObjectVertices true): unpacked corners with their position, normal, tint and
// atlas coordinates. LightDirection.xyz then points towards the light (w its strength), and faces
// are shaded a little by axis (x 0.9, y 1, z 0.8); no fog, no colour table.
uniform bool ObjectVertices;
uniform mat4 MVP;                  // view-projection * model
uniform sampler2D ColourTable;     // 256 x 1: the plain or special colour table
uniform vec4 LightDirection;
uniform float Ambient;             // light every chunk face gets
uniform vec2 FogRange;             // eye distances where fog starts and where it is complete

in uint vPacked;
in vec3 vPos;
in vec3 vNorm;
in vec4 vColor;
in vec2 vUv;

out vec2 faceUv;                   // chunks: repeats once per voxel; cubes: atlas coordinates
flat out uint tile;
flat out vec4 baseColour;          // table colour of a colour voxel, a cube's tint, white otherwise
flat out int form;                 // 0 textured chunk face, 1 colour voxel, 2 single cube
flat out float light;
out float fog;

const float ObjectAmbient = 0.6;
// A cube's light falls on up to three faces equally; shading by axis keeps them apart.
const vec3 ObjectAxisShade = vec3(0.9, 1.0, 0.8);

const vec3 Normals[6] = vec3[6](vec3(0, 0, 1), vec3(0, 0, -1), vec3(-1, 0, 0), vec3(1, 0, 0), vec3(0, 1, 0), vec3(0, -1, 0));
const vec3 Rights[6] = vec3[6](vec3(1, 0, 0), vec3(-1, 0, 0), vec3(0, 0, 1), vec3(0, 0, -1), vec3(1, 0, 0), vec3(1, 0, 0));
const vec3 Ups[6] = vec3[6](vec3(0, 1, 0), vec3(0, 1, 0), vec3(0, 1, 0), vec3(0, 1, 0), vec3(0, 0, -1), vec3(0, 0, 1));

// Share of the light a face with this normal gets from a light towards `toLight`.
float Diffuse(vec3 normal, vec3 toLight)
{
    return dot(toLight, toLight) > 0.0 ? max(dot(normal, normalize(toLight)), 0.0) : 1.0;
}

void ObjectCorner()
{
    faceUv = vUv;
    tile = 0u;
    baseColour = vColor;
    form = 2;
    vec3 normal = dot(vNorm, vNorm) > 0.0 ? normalize(vNorm) : vec3(0.0);
    float diffuse = Diffuse(normal, LightDirection.xyz) * clamp(LightDirection.w, 0.0, 1.0);
    light = (ObjectAmbient + (1.0 - ObjectAmbient) * diffuse) * dot(abs(normal), ObjectAxisShade);
    fog = 0.0;
    gl_Position = MVP * vec4(vPos, 1.0);
}

void ChunkCorner()
{
    vec3 position = vec3(float(vPacked & 63u), float((vPacked >> 6) & 63u), float((vPacked >> 12) & 63u));
    int face = int(min((vPacked >> 18) & 7u, 5u));
    bool flipped = (vPacked & (1u << 21)) != 0u;
    uint index = (vPacked >> 22) & 255u;
    bool colour = (vPacked & (1u << 30)) != 0u;

    float u = dot(position, Rights[face]);
    faceUv = vec2(flipped ? -u : u, -dot(position, Ups[face]));
    tile = index;
    form = colour ? 1 : 0;
    baseColour = colour ? texelFetch(ColourTable, ivec2(int(index), 0), 0) : vec4(1.0);

    float diffuse = Diffuse(Normals[face], -LightDirection.xyz);
    light = Ambient + (1.0 - Ambient) * diffuse * clamp(LightDirection.w, 0.0, 1.0);

    gl_Position = MVP * vec4(position, 1.0);
    fog = clamp((gl_Position.w - FogRange.x) / (FogRange.y - FogRange.x), 0.0, 1.0);
}

void main()
{
    if (ObjectVertices)
        ObjectCorner();
    else
        ChunkCorner();
}
