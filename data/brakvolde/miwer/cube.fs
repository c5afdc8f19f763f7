#version 110
// The tumbling cube: its picture lit from the upper left, a sharp highlight,
// and a rim of light along the silhouette whose colour drifts with the time.

uniform sampler2D tex;  // the cube's picture, unit 0
uniform float time;     // seconds of music

varying vec3 normal;
varying vec3 eyePos;

void main()
{
    vec3 n = normalize(normal);
    vec3 view = normalize(-eyePos);
    vec3 light = normalize(vec3(-0.5, 0.7, 0.6));

    vec3 picture = texture2D(tex, gl_TexCoord[0].xy).rgb;
    float diffuse = max(dot(n, light), 0.0);
    float highlight = pow(max(dot(reflect(-light, n), view), 0.0), 24.0);
    float rim = pow(1.0 - max(dot(n, view), 0.0), 3.0);
    vec3 rimColour = 0.5 + 0.5 * cos(vec3(0.0, 2.1, 4.2) + time * 0.7);

    vec3 colour = picture * (0.25 + 0.85 * diffuse) + vec3(0.9) * highlight + rimColour * rim * 1.2;
    gl_FragColor = vec4(colour * gl_Color.rgb, 1.0);
}
