#include "tests/support/TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>
#include <unistd.h>

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lurvane-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary directory");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TempDir::write(const std::string& name, const std::string& bytes) const {
    std::filesystem::create_directories(std::filesystem::path(file(name)).parent_path());
    writeFile(file(name), bytes);
}

std::string TempDir::read(const std::string& name) const {
    return readFile(file(name));
}

ScopedWorkingDir::ScopedWorkingDir(const std::string& path)
    : previous_(std::filesystem::current_path().string()) {
    std::filesystem::current_path(path);
}

ScopedWorkingDir::~ScopedWorkingDir() {
    std::filesystem::current_path(previous_);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string reportsOf(const std::string& log, const std::string& dir, const std::string& prefix) {
    static const std::regex head("\n\nError in File (\\w+), line \\d+\n");
    const std::string text = std::regex_replace(log, head, "\n[$1] ");
    std::string lines;
    for (size_t from = 0, end; from < text.size(); from = end + 1) {
        end = std::min(text.find('\n', from), text.size());
        std::string line = text.substr(from, end - from);
        for (size_t at; !dir.empty() && (at = line.find(dir)) != std::string::npos;)
            line = line.substr(0, at) + "~" + line.substr(at + dir.size());
        if (!line.empty())
            lines += prefix + line + "\n";
    }
    return lines;
}
