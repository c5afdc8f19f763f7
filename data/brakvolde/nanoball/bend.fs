#version 110
// A lens bend for a full-screen picture: the middle swells out and the edges
// darken. Built with the rod ball; the show does not draw through it.

uniform sampler2D tex;  // the picture, unit 0

void main()
{
    vec2 p = gl_TexCoord[0].xy * 2.0 - 1.0;
    float r2 = dot(p, p);
    vec2 bent = p * (1.0 - 0.15 * (1.0 - r2));
    vec3 colour = texture2D(tex, bent * 0.5 + 0.5).rgb;
    gl_FragColor = vec4(colour * (1.0 - 0.35 * r2), 1.0);
}
