#pragma once

// Lowers the calling thread's priority (its nice value, by 10), so that on
// busy cores the process's other threads go first and this one takes the
// time they leave. Where the system refuses, the thread goes on as it was.
void GiveWayToOtherThreads();
