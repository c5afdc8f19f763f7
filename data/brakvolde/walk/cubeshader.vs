#version 110
// The walking cube: eye-space normal and position, and the face coordinates
// for the glowing edges.

varying vec3 normal;
varying vec3 eyePos;
varying vec2 face;

void main()
{
    normal = gl_NormalMatrix * gl_Normal;
    eyePos = (gl_ModelViewMatrix * gl_Vertex).xyz;
    face = gl_MultiTexCoord0.xy;
    gl_Position = ftransform();
}
