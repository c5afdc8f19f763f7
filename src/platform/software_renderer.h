#pragma once

// Whether the current GL context draws on the processor (Mesa's llvmpipe or
// softpipe, or another software rasterizer) rather than on a graphics card.
// Needs a current context.
bool SoftwareRenderer();
