#version 150
// Back sides of translucent cells (water, guides): drawn with front faces culled, before the
// translucent faces themselves, so that from inside water the surface and the far walls still
// show. Same packed corner as voxelShader.vs; the face is lit as seen from inside (the normal
// turned around) and no colour table is needed, since colour voxels are never translucent.
uniform mat4 MVP;
uniform vec4 LightDirection;
uniform float Ambient;
uniform vec2 FogRange;

in uint vPacked;

out vec2 faceUv;
flat out uint tile;
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

    // Seen from inside the tile is mirrored left to right; undo that so it reads the same way.
    float u = -dot(position, Rights[face]);
    faceUv = vec2(flipped ? -u : u, -dot(position, Ups[face]));
    tile = (vPacked >> 22) & 255u;

    vec3 toLight = -LightDirection.xyz;
    float diffuse = dot(toLight, toLight) > 0.0 ? max(dot(-Normals[face], toLight), 0.0) : 1.0;
    light = Ambient + (1.0 - Ambient) * diffuse * clamp(LightDirection.w, 0.0, 1.0);

    gl_Position = MVP * vec4(position, 1.0);
    fog = clamp((gl_Position.w - FogRange.x) / (FogRange.y - FogRange.x), 0.0, 1.0);
}
