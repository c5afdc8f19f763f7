#version 110
// The greetings composite as it reaches the screen: a warm grade, faint
// scan lines and a vignette.

uniform sampler2D tex;  // the composite, unit 0

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec3 colour = texture2D(tex, uv).rgb;
    colour = pow(colour, vec3(0.95, 1.0, 1.08)) * vec3(1.05, 1.0, 0.95);
    float lines = 0.94 + 0.06 * sin(gl_FragCoord.y * 3.14159);
    vec2 p = uv * 2.0 - 1.0;
    float vignette = 1.0 - 0.3 * dot(p, p) * 0.5;
    gl_FragColor = vec4(colour * lines * vignette, 1.0);
}
