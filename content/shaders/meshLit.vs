#version 150
// Program meshes (hands, room blocks): vertex colour lit by one direction plus an ambient share.
uniform mat4 MVP;
uniform mat4 Model;
uniform vec3 LightDirection;
in vec3 vPos;
in vec3 vNorm;
in vec4 vColor;
out vec4 colour;

void main()
{
    vec3 normal = normalize(mat3(Model) * vNorm);
    float diffuse = max(dot(normal, normalize(LightDirection)), 0.0);
    colour = vec4(vColor.rgb * (0.45 + 0.55 * diffuse), vColor.a);
    gl_Position = MVP * vec4(vPos, 1.0);
}
