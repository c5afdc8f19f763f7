#version 110
// Kaleidoscope: the picture folded into eight mirrored wedges that turn with
// the music and zoom out on the beat.

uniform sampler2D tex;  // the picture, unit 0
uniform float time;     // seconds of music
uniform float beat;     // 0..1

const float TAU = 6.2831853;
const float WEDGES = 8.0;

void main()
{
    vec2 p = gl_TexCoord[0].xy * 2.0 - 1.0;
    p.x *= 4.0 / 3.0;
    float r = length(p);
    float angle = atan(p.y, p.x) + time * 0.3;

    float wedge = TAU / WEDGES;
    float a = mod(angle, wedge);
    a = min(a, wedge - a);  // mirror every other half-wedge

    float zoom = 0.55 + 0.25 * sin(time * 0.4) - 0.15 * beat;
    vec2 at = vec2(cos(a), sin(a)) * r * zoom + vec2(0.5 + 0.2 * sin(time * 0.23), 0.5);
    vec3 colour = texture2D(tex, at).rgb;

    float pulse = exp(-r * (4.0 - 2.5 * beat)) * beat;
    colour = colour * (0.85 + 0.4 * beat) + vec3(0.9, 0.8, 1.0) * pulse;
    colour *= 1.0 - 0.4 * smoothstep(0.8, 1.6, r);
    gl_FragColor = vec4(colour, 1.0);
}
