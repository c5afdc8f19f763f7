#version 110
// The bouncing balls: glossy plastic in the ball's own hue.

varying vec3 normal;
varying vec3 eyePos;
varying vec3 hue;

void main()
{
    vec3 n = normalize(normal);
    vec3 view = normalize(-eyePos);
    vec3 light = normalize(vec3(-0.3, 0.8, 0.6));
    float diffuse = max(dot(n, light), 0.0);
    float highlight = pow(max(dot(reflect(-light, n), view), 0.0), 40.0);
    float rim = pow(1.0 - max(dot(n, view), 0.0), 2.5);
    vec3 colour = hue * (0.18 + 0.9 * diffuse) + vec3(1.0) * highlight + hue * rim * 0.4;
    gl_FragColor = vec4(colour, 1.0);
}
