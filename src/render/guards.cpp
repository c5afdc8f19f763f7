#include "render/guards.h"

// The CEnabler part guards GL_FOG itself, so no invalid capability ever
// reaches glEnable; the extra glDisable in ~CFog is harmless.
CFog::CFog(float start, float end) : CEnabler(GL_FOG)
{
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glHint(GL_FOG_HINT, GL_NICEST);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
    const GLfloat black[] = {0, 0, 0, 0};
    glFogfv(GL_FOG_COLOR, black);
}
