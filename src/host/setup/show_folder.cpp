#include "host/setup/show_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/plain_file.h"
#include "show/show_files.h"

namespace {

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

std::string WorkingDirectory()
{
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

std::string ExecutablePath()
{
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : "";
}

// The show folder of a script, which must be a show's data/demo.txt.
bool ScriptShowFolder(const std::string& script, std::string& folder, std::string& error)
{
    struct stat st {};
    const int failure = stat(script.c_str(), &st) == 0 ? 0 : errno;
    if (failure != 0 || !S_ISREG(st.st_mode)) {
        error = "cannot read " + script + ": " + (failure != 0 ? std::strerror(failure) : "not a plain file");
        return false;
    }
    char* data = realpath(FolderOf(script).c_str(), nullptr);
    const std::string dataFolder = data ? data : "";
    std::free(data);
    if (NameOf(script) != NameOf(kScriptPath) || NameOf(dataFolder) != "data") {
        error = script + " is not a show's script: that is the file " + kScriptPath + " in a show's folder";
        return false;
    }
    folder = FolderOf(dataFolder);
    return true;
}

void KeepRelativeTo(const std::string& start, std::string& path)
{
    if (!start.empty() && !path.empty() && path[0] != '/')
        path = start + "/" + path;
}

}  // namespace

std::string InstalledShowFolder(const std::string& executablePath)
{
    return FolderOf(executablePath) + "/" DEMO_INSTALLED_SHOW;
}

bool EnterShowFolder(PlayerOptions& options, std::string& error)
{
    std::string folder = options.directory;
    if (folder.empty() && !options.script.empty() && !ScriptShowFolder(options.script, folder, error))
        return false;
    if (folder.empty() && !IsPlainFile(kScriptPath)) {
        const std::string installed = InstalledShowFolder(ExecutablePath());
        if (IsPlainFile((installed + "/" + kScriptPath).c_str()))
            folder = installed;
    }
    if (folder.empty())
        return true;
    if (options.directory.empty()) {
        const std::string start = WorkingDirectory();
        KeepRelativeTo(start, options.outDir);
        KeepRelativeTo(start, options.timesFile);
        KeepRelativeTo(start, options.captureFile);
    }
    if (chdir(folder.c_str()) != 0) {
        error = "cannot change to " + folder + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
