#version 110
// The tumbling cube: eye-space normal and position for the lighting.

varying vec3 normal;
varying vec3 eyePos;

void main()
{
    normal = gl_NormalMatrix * gl_Normal;  // the cube's normals are half length
    eyePos = (gl_ModelViewMatrix * gl_Vertex).xyz;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
    gl_Position = ftransform();
}
