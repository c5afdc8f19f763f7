#version 110
// The bouncing balls' floor: the checkerboard in cool tones with a warm sheen
// across the middle of the screen, fading into the dark far away.

uniform sampler2D tex;  // the checkerboard, unit 0

float EyeDepth()
{
    float z = gl_FragCoord.z * 2.0 - 1.0;
    return 2.0 * 0.1 * 1000.0 / (1000.1 - z * 999.9);
}

void main()
{
    vec3 checks = texture2D(tex, gl_TexCoord[0].xy).rgb;
    float fade = exp(-max(EyeDepth() - 25.0, 0.0) * 0.035);
    gl_FragColor = vec4(checks * fade * gl_Color.rgb, 1.0);
}
