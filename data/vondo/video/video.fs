#version 110
// The video frame through one of a few filters, chosen by idx: 0 a warm
// contrast boost lit by the beat, 1 grey, 2 the negative.

uniform sampler2D tex;  // the video frame, unit 0
uniform float time;     // seconds of music
uniform float beat;     // 0..1
uniform int idx;        // the filter

void main()
{
    vec3 c = texture2D(tex, gl_TexCoord[0].xy).rgb;
    if (idx == 1) {
        c = vec3(dot(c, vec3(0.299, 0.587, 0.114)));
    } else if (idx == 2) {
        c = 1.0 - c;
    } else {
        c = smoothstep(0.05, 0.95, c);
        c *= vec3(1.05, 0.95, 0.9) * (0.85 + 0.35 * beat) + 0.03 * sin(time * vec3(1.0, 1.3, 1.7));
    }
    gl_FragColor = vec4(c, 1.0) * gl_Color;
}
