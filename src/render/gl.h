#pragma once
// One place that pulls in the GL headers in the right order (GLEW first).
#include <GL/glew.h>
#include <GL/glu.h>
