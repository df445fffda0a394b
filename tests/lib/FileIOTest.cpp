#include "lib/FileIO.h"

#include "lib/Log.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The test's own directory, with the error log in it.
class FileIOTest : public ::testing::Test {
protected:
    FileIOTest() { errorLog.open(dir.file("errorLog.txt").c_str()); }
    ~FileIOTest() override { errorLog.close(); }
    // Opens the file for reading after writing the bytes into it.
    FileIO& reading(const std::string& bytes) {
        dir.write("in.dat", bytes);
        EXPECT_TRUE(in.openRead(dir.file("in.dat").c_str()));
        return in;
    }

    TempDir dir;
    FileIO in;
};

} // namespace

TEST_F(FileIOTest, RecordFieldsRoundTripInTheirByteLayout) {
    const std::string path = dir.file("r.dat");
    const std::string longest(255, 'x');
    {
        FileIO out;
        ASSERT_TRUE(out.openWrite(path.c_str()));
        for (const char* text : {"", "L", "Lurvane", longest.c_str()})
            EXPECT_TRUE(out.writeString(String(text)));
        EXPECT_TRUE(out.writeInt(-2));
        EXPECT_TRUE(out.writeInt(0x01020304));
        EXPECT_TRUE(out.writeBool(true));
        EXPECT_TRUE(out.writeBool(false));
        const unsigned char raw[3] = {7, 8, 9};
        EXPECT_EQ(out.write(raw, 3), 3);
        out.close();
        EXPECT_FALSE(out.isOpen());
        EXPECT_EQ(out.write("x", 1), 0);
    }
    const std::string expected =
        std::string("\0\1L\7Lurvane\xFF", 12) + longest +
        std::string("\xFE\xFF\xFF\xFF\x04\x03\x02\x01\x01\x00\x07\x08\x09", 13);
    EXPECT_EQ(readFile(path), expected);

    ASSERT_TRUE(in.openRead(path.c_str()));
    String s("junk");
    for (const char* text : {"", "L", "Lurvane", longest.c_str()}) {
        EXPECT_TRUE(in.readString(s));
        EXPECT_EQ(std::string(s.c_str()), text);
    }
    int32_t i = 0;
    bool b = false;
    EXPECT_TRUE(in.readInt(i));
    EXPECT_EQ(i, -2);
    EXPECT_TRUE(in.readInt(i));
    EXPECT_EQ(i, 0x01020304);
    EXPECT_TRUE(in.readBool(b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(in.readBool(b));
    EXPECT_FALSE(b);
}

TEST_F(FileIOTest, LongTextIsStoredAsItsLongestPrefixNotAWrappedLength) {
    const std::string text(300, 'n');
    FileIO out;
    ASSERT_TRUE(out.openWrite(dir.file("s.dat").c_str()));
    EXPECT_FALSE(out.writeString(String(text.c_str())));
    out.close();
    const std::string bytes = dir.read("s.dat");
    ASSERT_EQ(bytes.size(), 256u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 255);
    EXPECT_NE(dir.read("errorLog.txt").find("Error in File FileIO"), std::string::npos);

    String back;
    EXPECT_TRUE(reading(bytes).readString(back));
    EXPECT_EQ(std::string(back.c_str()), text.substr(0, 255));
}

TEST_F(FileIOTest, TruncatedFilesFailAndAreReported) {
    // Any non-zero byte reads as true; a field cut short reads as empty.
    bool b = false;
    int32_t i = 9;
    EXPECT_TRUE(reading(std::string("\x07\x01\x02\x03", 4)).readBool(b));
    EXPECT_TRUE(b);
    EXPECT_FALSE(in.readInt(i));
    EXPECT_EQ(i, 0);
    String s("old");
    EXPECT_FALSE(reading(std::string("\x05") + "ab").readString(s));
    EXPECT_TRUE(s == "ab");
    b = true;
    EXPECT_FALSE(in.readBool(b));
    EXPECT_FALSE(b);
    EXPECT_FALSE(in.readString(s)); // not even a length byte left
    EXPECT_TRUE(s == "");
    const std::string report = dir.read("errorLog.txt");
    EXPECT_EQ(countOf(report, "\n\nError in File FileIO, line "), 4);
    for (const char* line : {"readString Error\n", "readInt Error\n", "readBool Error\n"})
        EXPECT_NE(report.find(line), std::string::npos) << line;
    FileIO closed;
    EXPECT_FALSE(closed.writeInt(1));
    EXPECT_FALSE(closed.writeBool(true));
    EXPECT_FALSE(closed.writeString(String("")));
    EXPECT_FALSE(closed.openRead(dir.file("missing.dat").c_str()));
}

TEST_F(FileIOTest, ListDirectoryMatchesRecursesAndSkipsDirectoriesWhenAsked) {
    dir.write("a.fmp", "1");
    dir.write("B.FMP", "22");
    dir.write("c.txt", "");
    dir.write("sub/d.fmp", "333");
    dir.write("sub/deeper/e.fmp", "");
    std::filesystem::create_directory(dir.file("x.fmp")); // a directory that matches
    std::filesystem::create_directory_symlink(dir.path(), dir.file("sub/loop"));

    PtrArray<DirEntry> entries;
    ASSERT_TRUE(FileIO::listDirectory(entries, "*.fmp", dir.path().c_str(), true, true));
    std::vector<std::string> names;
    for (DirEntry* e : entries)
        names.push_back(e->name.c_str());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"B.FMP", "a.fmp", "d.fmp", "e.fmp"}));
    for (DirEntry* e : entries) {
        if (e->name == "B.FMP") {
            EXPECT_EQ(e->size, 2);
            EXPECT_EQ(std::string(e->path.c_str()), dir.path() + "\\B.FMP");
        }
        if (e->name == "d.fmp") {
            EXPECT_EQ(std::string(e->path.c_str()), dir.path() + "\\sub\\d.fmp");
        }
    }

    PtrArray<DirEntry> flat;
    ASSERT_TRUE(FileIO::listDirectory(flat, "*", dir.path().c_str(), false, false));
    EXPECT_EQ(flat.size(), 5); // a.fmp B.FMP c.txt sub x.fmp
    int directories = 0;
    for (DirEntry* e : flat)
        directories += e->isDirectory;
    EXPECT_EQ(directories, 2);

    PtrArray<DirEntry> none;
    EXPECT_TRUE(FileIO::listDirectory(none, "*.zzz", dir.path().c_str(), false, false));
    EXPECT_EQ(none.size(), 0);
    EXPECT_FALSE(FileIO::listDirectory(none, "*", dir.file("missing").c_str(), false, false));
    EXPECT_TRUE(FileIO::isDirectory(dir.path().c_str()));
    EXPECT_FALSE(FileIO::isDirectory(dir.file("a.fmp").c_str()));
}

TEST_F(FileIOTest, ANewVersionReplacesTheFileOnlyWhenCommitted) {
    const std::string path = dir.file("r.dat");
    writeFile(path, "old");
    {
        FileIO out;
        ASSERT_TRUE(out.openReplace(path.c_str()));
        EXPECT_TRUE(out.writeInt(7));
        EXPECT_EQ(readFile(path), "old");
        // Abandoned: closed (or destroyed) without commit.
    }
    EXPECT_EQ(readFile(path), "old");
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));

    FileIO out;
    ASSERT_TRUE(out.openReplace(path.c_str()));
    EXPECT_TRUE(out.writeInt(7));
    EXPECT_TRUE(out.commit());
    EXPECT_FALSE(out.isOpen());
    EXPECT_FALSE(out.commit()); // nothing left to commit
    EXPECT_EQ(readFile(path), std::string("\7\0\0\0", 4));
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));

    ASSERT_TRUE(in.openRead(path.c_str()));
    EXPECT_FALSE(in.commit()); // a file opened for reading is never renamed
    EXPECT_EQ(in.remaining(), 4);
    int32_t value = 0;
    EXPECT_TRUE(in.readInt(value));
    EXPECT_EQ(in.remaining(), 0);
    in.close();
    EXPECT_EQ(in.remaining(), -1);
    EXPECT_EQ(readFile(path), std::string("\7\0\0\0", 4));
}

TEST_F(FileIOTest, ANewVersionThatRunsOutOfRoomLeavesTheOldFile) {
    const std::string path = dir.file("r.dat");
    writeFile(path, "old");
    // The file size limit stands in for a full disk.
    struct rlimit limit;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const struct rlimit previous = limit;
    limit.rlim_cur = 1000;
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const std::vector<uint8_t> big(100000, 7);
    int written = 0;
    bool committed = true;
    FileIO out;
    if (out.openReplace(path.c_str())) {
        written = out.write(big.data(), static_cast<int>(big.size()));
        out.write(big.data(), 10); // later writes cannot make up for it
        committed = out.commit();
    }
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_LT(written, 100000);
    EXPECT_FALSE(committed);
    EXPECT_EQ(readFile(path), "old");
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));

    // A failed attempt leaves nothing behind that spoils the next one.
    ASSERT_TRUE(out.openReplace(path.c_str()));
    out.write(big.data(), 5);
    EXPECT_TRUE(out.commit());
    EXPECT_EQ(std::filesystem::file_size(path), 5u);
}

// Opening again closes what was open: no handle is left behind.
TEST_F(FileIOTest, OpeningAgainClosesTheFileBefore) {
    auto handles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                             std::filesystem::directory_iterator());
    };
    const auto before = handles();
    {
        FileIO twice;
        ASSERT_TRUE(twice.openWrite(dir.file("a.dat").c_str()));
        ASSERT_TRUE(twice.openWrite(dir.file("b.dat").c_str()));
        twice.close();
    }
    EXPECT_EQ(handles(), before);
}
