#include "gfx/GfxDebug.h"
#include "gfx/GfxImage.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "tests/gfx/ImageFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

const uint8_t* bytesOf(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}

// The first size bytes of memory as 32-bit pixels, row by row; none when refused.
std::vector<uint32_t> decoded(const std::string& memory, size_t size, int decoder) {
    const GfxPixelFormat format = GfxPixelFormat::forDepth(32);
    std::unique_ptr<GfxPixelStore> store = GfxImage::FromMemory(
        nullptr, bytesOf(memory), size, kSurfaceMemorySystem, decoder, &format);
    std::vector<uint32_t> rgb;
    for (int y = 0; store && y < store->height(); ++y)
        for (int x = 0; x < store->width(); ++x)
            rgb.push_back(store->pixelAt(x, y));
    return rgb;
}

std::string patched(std::string file, size_t at, const std::string& bytes) {
    return file.replace(at, bytes.size(), bytes);
}

std::string restOf(std::string file, size_t at, const std::string& bytes) {
    file.resize(at);
    return file + bytes;
}

int worstChannelDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int worst = 0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift : {16, 8, 0})
            worst = std::max(worst, std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                                             static_cast<int>((b[i] >> shift) & 0xFF)));
    return worst;
}

const std::string kTgaFooter = std::string(8, '\0') + "TRUEVISION-XFILE." + std::string(1, '\0');

// A file, bytes after it in memory that would let a decoder reading on succeed, and its picture.
struct Case {
    std::string what, file, beyond = "";
    int format = GfxImage::kRecognise;
    std::vector<uint32_t> source = {};
    bool lossy = false; // "close": within 15 of the picture on every channel
};

std::vector<Case> cases() {
    std::vector<Case> out;
    auto add = [&](std::string what, const std::string& file, const TestPicture& p) -> Case& {
        return out.emplace_back(Case{std::move(what), file, "", GfxImage::kRecognise, p.rgb});
    };
    // Rows padded to four bytes; 16-bit colour is 5-5-5.
    for (const auto& [bits, width, colours] :
         {std::tuple{1, 17, 2}, {4, 9, 16}, {8, 13, 200}, {16, 7, 0}, {24, 5, 0}, {32, 3, 0}}) {
        const TestPicture p = makePicture(width, 6, colours);
        add("bmp " + std::to_string(bits), writeBmp(p, {.bits = bits}), p);
    }
    // Runs, odd literals, rows shorter than their padding, runs that fill a row.
    for (int width : {7, 8}) {
        const TestPicture runs = makePicture(width, 40, 60);
        add("bmp rle8 " + std::to_string(width), writeBmp(runs, {.bits = 8, .rle8 = true}), runs);
    }
    // Bottom row: two pixels of index 1, a skipped column and row, one pixel of index 2.
    const TestPicture q = makePicture(4, 3, 4);
    const std::string deltas("\x02\x01\x00\x02\x01\x01\x01\x02", 8);
    const std::string rle4x3 = writeBmp(q, {.bits = 8, .rle8 = true});
    add("bmp delta then end", restOf(rle4x3, 14 + 40 + 16, deltas + std::string("\0\1", 2)), q);
    add("bmp delta then past the rows",
        restOf(rle4x3, 14 + 40 + 16, deltas + std::string("\x00\x02\x00\x05", 4)), q);
    // "Colours used" beyond 256 reads 256 entries, also from a file ending with them.
    const TestPicture full = makePicture(8, 8, 256);
    add("bmp 300 colours used", writeBmp(full, {.bits = 8, .coloursUsed = 300}), full);
    const TestPicture dot = makePicture(1, 1, 256);
    const std::string dotFile = writeBmp(dot, {.bits = 8, .coloursUsed = 257});
    add("bmp ending with its colour table",
        patched(dotFile.substr(0, 14 + 40 + 1024), 10, std::string("\x32\x04\0\0", 4)), dot);
    TestPicture shortTable = makePicture(6, 2, 4);
    shortTable.palette.resize(2);
    add("bmp indices past the table", writeBmp(shortTable, {.bits = 8}), shortTable);

    const TestPicture p = makePicture(19, 7);
    for (int channels : {1, 2, 3, 4, 5, 24})
        for (bool rle : {false, true})
            add("psd " + std::to_string(channels) + (rle ? " packed" : ""),
                writePsd(p, {.channels = channels, .rle = rle}), p);
    // A packed byte of 128 is no packet.
    const TestPicture two = makePicture(2, 1);
    add("psd packed with a no-op byte", writePsd(two, {.rle = true}).insert(50, "\x80"), two);
    const TestPicture wide = makePicture(128, 1); // green: one run of 128
    add("psd packed run of 128", writePsd(wide, {.rle = true}), wide);

    const TestPicture colours = makePicture(9, 5);
    const TestPicture indexed = makePicture(9, 5, 40);
    for (int depth : {8, 16, 24, 32})
        for (bool rle : {false, true})
            for (bool topDown : {false, true}) {
                const TestPicture& c = depth == 8 ? indexed : colours;
                add("tga " + std::to_string(depth) + (rle ? " rle" : "") + (topDown ? " down" : ""),
                    writeTga(c, {.depth = depth, .rle = rle, .topDown = topDown}), c);
            }
    TestPicture grey = makePicture(4, 4);
    add("tga grey", writeTga(grey, {.depth = 8}), grey);
    TestPicture moved = makePicture(4, 1, 4);
    for (uint8_t& i : moved.index)
        i = static_cast<uint8_t>(i + 10);
    add("tga map from 10", writeTga(moved, {.depth = 8, .mapFirst = 10}), moved);
    for (int bits : {15, 16, 32})
        add("tga map of " + std::to_string(bits) + "-bit entries",
            writeTga(indexed, {.depth = 8, .mapBits = bits}), indexed);

    const TestPicture pcx = makePicture(11, 6, 30);
    const std::string pcxFile = writePcx(pcx);
    add("pcx", pcxFile, pcx);
    const TestPicture planes = makePicture(10, 4);
    add("pcx 3 planes", writePcx(planes, {.planes = 3}), planes);
    add("pcx marker 11", writePcx(pcx, {.paletteMarker = 11}), pcx);
    const TestPicture tiny = makePicture(1, 2, 2);
    const std::string tinyFile = writePcx(tiny);
    add("pcx without palette", tinyFile.substr(0, tinyFile.size() - 769), tiny);
    add("pcx window", patched(pcxFile, 4, std::string("\x03\x00\x02\x00\x0D\x00\x07\x00", 8)), pcx);
    add("pcx wide lines", writePcx(pcx, {.extraBytesPerLine = 3}), pcx);

    const TestPicture photo = makePicture(33, 17);
    const std::string jpeg = readFile(LURVANE_GOLDEN_DIR "/photo.jpg"); // quality 100, 1x1
    add("jpeg", jpeg, photo).lossy = true;
    // Progressive, ten scans (libjpeg's simple progression of an 8x8 picture), its last
    // scan repeated up to n: files of many scans cost time, and over 500 are refused.
    const std::string progressive = readFile(LURVANE_GOLDEN_DIR "/progressive.jpg");
    const size_t lastScan = progressive.rfind("\xFF\xDA"), end = progressive.size() - 2;
    const auto scans = [&](int n) {
        std::string file = progressive.substr(0, end);
        for (int i = 10; i < n; ++i)
            file += progressive.substr(lastScan, end - lastScan);
        return file + progressive.substr(end);
    };

    const TestPicture b = makePicture(8, 8, 16);
    const std::string bmp = writeBmp(b, {.bits = 8});
    const std::string psd = writePsd(p), packed = writePsd(p, {.rle = true});
    const std::string tga = writeTga(colours, {.rle = true}), tgaPlain = writeTga(colours);
    const std::string tgaTwo = writeTga(makePicture(2, 1), {.rle = true});
    const std::vector<Case> damaged = {
        {"bmp pixels cut", bmp.substr(0, bmp.size() - 1)},
        {"bmp data offset past the end", patched(bmp, 10, "\xF0\xFF")},
        {"bmp width 20000", patched(bmp, 18, "\x20\x4E")},
        {"bmp top-down", writeBmp(b, {.bits = 8, .topDown = true})},
        {"bmp 2 bits", patched(bmp, 28, "\x02")},
        {"bmp colour table of 256 after a long header, 16 present",
         patched(patched(bmp, 46, std::string(4, '\0')).insert(54, 600, '\0'), 14, "\x80\x02")},
        {"bmp bit fields", patched(writeBmp(makePicture(4, 4), {.bits = 32}), 30, "\x03")},
        {"bmp colour table past the end", writeBmp(b, {.bits = 8, .coloursUsed = 0x7FFFFFFF})},
        {"bmp literal past the end",
         restOf(writeBmp(makePicture(8, 2, 4), {.bits = 8, .rle8 = true}), 14 + 40 + 16,
                std::string("\x00\x05\x01\x01", 4)),
         std::string("\x01\x01\x01\x00\x01", 5)},
        {"bmp delta past the end",
         restOf(writeBmp(makePicture(8, 2, 4), {.bits = 8, .rle8 = true}), 14 + 40 + 16,
                std::string("\x00\x02\x01", 3)),
         std::string("\x00\x00\x01", 3)},
        {"bmp run over its row", restOf(writeBmp(makePicture(4, 2, 4), {.bits = 8, .rle8 = true}),
                                        14 + 40 + 16, std::string("\xC8\x01\x00\x01", 4))},
        {"psd greyscale", writePsd(p, {3, false, 1, 8})},
        {"psd 0 channels", patched(psd, 12, std::string("\0\0", 2))},
        {"psd cut inside a section length", psd.substr(0, 29), psd.substr(29)},
        {"psd without its compression field", psd.substr(0, 42)},
        {"psd packed, cut in its row table", packed.substr(0, 46)},
        {"psd packed literal past the end", writePsd(two, {.rle = true}).substr(0, 52)},
        {"psd cmyk", writePsd(p, {4, false, 4, 8})},
        {"psd 16 bits", writePsd(p, {3, false, 3, 16})},
        {"psd 25 channels", writePsd(p, {25, false, 3, 8})},
        {"psd cut", psd.substr(0, psd.size() - 1)},
        {"psd packed run of 128 into a 2-byte channel",
         restOf(writePsd(makePicture(2, 1), {.rle = true}), 26 + 4 + 8 + 4 + 2 + 3 * 2,
                "\x81\x01")},
        {"psd height 0x40000002 refused before allocating",
         patched(writePsd(makePicture(2, 2)), 14, "\x40")},
        {"tga pixels cut, footer kept", tga.substr(0, 18 + 3 + 10) + tga.substr(tga.size() - 26)},
        {"tga no such type", patched(writeTga(colours), 2, "\x20")},
        {"tga plain pixels cut, footer kept", tgaPlain.substr(0, 18 + 3 + 10) + kTgaFooter},
        // Read as TGA whatever its end: a raw pixel, then a run whose value is past the end.
        {"tga run value ending the file",
         tgaTwo.substr(0, 21) + std::string("\0abc\x80", 5) + "def", "", GfxImage::kTGA},
        {"tga run value past the end", tgaTwo.substr(0, 21) + std::string("\0abc\x80", 5), "xyz",
         GfxImage::kTGA},
        {"tga without footer", writeTga(colours, {.footer = false})},
        {"bmp with a tga footer", patched(writeBmp(colours), 16, "\x18") + kTgaFooter},
        {"pcx 4 bits", patched(pcxFile, 3, "\x04")},
        {"pcx 2 planes", patched(pcxFile, 65, "\x02")},
        {"pcx rows cut", pcxFile.substr(0, 140)},
        {"pcx first 3 bytes", pcxFile.substr(0, 3)},
        {"pcx first 2 bytes", pcxFile.substr(0, 2), pcxFile.substr(2)},
        {"pcx run past its plane, from inside it, rows following",
         restOf(writePcx(makePicture(2, 2, 2)), 128, "\x01\xC3\x01" + std::string(20, '\x01'))},
        {"pcx plane narrower than the picture", patched(pcxFile, 66, std::string("\x04\x00", 2))},
        {"jpeg cut", jpeg.substr(0, 200)},
        {"jpeg wider than any picture", patched(jpeg, 165, "\x7F\xFF")},
        {"0xFF bytes without JFIF", std::string(12, '\xFF')},
        {"jpeg first 10 bytes", jpeg.substr(0, 10)},
        {"jpeg first 9 bytes, the tenth beyond the file", jpeg.substr(0, 9), jpeg.substr(9, 1)},
        {"jpeg of 500 scans", scans(500)},
        {"jpeg of 501 scans", scans(501)},
        {"empty", ""},
        {"B", "B"},
        {"text", "just some text, no picture"},
    };
    out.insert(out.end(), damaged.begin(), damaged.end());
    return out;
}

std::string lastDebugLine;

} // namespace

// A line a file: format, image and pixels (or their hash), or refusal and log; seeds for fuzzing.
TEST(GfxImage, EveryFormatKindAndDamageDecodesAsListed) {
    const char* formats[] = {"none", "bmp", "psd", "tga", "pcx", "jpeg"};
    const std::filesystem::path seeds = LURVANE_FUZZ_CORPUS_DIR;
    setGfxDebugSink([](const char* text) { lastDebugLine = text; });
    std::string transcript;
    testing::internal::CaptureStderr();
    for (const Case& c : cases()) {
        const std::string memory = c.file + c.beyond;
        const size_t size = c.file.size();
        lastDebugLine.clear();
        GfxDib dib;
        const bool ok = GfxImage::Decode(bytesOf(memory), size, c.format, dib);
        const std::vector<uint32_t> rgb = decoded(memory, size, c.format);
        std::string line = c.what + ": " + formats[GfxImage::Recognise(bytesOf(memory), size)];
        auto add = [&](const char* format, auto... values) {
            char part[100];
            std::snprintf(part, sizeof part, format, values...);
            line += part;
        };
        if (ok) {
            add(" dib=%dx%dx%d row=%d", dib.width, dib.height, dib.bitsPerPixel, dib.rowBytes);
            add(" alpha=%d", dib.bitsPerPixel == 32 ? dib.pixels[3] : -1);
            const std::string format = c.what.substr(0, c.what.find(' '));
            std::filesystem::create_directories(seeds / format);
            writeFile((seeds / format / c.what).string(), c.file);
        }
        const int diff = rgb.size() == c.source.size() ? worstChannelDifference(rgb, c.source) : -1;
        if (!rgb.empty() && c.lossy)
            add(" store=%s", diff <= 15 ? "close" : "far");
        else if (!rgb.empty())
            add(" store=%d diff=%d", static_cast<int>(rgb.size()), diff);
        for (size_t i = 0; !c.lossy && i < rgb.size() && rgb.size() <= 12; ++i)
            add(" %06X", rgb[i]);
        if (!c.lossy && rgb.size() > 12)
            add(" hash=%zx", std::hash<std::string_view>{}(std::string_view(
                                 reinterpret_cast<const char*>(rgb.data()), rgb.size() * 4)));
        if (!ok && rgb.empty())
            add(" %s", "refused");
        transcript += line + (lastDebugLine.empty() ? "" : " log=" + lastDebugLine) + "\n";
    }
    setGfxDebugSink(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "")
        << "damaged files are reported only in the log";
    checkGoldenText(LURVANE_GOLDEN_DIR "/images.txt", transcript);
}

TEST(GfxImage, FilesWrittenByImageMagickDecodeToTheSamePixels) {
    if (std::system("convert -version 2>/dev/null | grep -q ImageMagick") != 0)
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    TempDir dir;
    const TestPicture p = makePicture(21, 13);
    writeFile(dir.file("in.ppm"), writePpm(p.width, p.height, p.rgb));
    const std::tuple<std::string, std::string, int> cases[] = {
        {"", "BMP3:out.bmp", 0},
        // ImageMagick's TGA rows are top first, but marked so only when asked.
        {"-orient TopLeft", "out.tga", 0},
        {"", "out.pcx", 0},
        {"", "out.psd", 0},
        {"-quality 100 -sampling-factor 1x1", "out.jpg", 16}};
    for (const auto& [options, target, tolerance] : cases) {
        const std::string file = target.substr(target.find(':') + 1);
        const std::string command =
            "cd '" + dir.path() + "' && convert in.ppm " + options + " " + target + " 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        std::string bytes = readFile(dir.file(file));
        // The game knows a TGA file only by the footer, which ImageMagick leaves out.
        if (file == "out.tga" && bytes.find("TRUEVISION-XFILE") == std::string::npos)
            bytes += kTgaFooter;
        const std::vector<uint32_t> rgb = decoded(bytes, bytes.size(), GfxImage::kRecognise);
        ASSERT_EQ(rgb.size(), p.rgb.size()) << file;
        EXPECT_LE(worstChannelDifference(p.rgb, rgb), tolerance) << file;
    }
}

#ifdef LURVANE_IMGVIEW
TEST(GfxImage, ImgviewWritesWhatTheGameSeesOrRejectsTheFile) {
    TempDir dir;
    const TestPicture p = makePicture(12, 7, 9);
    writeFile(dir.file("pic.pcx"), writePcx(p));
    writeFile(dir.file("notes.txt"), "not a picture\n");
    auto run = [&](const char* in, const char* out) {
        return std::system(("'" LURVANE_IMGVIEW "' '" + dir.file(in) + "' '" + dir.file(out) +
                            "' 2>'" + dir.file("err.txt") + "'")
                               .c_str());
    };
    ASSERT_EQ(run("pic.pcx", "out.ppm"), 0);
    EXPECT_EQ(readFile(dir.file("out.ppm")), writePpm(p.width, p.height, p.rgb));

    const int status = run("notes.txt", "x.ppm");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    const std::string message = readFile(dir.file("err.txt"));
    EXPECT_EQ(message.find('\n'), message.size() - 1); // one line
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.ppm")));
}
#endif
