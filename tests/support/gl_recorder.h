#pragma once
#include <string>
#include <vector>

// One call an effect made: its name without the "gl" and its numbers.
struct GlCall {
    std::string name;  // "Translatef", "Rotatef", "Color4f", "BindTexture", "Uniform1f", ...
    std::vector<float> args;
};

// While one lives, the transforms, colours and uniform values that the
// program passes to GL are recorded (and still reach GL): glTranslatef,
// glRotatef, glScalef, glColor4f, glBindTexture and glUniform1f/1i/2f/4fv. A test program
// that uses it routes those calls through it for its whole run.
class GlRecording {
public:
    GlRecording();
    ~GlRecording();
    GlRecording(const GlRecording&) = delete;
    GlRecording& operator=(const GlRecording&) = delete;

    // The recorded calls of that name, in order.
    std::vector<GlCall> Named(const std::string& name) const;
};
