#include "Src/records/DamagedFile.h"

#include "lib/HostPath.h"
#include "lib/Log.h"
#include "lib/String.h"

#include <filesystem>
#include <string>

namespace {

// Enough for a player who damages a file every day for years; the search
// must end somewhere.
constexpr int kMaxCopies = 999;

String copyName(const char* fileName, int number) {
    String name(fileName);
    name += ".damaged";
    if (number > 1) {
        String suffix;
        suffix.format(".%d", number);
        name += suffix;
    }
    return name;
}

} // namespace

bool keepDamagedFile(const char* fileName) {
    namespace fs = std::filesystem;
    const fs::path from(hostPath(fileName).c_str());
    std::error_code gone;
    if (!fs::exists(from, gone))
        return true; // removed since it was read: nothing left to lose
    String copy;
    for (int number = 1; number <= kMaxCopies; ++number) {
        copy = copyName(fileName, number);
        const fs::path to(hostPath(copy.c_str()).c_str());
        std::error_code error;
        if (fs::exists(fs::symlink_status(to, error)))
            continue; // an earlier copy, or anything else of that name
        if (fs::copy_file(from, to, fs::copy_options::none, error)) {
            errorLog.print("The damaged file '%s' is kept as '%s'.\n", fileName, copy.c_str());
            return true;
        }
        fs::remove(to, error); // a part-written copy is no copy
        break;
    }
    errorLog.print("The damaged file '%s' could not be copied to '%s' and is not written over.\n",
                   fileName, copy.c_str());
    return false;
}
