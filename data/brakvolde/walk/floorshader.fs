#version 110
// The walking cube's floor: the repeating checkerboard, its brightness set by
// intensity (0.25 on silence is full brightness), fading into the dark with
// the distance from the eye.

uniform sampler2D tex;    // the checkerboard, unit 0
uniform float intensity;  // 0.25 on silence, 0.15 on a full beat

// Eye-space distance from the window depth, for the near 0.1 / far 1000 perspective.
float EyeDepth()
{
    float z = gl_FragCoord.z * 2.0 - 1.0;
    return 2.0 * 0.1 * 1000.0 / (1000.1 - z * 999.9);
}

void main()
{
    vec3 checks = texture2D(tex, gl_TexCoord[0].xy).rgb;
    float fade = exp(-EyeDepth() * 0.09);
    gl_FragColor = vec4(checks * intensity * 4.0 * fade * gl_Color.rgb, 1.0);
}
