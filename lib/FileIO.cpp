#include "lib/FileIO.h"

#include "lib/ByteOrder.h"
#include "lib/HostPath.h"
#include "lib/Log.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>

namespace {

void fieldError(long line, const char* message) {
    reportError("FileIO", line, "%s", message);
}

String lowerCase(const char* text) {
    String out("");
    for (; *text; ++text)
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(*text)));
    return out;
}

} // namespace

bool FileIO::openRead(const char* fileName) {
    close();
    file_ = std::fopen(hostPath(fileName).c_str(), "rb");
    return file_ != nullptr;
}

bool FileIO::openWrite(const char* fileName) {
    close();
    file_ = std::fopen(hostPath(fileName).c_str(), "wb");
    return file_ != nullptr;
}

int (*FileIO::renameFile)(const char* from, const char* to) = std::rename;

bool FileIO::openReplace(const char* fileName) {
    close();
    replacing_ = hostPath(fileName);
    newVersion_ = replacing_;
    newVersion_ += ".new";
    writeFailed_ = false;
    file_ = std::fopen(newVersion_.c_str(), "wb");
    if (!file_) {
        replacing_ = "";
        newVersion_ = "";
    }
    return file_ != nullptr;
}

bool FileIO::commit() {
    if (!file_ || newVersion_.isEmpty())
        return false;
    bool ok = !writeFailed_ && std::fflush(file_) == 0 && !std::ferror(file_) &&
              ::fsync(::fileno(file_)) == 0;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (ok)
        ok = renameFile(newVersion_.c_str(), replacing_.c_str()) == 0;
    if (!ok)
        std::remove(newVersion_.c_str());
    replacing_ = "";
    newVersion_ = "";
    return ok;
}

void FileIO::close() {
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
    if (!newVersion_.isEmpty())
        std::remove(newVersion_.c_str());
    replacing_ = "";
    newVersion_ = "";
}

long FileIO::remaining() {
    if (!file_)
        return -1;
    const long at = std::ftell(file_);
    if (at < 0 || std::fseek(file_, 0, SEEK_END) != 0)
        return -1;
    const long end = std::ftell(file_);
    if (std::fseek(file_, at, SEEK_SET) != 0 || end < at)
        return -1;
    return end - at;
}

int FileIO::write(const void* buffer, int n) {
    if (!file_ || n <= 0)
        return 0;
    const int written = static_cast<int>(std::fwrite(buffer, 1, static_cast<size_t>(n), file_));
    if (written != n)
        writeFailed_ = true;
    return written;
}

int FileIO::read(void* buffer, int n) {
    if (!file_ || n <= 0)
        return 0;
    return static_cast<int>(std::fread(buffer, 1, static_cast<size_t>(n), file_));
}

bool FileIO::writeString(const String& text) {
    // A longer text would wrap its length byte and be read back as a
    // different, shorter string; store the longest prefix that fits instead
    // and say so.
    int length = text.length();
    bool ok = true;
    if (length > kMaxStringLength) {
        reportError("FileIO", __LINE__, "writeString : text of %d characters cut to %d\n", length,
                    kMaxStringLength);
        length = kMaxStringLength;
        ok = false;
    }
    const uint8_t lengthByte = static_cast<uint8_t>(length);
    if (write(&lengthByte, 1) != 1) {
        fieldError(__LINE__, "writeString Error\n");
        ok = false;
    }
    if (length > 0 && write(text.c_str(), length) != length) {
        fieldError(__LINE__, "writeString Error\n");
        ok = false;
    }
    return ok;
}

bool FileIO::readString(String& out) {
    uint8_t lengthByte = 0;
    if (read(&lengthByte, 1) != 1) {
        fieldError(__LINE__, "readString Error\n");
        out = "";
        return false;
    }
    char characters[kMaxStringLength + 1];
    const int got = read(characters, lengthByte);
    characters[got > 0 ? got : 0] = '\0';
    out = String(characters, got > 0 ? got : 0);
    if (got != lengthByte) {
        fieldError(__LINE__, "readString Error\n");
        return false;
    }
    return true;
}

bool FileIO::writeInt(int32_t value) {
    uint8_t bytes[4];
    writeLE32(bytes, static_cast<uint32_t>(value));
    if (write(bytes, 4) != 4) {
        fieldError(__LINE__, "writeInt Error\n");
        return false;
    }
    return true;
}

bool FileIO::readInt(int32_t& out) {
    uint8_t bytes[4];
    if (read(bytes, 4) != 4) {
        fieldError(__LINE__, "readInt Error\n");
        out = 0;
        return false;
    }
    out = static_cast<int32_t>(readLE32(bytes));
    return true;
}

bool FileIO::writeBool(bool value) {
    const uint8_t byte = value ? 1 : 0;
    if (write(&byte, 1) != 1) {
        fieldError(__LINE__, "writeBool Error\n");
        return false;
    }
    return true;
}

bool FileIO::readBool(bool& out) {
    uint8_t byte = 0;
    if (read(&byte, 1) != 1) {
        fieldError(__LINE__, "readBool Error\n");
        out = false;
        return false;
    }
    out = byte != 0;
    return true;
}

bool FileIO::isDirectory(const char* path) {
    struct stat info;
    return ::stat(hostPath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FileIO::listDirectory(PtrArray<DirEntry>& out, const char* pattern, const char* directory,
                           bool recursive, bool filesOnly) {
    String prefix(directory);
    prefix.appendBackslash();
    const String host = hostPath(prefix.c_str());
    DIR* dir = ::opendir(host.c_str());
    if (!dir)
        return false;
    const String wanted = lowerCase(pattern);
    PtrArray<DirEntry> subdirectories;
    while (dirent* found = ::readdir(dir)) {
        const String name(found->d_name);
        if (name == "." || name == "..")
            continue;
        String path(prefix);
        path += name;
        String hostEntry(host);
        hostEntry += name;
        struct stat info;
        if (::stat(hostEntry.c_str(), &info) != 0)
            continue; // a dangling link
        const bool isDir = S_ISDIR(info.st_mode);
        struct stat linkInfo;
        const bool isLink = ::lstat(hostEntry.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode);
        if (isDir && recursive && !isLink) {
            DirEntry* sub = new DirEntry;
            sub->path = path;
            subdirectories.add(sub);
        }
        if (isDir && filesOnly)
            continue;
        if (!String::wildcardMatch(wanted.c_str(), lowerCase(name.c_str()).c_str()))
            continue;
        DirEntry* entry = new DirEntry;
        entry->path = path;
        entry->name = name;
        entry->size = info.st_size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(info.st_size);
        entry->isDirectory = isDir;
        out.add(entry);
    }
    ::closedir(dir);
    bool ok = true;
    for (DirEntry* sub : subdirectories)
        if (!listDirectory(out, pattern, sub->path.c_str(), true, filesOnly))
            ok = false;
    return ok;
}
