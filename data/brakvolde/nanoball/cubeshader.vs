#version 110
// The rod ball: eye-space lighting inputs and the rod's picture coordinate.

varying vec3 normal;
varying vec3 eyePos;

void main()
{
    normal = gl_NormalMatrix * gl_Normal;
    eyePos = (gl_ModelViewMatrix * gl_Vertex).xyz;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
    gl_Position = ftransform();
}
