#version 110
// The walking cube: glossy violet faces with a bevel of light along every
// edge, the colour of each face turning slightly with its direction.

varying vec3 normal;
varying vec3 eyePos;
varying vec2 face;

void main()
{
    vec3 n = normalize(normal);
    vec3 view = normalize(-eyePos);
    vec3 light = normalize(vec3(0.4, 0.8, 0.5));

    vec2 edge = min(face, 1.0 - face);
    float bevel = 1.0 - smoothstep(0.0, 0.08, min(edge.x, edge.y));

    vec3 base = vec3(0.45, 0.2, 0.85) + 0.15 * n;
    float diffuse = max(dot(n, light), 0.0);
    float highlight = pow(max(dot(reflect(-light, n), view), 0.0), 32.0);
    vec3 colour = base * (0.2 + 0.8 * diffuse) + vec3(1.0) * highlight * 0.8 + vec3(0.5, 0.9, 1.0) * bevel;
    gl_FragColor = vec4(colour, 1.0);
}
