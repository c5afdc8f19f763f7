#include "platform/player_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/elf_check.h"
#include "platform/plain_file.h"

namespace {

std::string ExecutableFolder()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return ".";
    const std::string executable(path, static_cast<size_t>(length));
    const size_t slash = executable.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : executable.substr(0, slash);
}

std::vector<std::string> ModuleFolders()
{
    const char* chosen = std::getenv("DEMO_MODULE_DIR");
    if (chosen && *chosen)
        return {chosen};
    const std::string folder = ExecutableFolder();
    return {folder, folder + "/" + DEMO_INSTALLED_MODULES};
}

}  // namespace

void* OpenPlayerModule(const char* fileName, const char* entry, std::string& error)
{
    std::string missing;
    for (const std::string& folder : ModuleFolders()) {
        const std::string path = folder + "/" + fileName;
        if (!IsPlainFile(path.c_str())) {
            missing += (missing.empty() ? "" : " or ") + path;
            continue;
        }
        // The system loader maps a cut file and faults on its missing pages.
        if (!IsCompleteSharedObject(path.c_str())) {
            error = path + " is cut short or not built for this machine";
            return nullptr;
        }
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            const char* reason = dlerror();
            error = reason ? reason : path + ": dlopen failed";
            return nullptr;
        }
        // Never closed: what it made (objects, exceptions' types) may outlive any use.
        void* function = dlsym(module, entry);
        if (!function)
            error = path + " has no function " + entry;
        return function;
    }
    error = "there is no " + missing;
    return nullptr;
}
