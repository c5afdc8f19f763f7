#version 110
// The twisting tower: its facade lit by a searchlight that sweeps along pos
// (screen fractions), darker towards the top of the screen, and dimmed by
// the beat through intensity.

uniform sampler2D tex;    // the facade, unit 0
uniform float intensity;  // 0.25 on silence, 0.15 on a full beat
uniform vec2 resolution;  // window size in pixels
uniform vec2 pos;         // searchlight centre, 0..1 across and up the screen

void main()
{
    vec2 uv = gl_FragCoord.xy / resolution;
    vec3 facade = texture2D(tex, gl_TexCoord[0].xy).rgb;

    vec2 d = (uv - (pos + vec2(0.5, 0.0))) * vec2(resolution.x / resolution.y, 1.0);
    float spot = exp(-dot(d, d) * 6.0);
    float height = 1.0 - 0.6 * smoothstep(0.2, 1.0, uv.y);
    float light = (0.35 + 2.6 * spot) * height * intensity * 4.0;

    vec3 colour = facade * light + vec3(0.25, 0.45, 0.9) * spot * intensity * 0.8;
    gl_FragColor = vec4(colour * gl_Color.rgb, 1.0);
}
