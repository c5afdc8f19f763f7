#version 110
// The feedback picture through slow horizontal waves that grow with the beat.

uniform sampler2D tex;  // the working picture, unit 0
uniform float time;     // milliseconds of music
uniform float beat;     // 0..1

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    float s = time * 0.001;
    float strength = 0.003 + 0.012 * beat;
    uv.x += strength * sin(uv.y * 18.0 + s * 2.1);
    uv.y += 0.5 * strength * sin(uv.x * 11.0 - s * 1.7);
    gl_FragColor = vec4(texture2D(tex, uv).rgb, 1.0);
}
