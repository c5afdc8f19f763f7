#pragma once

// The byte order of four-byte pixels read back from OpenGL, blue or red
// first; the fourth byte is never used. The capture reads whichever order the
// driver copies its frame into without rearranging bytes.
enum class PixelOrder { Bgra, Rgba };
