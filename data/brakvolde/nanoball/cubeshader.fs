#version 110
// The rod ball: each rod and tip flare shows its picture lit from the front,
// with a cold rim where the surface turns away; the current colour carries
// the effect's beat level and fade.

uniform sampler2D tex;  // the rod or flare picture, unit 0

varying vec3 normal;
varying vec3 eyePos;

void main()
{
    vec3 n = normalize(normal);
    vec3 view = normalize(-eyePos);
    float facing = abs(dot(n, view));
    vec3 picture = texture2D(tex, gl_TexCoord[0].xy).rgb;
    vec3 colour = picture * (0.35 + 0.9 * facing) + vec3(0.3, 0.6, 1.0) * pow(1.0 - facing, 3.0);
    gl_FragColor = vec4(colour * gl_Color.rgb, 1.0);
}
