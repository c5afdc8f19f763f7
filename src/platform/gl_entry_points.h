#pragma once

// Loads the OpenGL entry points (GLEW) for the context just made current.
// Throws "Error: %s\n" with GLEW's reason, or "Opengl 2.0 not supported".
// Each window backend calls it once its context exists, before it changes any
// entry point of its own.
void LoadGlEntryPoints();
