#version 150
// The ground plane: its picture tinted by the corner colour, faded as the viewer rises (fade) and
// towards the plane's rim, so the square never ends in a hard edge on the horizon.
uniform sampler2D Grid;
uniform float fade;                // 1 on the ground, 0 at height 64

in vec3 colour;
in vec2 uv;
in vec2 offViewer;

out vec4 fragColour;

void main()
{
    vec4 texel = texture(Grid, uv);
    float rim = 1.0 - smoothstep(250.0, 480.0, length(offViewer));
    fragColour = vec4(texel.rgb * colour, texel.a * fade * rim);
}
