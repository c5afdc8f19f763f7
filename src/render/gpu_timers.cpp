#include "render/gpu_timers.h"

namespace {

bool HasTimerQueries()
{
    return GLEW_ARB_timer_query || GLEW_EXT_timer_query;
}

}  // namespace

GpuTimers::~GpuTimers()
{
    Reset(0);
}

void GpuTimers::Reset(size_t count)
{
    if (!queries_.empty())
        glDeleteQueries(static_cast<GLsizei>(queries_.size()), queries_.data());
    queries_.clear();
    begun_.clear();
    if (count == 0 || !HasTimerQueries())
        return;
    queries_.resize(count);
    begun_.assign(count, 0);
    glGenQueries(static_cast<GLsizei>(count), queries_.data());
}

void GpuTimers::Begin(size_t i)
{
    if (i >= queries_.size())
        return;
    glBeginQuery(GL_TIME_ELAPSED, queries_[i]);
    begun_[i] = 1;
}

void GpuTimers::End()
{
    if (!queries_.empty())
        glEndQuery(GL_TIME_ELAPSED);
}

bool GpuTimers::Take(size_t i, double& ms)
{
    if (i >= queries_.size() || !begun_[i])
        return false;
    GLint available = 0;
    glGetQueryObjectiv(queries_[i], GL_QUERY_RESULT_AVAILABLE, &available);
    if (!available)
        return false;
    GLuint64 ns = 0;
    if (GLEW_ARB_timer_query)
        glGetQueryObjectui64v(queries_[i], GL_QUERY_RESULT, &ns);
    else
        glGetQueryObjectui64vEXT(queries_[i], GL_QUERY_RESULT, &ns);
    begun_[i] = 0;
    ms = static_cast<double>(ns) / 1e6;
    return true;
}
