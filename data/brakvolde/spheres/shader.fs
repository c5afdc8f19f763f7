#version 110
// The sphere scene as it reaches the screen: the picture drawn off screen
// (its rows bottom first, so read upside down), split slightly into its
// colours towards the edges, with a soft glow of the bright parts and a
// vignette.

uniform sampler2D tex;  // the scene, unit 0

void main()
{
    vec2 uv = vec2(gl_TexCoord[0].x, 1.0 - gl_TexCoord[0].y);
    vec2 fromCentre = uv - 0.5;
    float r2 = dot(fromCentre, fromCentre);
    vec2 shift = fromCentre * 0.012;

    vec3 colour;
    colour.r = texture2D(tex, uv + shift).r;
    colour.g = texture2D(tex, uv).g;
    colour.b = texture2D(tex, uv - shift).b;

    vec3 glow = vec3(0.0);
    for (int i = 0; i < 4; ++i) {
        float a = float(i) * 1.5708 + 0.785;
        glow += texture2D(tex, uv + vec2(cos(a), sin(a)) * 0.008).rgb;
    }
    glow = max(glow * 0.25 - 0.55, 0.0);

    colour = colour + glow * 0.8;
    colour *= 1.0 - 0.9 * r2;
    gl_FragColor = vec4(colour, 1.0);
}
