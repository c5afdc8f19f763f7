#version 110
// Plasma: four travelling waves, whose directions and speeds come from the
// effect's seed, summed and coloured through a cycling palette, lighting the
// water picture from below.

uniform sampler2D tex;  // the water picture, unit 0
uniform float time;     // seconds of music
uniform vec4 dx0;       // wave numbers across, 0..10
uniform vec4 dy0;       // wave numbers down, 0..10
uniform vec4 dx1;       // wave speeds, 0..1
uniform vec4 dy1;       // wave phases, 0..1

const float TAU = 6.2831853;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec2 p = uv * 2.0 - 1.0;

    vec4 waves = sin(dx0 * p.x + dy0 * p.y + time * (0.6 + 2.4 * dx1) + TAU * dy1);
    vec2 centre = 0.4 * vec2(sin(time * 0.71 + TAU * dx1.x), cos(time * 0.53 + TAU * dy1.y));
    float ripple = sin(length(p - centre) * (6.0 + dx0.w) - time * 2.5);
    float v = dot(waves, vec4(0.25)) + 0.5 * ripple;

    vec3 colour = 0.5 + 0.5 * cos(TAU * (0.45 * v + vec3(0.0, 0.33, 0.67) + 0.07 * time));

    // The water wobbles with the plasma; its light lines glow through it.
    vec2 wobble = 0.04 * vec2(waves.x - waves.y, waves.z - waves.w);
    vec3 water = texture2D(tex, uv + wobble).rgb;
    float bright = smoothstep(0.6, 1.0, abs(v));
    vec3 result = colour * (0.35 + 0.8 * water) + water * 0.6 + vec3(bright * 0.35);
    gl_FragColor = vec4(result, 1.0);
}
