#include "lib/FileIO.h"

#include "lib/Log.h"
#include "tests/support/Golden.h"
#include "tests/support/LineTranscript.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

// The test's own directory, with the error log in it, and the transcript.
class FileIOTest : public ::testing::Test {
protected:
    FileIOTest() { errorLog.open(dir.file("errorLog.txt").c_str()); }
    ~FileIOTest() override { errorLog.close(); }
    // Reads fields of the kinds given: s text, i number, b flag, B flag that was set.
    std::string reads(const std::string& bytes, const std::string& kinds) {
        if (!bytes.empty()) {
            dir.write("in.dat", bytes);
            EXPECT_TRUE(in.openRead(dir.file("in.dat").c_str()));
        }
        std::string out;
        for (char kind : kinds) {
            String s("junk");
            int32_t i = 9;
            bool b = kind == 'B';
            const bool ok = kind == 's'   ? in.readString(s)
                            : kind == 'i' ? in.readInt(i)
                                          : in.readBool(b);
            const std::string text = s.c_str();
            out += std::string(ok ? "" : "failed:") +
                   (kind == 's' ? escaped(text.substr(0, 9)) + "/" + std::to_string(text.size())
                                : std::to_string(kind == 'i' ? i : b)) +
                   " ";
        }
        return out;
    }
    // The reports in the error log: how many, and the lines after each head.
    void errorReports() {
        std::string report = dir.read("errorLog.txt");
        const int count = countOf(report, "\n\nError in File FileIO, line ");
        for (size_t at; (at = report.find("\n\nError in File FileIO, line ")) != std::string::npos;)
            report.erase(at, report.find('\n', at + 2) + 1 - at);
        t.note("error reports", count, escaped(report));
        errorLog.close();
        errorLog.open(dir.file("errorLog.txt").c_str());
    }

    TempDir dir;
    FileIO in;
    LineTranscript t;
};

} // namespace

// Record fields in their byte layout and read back, also cut short or closed.
TEST_F(FileIOTest, RecordFieldsWithTheirBytesAndFaults) {
    const std::string path = dir.file("r.dat");
    const std::string longest(255, 'x');
    FileIO out;
    ASSERT_TRUE(out.openWrite(path.c_str()));
    for (const std::string& text :
         {std::string(), std::string("L"), std::string("Lurvane"), longest, std::string(300, 'n')})
        t.note("writeString of " + std::to_string(text.size()), out.writeString(text.c_str()));
    for (int32_t value : {-2, 0x01020304})
        t.note("writeInt " + std::to_string(value), out.writeInt(value));
    for (bool value : {true, false})
        t.note("writeBool " + std::to_string(value), out.writeBool(value));
    const unsigned char raw[3] = {7, 8, 9};
    t.note("write 3", out.write(raw, 3));
    out.close();
    t.note("closed: open, write", out.isOpen(), out.write("x", 1));
    t.note("file bytes");
    t.out << hexLines(readFile(path));
    errorReports();

    t.note("read back", reads(readFile(path), "sssssiibB"));
    // Any non-zero byte reads as true; a field cut short reads as empty.
    t.note("flag of 7, number of 3 bytes", reads(std::string("\x07\x01\x02\x03", 4), "bi"));
    t.note("text of 2 of 5 bytes, a flag and a text at the end", reads("\x05"
                                                                       "ab",
                                                                       "sBs"));
    errorReports();
    FileIO closed;
    t.note("closed: writeInt, writeBool, writeString", closed.writeInt(1), closed.writeBool(true),
           closed.writeString(String("")));
    t.note("openRead of a missing file", closed.openRead(dir.file("missing.dat").c_str()));
    checkGoldenText(LURVANE_GOLDEN_DIR "/file-fields.txt", t.text());
}

TEST_F(FileIOTest, ListDirectoryMatchesRecursesAndSkipsDirectoriesWhenAsked) {
    dir.write("a.fmp", "1");
    dir.write("B.FMP", "22");
    dir.write("c.txt", "");
    dir.write("sub/d.fmp", "333");
    dir.write("sub/deeper/e.fmp", "");
    std::filesystem::create_directory(dir.file("x.fmp")); // a directory that matches
    std::filesystem::create_directory_symlink(dir.path(), dir.file("sub/loop"));
    const std::vector<std::tuple<const char*, const char*, bool, bool>> listings = {
        {"*.fmp", "", true, true},
        {"*", "", false, false},
        {"*.zzz", "", false, false},
        {"*", "/missing", false, false}};
    for (const auto& [pattern, under, recursive, filesOnly] : listings) {
        PtrArray<DirEntry> entries;
        const bool ok = FileIO::listDirectory(entries, pattern, (dir.path() + under).c_str(),
                                              recursive, filesOnly);
        std::set<std::string> shown;
        for (DirEntry* e : entries)
            shown.insert(std::string(e->name.c_str()) + "=" +
                         std::string(e->path.c_str()).substr(dir.path().size()) + "/" +
                         std::to_string(e->isDirectory ? -1 : e->size));
        std::string line;
        for (const std::string& entry : shown)
            line += " " + entry;
        t.note(std::string("list ") + pattern + under + (recursive ? " recursive" : "") +
                   (filesOnly ? " files" : ""),
               ok, line);
    }
    t.note("isDirectory of the directory and a file", FileIO::isDirectory(dir.path().c_str()),
           FileIO::isDirectory(dir.file("a.fmp").c_str()));
    checkGoldenText(LURVANE_GOLDEN_DIR "/file-listing.txt", t.text());
}

// Only a whole committed new version replaces the file; the size limit stands in for a full disk.
TEST_F(FileIOTest, ANewVersionReplacesTheFileOnlyWhenCommitted) {
    const std::string path = dir.file("r.dat");
    const auto files = [&](const std::string& what) {
        t.note(what, escaped(readFile(path)), std::filesystem::exists(path + ".new"));
    };
    writeFile(path, "old");
    {
        FileIO out;
        ASSERT_TRUE(out.openReplace(path.c_str()));
        EXPECT_TRUE(out.writeInt(7));
        files("written, not committed: the file, a new one beside it");
    }
    files("abandoned");
    FileIO out;
    struct rlimit limit;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const struct rlimit previous = limit;
    limit.rlim_cur = 1000;
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const std::vector<uint8_t> big(100000, 7);
    const bool opened = out.openReplace(path.c_str());
    // The stream's buffer filled but one byte: a text's length byte fits, its characters fail.
    struct stat file;
    ASSERT_EQ(::stat((path + ".new").c_str(), &file), 0);
    out.write(big.data(), static_cast<int>(file.st_blksize) - 1);
    const bool text = out.writeString("Lurvane");
    const bool whole = out.write(big.data(), static_cast<int>(big.size())) == 100000;
    out.write(big.data(), 10); // later writes cannot make up for it
    const bool full = out.commit();
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    t.note("out of room: opened, a text, written whole, committed", opened, text, whole, full);
    files("out of room");
    ASSERT_TRUE(out.openReplace(path.c_str()));
    EXPECT_TRUE(out.writeInt(7));
    const bool committed = out.commit();
    t.note("commit, open, commit again", committed, out.isOpen(), out.commit());
    files("committed");
    ASSERT_TRUE(in.openRead(path.c_str()));
    t.note("commit of a file read, remaining", in.commit(), in.remaining());
    t.note("read", reads("", "i"));
    t.note("remaining", in.remaining());
    in.close();
    t.note("remaining when closed", in.remaining());
    files("after reading");
    checkGoldenText(LURVANE_GOLDEN_DIR "/file-replace.txt", t.text());
}

// Opening again closes what was open: no handle is left behind.
TEST_F(FileIOTest, OpeningAgainClosesTheFileBefore) {
    const auto handles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    const auto before = handles();
    {
        FileIO twice;
        ASSERT_TRUE(twice.openWrite(dir.file("a.dat").c_str()));
        ASSERT_TRUE(twice.openWrite(dir.file("b.dat").c_str()));
    }
    EXPECT_EQ(handles(), before);
}
