#pragma once

// Whether path is a whole ELF shared object for this machine: the right class,
// byte order and machine, and every loadable segment inside the file. The
// system loader maps a cut file and faults on the missing pages, so a library
// is checked with this before it is loaded.
bool IsCompleteSharedObject(const char* path);
