#version 110
// The bouncing balls: eye-space lighting inputs, and a hue for each ball
// from where it stands.

varying vec3 normal;
varying vec3 eyePos;
varying vec3 hue;

void main()
{
    normal = gl_NormalMatrix * gl_Normal;
    eyePos = (gl_ModelViewMatrix * gl_Vertex).xyz;
    vec3 centre = (gl_ModelViewMatrix * vec4(0.0, 0.0, 0.0, 1.0)).xyz;
    hue = 0.55 + 0.45 * cos(vec3(0.0, 2.1, 4.2) + centre.x * 0.15 + centre.y * 0.05);
    gl_Position = ftransform();
}
