#version 110
// Glitch: the picture split into red, green and blue that drift apart on the
// beat, with torn horizontal slices, scanlines and a slow heat shimmer.

uniform sampler2D tex;  // the picture, unit 0
uniform float time;     // seconds of music
uniform float beat;     // 0..1

float Hash(float n)
{
    return fract(sin(n) * 43758.5453);
}

void main()
{
    vec2 uv = gl_TexCoord[0].xy;

    // Slices tear sideways on strong beats; which slices changes 12 times a second.
    float slice = floor(uv.y * 24.0);
    float tick = floor(time * 12.0);
    float tear = (Hash(slice + tick * 7.0) - 0.5) * step(0.75, Hash(slice * 3.0 + tick)) * beat * 0.25;
    float shimmer = 0.004 * sin(uv.y * 40.0 + time * 3.0);
    vec2 at = vec2(uv.x + tear + shimmer, uv.y);

    float split = 0.004 + 0.03 * beat;
    float red = texture2D(tex, at + vec2(split, 0.0)).r;
    float green = texture2D(tex, at).g;
    float blue = texture2D(tex, at - vec2(split, 0.0)).b;
    vec3 colour = vec3(red, green, blue);

    float scan = 0.85 + 0.15 * sin(gl_FragCoord.y * 3.14159);
    colour *= scan * (0.9 + 0.3 * beat);
    gl_FragColor = vec4(colour, 1.0);
}
