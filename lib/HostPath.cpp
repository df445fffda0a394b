#include "lib/HostPath.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <string>

namespace {

bool exists(const std::string& path) {
    struct stat info;
    return ::lstat(path.empty() ? "." : path.c_str(), &info) == 0;
}

// Looks in the directory for an entry whose name equals the component in
// any letter case; an exact name always wins.
bool findIgnoringCase(const std::string& directory, std::string& component) {
    DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
    if (!dir)
        return false;
    bool found = false;
    while (dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, component.c_str()) == 0) {
            component = entry->d_name;
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

String hostPath(const char* path) {
    std::string converted(path ? path : "");
    for (char& c : converted)
        if (c == '\\')
            c = '/';
    if (converted.empty() || exists(converted))
        return String(converted.c_str());

    std::string resolved;
    size_t pos = 0;
    if (converted[0] == '/') {
        resolved = "/";
        pos = 1;
    }
    while (pos <= converted.size()) {
        size_t next = converted.find('/', pos);
        if (next == std::string::npos)
            next = converted.size();
        std::string component = converted.substr(pos, next - pos);
        if (!component.empty()) {
            const std::string directory = resolved;
            std::string candidate = directory.empty() || directory.back() == '/'
                                        ? directory + component
                                        : directory + "/" + component;
            if (!exists(candidate) && component != "." && component != ".." &&
                findIgnoringCase(directory, component))
                candidate = directory.empty() || directory.back() == '/'
                                ? directory + component
                                : directory + "/" + component;
            resolved = candidate;
        }
        pos = next + 1;
    }
    if (!converted.empty() && converted.back() == '/' && resolved.back() != '/')
        resolved += '/';
    return String(resolved.c_str());
}
