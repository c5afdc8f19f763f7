#version 110
// Polar tunnel: the box-field picture is wrapped around the centre of the
// screen, angle across and inverse distance along, so it streams out of a
// vanishing point like the walls of a tunnel.

uniform sampler2D tex;   // the offscreen picture, unit 0
uniform float time;      // seconds; 0 unless the effect feeds it
uniform vec2 resolution; // pixels; 0 unless the effect feeds it

const float TAU = 6.2831853;

void main()
{
    vec2 p = gl_TexCoord[0].xy * 2.0 - 1.0;
    float aspect = resolution.y > 0.0 ? resolution.x / resolution.y : 4.0 / 3.0;
    p.x *= aspect;

    float r = max(length(p), 0.001);
    float angle = atan(p.y, p.x) / TAU + 0.5;
    // The scene fills the middle of the buffer's lower-left part: sweep the
    // angle back and forth across its middle half, four times around the
    // circle, and fold the depth back and forth through its middle band.
    float across = abs(fract(angle * 4.0 + 0.02 * time) * 2.0 - 1.0);
    float along = abs(fract(0.2 / r + 0.1 * time) * 2.0 - 1.0);
    vec2 at = vec2(0.25 + 0.5 * across, 0.18 + 0.4 * along);
    vec3 walls = texture2D(tex, at).rgb;

    // Darkness in the far distance, a coloured haze near the edges.
    float depth = smoothstep(0.05, 0.6, r);
    vec3 haze = mix(vec3(0.5, 0.1, 0.7), vec3(0.1, 0.6, 0.9), 0.5 + 0.5 * sin(angle * TAU * 3.0));
    vec3 colour = walls * depth * 1.3 + haze * 0.25 * depth * depth;
    // A glowing core where the tunnel ends.
    colour += vec3(1.0, 0.7, 0.4) * 0.08 / (r + 0.08) * (1.0 - depth);
    gl_FragColor = vec4(colour, 1.0);
}
