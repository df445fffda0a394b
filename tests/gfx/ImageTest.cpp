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
#include <vector>

namespace {

const uint8_t* bytesOf(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}

// The first size bytes of memory decoded into 32-bit pixels, row by row;
// empty when refused.
std::vector<uint32_t> decoded(const std::string& memory, size_t size, int& width, int& height) {
    const GfxPixelFormat format = GfxPixelFormat::forDepth(32);
    std::unique_ptr<GfxPixelStore> store = GfxImage::FromMemory(
        nullptr, bytesOf(memory), size, kSurfaceMemorySystem, GfxImage::kRecognise, &format);
    std::vector<uint32_t> rgb;
    width = store ? store->width() : 0;
    height = store ? store->height() : 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rgb.push_back(store->pixelAt(x, y));
    return rgb;
}

// The file with bytes replaced from at on.
std::string patched(std::string file, size_t at, const std::string& bytes) {
    return file.replace(at, bytes.size(), bytes);
}

// The file cut at at, with other bytes following.
std::string restOf(std::string file, size_t at, const std::string& bytes) {
    file.resize(at);
    return file + bytes;
}

// The largest difference of one channel between two pictures of one size.
int worstChannelDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int worst = 0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift : {16, 8, 0})
            worst = std::max(worst, std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                                             static_cast<int>((b[i] >> shift) & 0xFF)));
    return worst;
}

const std::string kTgaFooter = std::string(8, '\0') + "TRUEVISION-XFILE." + std::string(1, '\0');

// A file, the picture it was written from (its pixels are compared with
// what is decoded), and bytes that follow it in memory: some damaged files
// go on with bytes that would make a decoder reading past the end succeed.
struct Case {
    std::string what, file, beyond = "";
    std::vector<uint32_t> source = {};
    bool lossy = false;
};

std::vector<Case> cases() {
    std::vector<Case> out;
    auto add = [&](std::string what, const std::string& file, const TestPicture& p) -> Case& {
        return out.emplace_back(Case{std::move(what), file, "", p.rgb});
    };
    // Rows padded to four bytes; 16-bit colour is 5-5-5.
    for (const auto& [bits, width, colours] :
         {std::tuple{1, 17, 2}, {4, 9, 16}, {8, 13, 200}, {16, 7, 0}, {24, 5, 0}, {32, 3, 0}}) {
        const TestPicture p = makePicture(width, 6, colours);
        add("bmp " + std::to_string(bits), writeBmp(p, {.bits = bits}), p);
    }
    // Taller than wide, with runs, literals of odd length and row ends;
    // rows shorter than their padding, and runs that fill a row to its end.
    for (int width : {7, 8}) {
        const TestPicture runs = makePicture(width, 40, 60);
        add("bmp rle8 " + std::to_string(width), writeBmp(runs, {.bits = 8, .rle8 = true}), runs);
    }
    // A delta skips pixels (they stay index 0); one past the last row, or
    // end of bitmap, ends it. Bottom row: two pixels of index 1, then a skip
    // of a column and a row, and one pixel of index 2.
    const TestPicture q = makePicture(4, 3, 4);
    const std::string deltas("\x02\x01\x00\x02\x01\x01\x01\x02", 8);
    const std::string rle4x3 = writeBmp(q, {.bits = 8, .rle8 = true});
    add("bmp delta then end", restOf(rle4x3, 14 + 40 + 16, deltas + std::string("\0\1", 2)), q);
    add("bmp delta then past the rows",
        restOf(rle4x3, 14 + 40 + 16, deltas + std::string("\x00\x02\x00\x05", 4)), q);
    // "Colours used" beyond 256 reads no more than 256 entries, also from
    // a file that ends with them (its one pixel inside the last one).
    const TestPicture full = makePicture(8, 8, 256);
    add("bmp 300 colours used", writeBmp(full, {.bits = 8, .coloursUsed = 300}), full);
    const TestPicture dot = makePicture(1, 1, 256);
    const std::string dotFile = writeBmp(dot, {.bits = 8, .coloursUsed = 257});
    add("bmp ending with its colour table",
        patched(dotFile.substr(0, 14 + 40 + 1024), 10, std::string("\x32\x04\0\0", 4)), dot);
    // Indices past the colour table are black.
    TestPicture shortTable = makePicture(6, 2, 4);
    shortTable.palette.resize(2);
    add("bmp indices past the table", writeBmp(shortTable, {.bits = 8}), shortTable);

    const TestPicture p = makePicture(19, 7);
    for (int channels : {2, 3, 4, 5})
        for (bool rle : {false, true})
            // Alpha: the file's fourth channel, or opaque without one.
            add("psd " + std::to_string(channels) + (rle ? " packed" : ""),
                writePsd(p, {.channels = channels, .rle = rle}), p);

    const TestPicture colours = makePicture(9, 5);
    const TestPicture indexed = makePicture(9, 5, 40);
    for (int depth : {8, 16, 24, 32})
        for (bool rle : {false, true})
            for (bool topDown : {false, true}) {
                const TestPicture& c = depth == 8 ? indexed : colours;
                add("tga " + std::to_string(depth) + (rle ? " rle" : "") + (topDown ? " down" : ""),
                    writeTga(c, {.depth = depth, .rle = rle, .topDown = topDown}), c);
            }
    // A grey image without a colour map.
    TestPicture grey = makePicture(4, 4);
    add("tga grey", writeTga(grey, {.depth = 8}), grey);
    // A colour map that starts at slot 10 fills slots 10 onwards.
    TestPicture moved = makePicture(4, 1, 4);
    for (uint8_t& i : moved.index)
        i = static_cast<uint8_t>(i + 10);
    add("tga map from 10", writeTga(moved, {.depth = 8, .mapFirst = 10}), moved);

    const TestPicture pcx = makePicture(11, 6, 30);
    const std::string pcxFile = writePcx(pcx);
    add("pcx", pcxFile, pcx);
    const TestPicture planes = makePicture(10, 4);
    add("pcx 3 planes", writePcx(planes, {.planes = 3}), planes);
    // A palette marker other than 12 gives a black palette.
    add("pcx marker 11", writePcx(pcx, {.paletteMarker = 11}), pcx);
    // A file shorter than the palette block: black, no read before the
    // start (and a picture one pixel wide is a picture).
    const TestPicture tiny = makePicture(1, 2, 2);
    const std::string tinyFile = writePcx(tiny);
    add("pcx without palette", tinyFile.substr(0, tinyFile.size() - 769), tiny);
    // A picture window from (3, 2) to (13, 7) is the same 11 x 6 picture.
    add("pcx window", patched(pcxFile, 4, std::string("\x03\x00\x02\x00\x0D\x00\x07\x00", 8)), pcx);
    add("pcx wide lines", writePcx(pcx, {.extraBytesPerLine = 3}), pcx);

    const TestPicture photo = makePicture(33, 17);
    const std::string jpeg = writeJpeg(photo, 100);
    // Lossy: within 15 of the written picture on every channel ("close").
    // Lossy: within 15 of the written picture on every channel ("close").
    add("jpeg", jpeg, photo).lossy = true;

    // Damaged files.
    const TestPicture b = makePicture(8, 8, 16);
    const std::string bmp = writeBmp(b, {.bits = 8});
    const std::string psd = writePsd(p);
    const std::string tga = writeTga(colours, {.rle = true});
    const std::vector<Case> damaged = {
        {"bmp pixels cut", bmp.substr(0, bmp.size() - 1)},
        {"bmp data offset past the end", patched(bmp, 10, "\xF0\xFF")},
        {"bmp width 20000", patched(bmp, 18, "\x20\x4E")},
        {"bmp top-down", writeBmp(b, {.bits = 8, .topDown = true})},
        {"bmp 2 bits", patched(bmp, 28, "\x02")},
        // 256 entries claimed after a long header, 16 present.
        {"bmp colour table cut short",
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
        {"psd cmyk", writePsd(p, {4, false, 4, 8})},
        {"psd 16 bits", writePsd(p, {3, false, 3, 16})},
        {"psd 25 channels", writePsd(p, {25, false, 3, 8})},
        {"psd cut", psd.substr(0, psd.size() - 1)},
        // 128 copies into a 2-byte channel.
        {"psd packed run past its channel", restOf(writePsd(makePicture(2, 1), {.rle = true}),
                                                   26 + 4 + 8 + 4 + 2 + 3 * 2, "\x81\x01")},
        // Sizes are bounded before anything is allocated.
        {"psd height 0x40000002", patched(writePsd(makePicture(2, 2)), 14, "\x40")},
        // The footer kept, so it is still a TGA.
        {"tga pixels cut", tga.substr(0, 18 + 3 + 10) + tga.substr(tga.size() - 26)},
        {"tga no such type", patched(writeTga(colours), 2, "\x20")},
        // A TGA file without its footer is not recognised, however good its
        // header; a file that starts "BM" and ends with the footer is a TGA.
        {"tga without footer", writeTga(colours, {.footer = false})},
        {"bmp with a tga footer", patched(writeBmp(colours), 16, "\x18") + kTgaFooter},
        {"pcx 4 bits", patched(pcxFile, 3, "\x04")},
        {"pcx 2 planes", patched(pcxFile, 65, "\x02")},
        {"pcx rows cut", pcxFile.substr(0, 140)},
        // Three bytes are enough to know a Paintbrush file; two are not,
        // whatever follows them in memory.
        {"pcx first 3 bytes", pcxFile.substr(0, 3)},
        {"pcx first 2 bytes", pcxFile.substr(0, 2), pcxFile.substr(2)},
        // Also when it starts inside the plane and rows enough follow it.
        {"pcx run past its plane",
         restOf(writePcx(makePicture(2, 2, 2)), 128, "\x01\xC3\x01" + std::string(20, '\x01'))},
        {"pcx plane narrower than the picture", patched(pcxFile, 66, std::string("\x04\x00", 2))},
        {"jpeg cut", jpeg.substr(0, 200)},
        {"empty", ""},
        {"B", "B"},
        {"text", "just some text, no picture"},
    };
    out.insert(out.end(), damaged.begin(), damaged.end());
    return out;
}

// FNV-1a of the pixels.
uint32_t hashOf(const std::vector<uint32_t>& rgb) {
    uint32_t h = 2166136261u;
    for (uint32_t c : rgb)
        for (int k = 0; k < 4; ++k)
            h = (h ^ ((c >> (8 * k)) & 0xFF)) * 16777619u;
    return h;
}

std::string lastDebugLine;

} // namespace

// Each case is one line: the format recognised, the decoded image's
// geometry and alpha, and the converted pixels (listed when few, else their
// hash) with the largest channel difference from the written picture; or
// the refusal and the debug line. Each good file is also a fuzzing seed.
TEST(GfxImage, EveryFormatKindAndDamageDecodesAsListed) {
    const char* formats[] = {"none", "bmp", "psd", "tga", "pcx", "jpeg"};
    const std::filesystem::path seeds = LURVANE_FUZZ_CORPUS_DIR;
    setGfxDebugSink([](const char* text) { lastDebugLine = text; });
    std::string transcript;
    for (const Case& c : cases()) {
        const std::string memory = c.file + c.beyond;
        const size_t size = c.file.size();
        lastDebugLine.clear();
        GfxDib dib;
        const bool ok = GfxImage::Decode(bytesOf(memory), size, GfxImage::kRecognise, dib);
        int w = 0, h = 0;
        const std::vector<uint32_t> rgb = decoded(memory, size, w, h);
        char line[200];
        std::snprintf(line, sizeof line, "%s: %s", c.what.c_str(),
                      formats[GfxImage::Recognise(bytesOf(memory), size)]);
        transcript += line;
        if (ok) {
            std::snprintf(line, sizeof line, " dib=%dx%dx%d row=%d alpha=%d", dib.width, dib.height,
                          dib.bitsPerPixel, dib.rowBytes,
                          dib.bitsPerPixel == 32 ? dib.pixels[3] : -1);
            transcript += line;
            const std::string format = c.what.substr(0, c.what.find(' '));
            std::filesystem::create_directories(seeds / format);
            writeFile((seeds / format / c.what).string(), c.file);
        }
        if (!rgb.empty()) {
            const int diff =
                rgb.size() == c.source.size() ? worstChannelDifference(rgb, c.source) : -1;
            std::snprintf(line, sizeof line, " store=%dx%d diff=%d", w, h, diff);
            transcript += c.lossy && diff <= 15 ? " store=close" : line;
            for (size_t i = 0; !c.lossy && i < rgb.size(); ++i) {
                std::snprintf(line, sizeof line, " %06X", rgb[i]);
                transcript += rgb.size() <= 12 ? line : "";
            }
            std::snprintf(line, sizeof line, " hash=%08X", hashOf(rgb));
            transcript += c.lossy || rgb.size() <= 12 ? "" : line;
        }
        transcript += (ok || !rgb.empty() ? "" : " refused") +
                      (lastDebugLine.empty() ? "" : " log=" + lastDebugLine) + "\n";
    }
    setGfxDebugSink(nullptr);
    checkGoldenText(LURVANE_GOLDEN_DIR "/images.txt", transcript);
}

TEST(GfxImage, FilesWrittenByImageMagickDecodeToTheSamePixels) {
    if (std::system("convert -version 2>/dev/null | grep -q ImageMagick") != 0)
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    TempDir dir;
    const TestPicture p = makePicture(21, 13);
    writeFile(dir.file("in.ppm"), writePpm(p.width, p.height, p.rgb));
    struct Case {
        const char* options;
        const char* target;
        int tolerance;
    } cases[] = {{"", "BMP3:out.bmp", 0},
                 // ImageMagick keeps its rows top first and only marks a
                 // bottom-up TGA as such; ask for the top-left origin.
                 {"-orient TopLeft", "out.tga", 0},
                 {"", "out.pcx", 0},
                 {"", "out.psd", 0},
                 {"-quality 100 -sampling-factor 1x1", "out.jpg", 16}};
    for (const Case& c : cases) {
        const std::string target = c.target;
        const std::string file = target.substr(target.find(':') + 1);
        const std::string command = "cd '" + dir.path() + "' && convert in.ppm " + c.options + " " +
                                    target + " 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        std::string bytes = readFile(dir.file(file));
        // The game knows a TGA file only by the footer of newer files,
        // which ImageMagick leaves out.
        if (file == "out.tga" && bytes.find("TRUEVISION-XFILE") == std::string::npos)
            bytes += kTgaFooter;
        int w = 0, h = 0;
        const std::vector<uint32_t> rgb = decoded(bytes, bytes.size(), w, h);
        ASSERT_EQ(rgb.size(), p.rgb.size()) << file;
        EXPECT_LE(worstChannelDifference(p.rgb, rgb), c.tolerance) << file;
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
    int w = 0, h = 0;
    std::vector<uint32_t> rgb;
    ASSERT_TRUE(readPpm(readFile(dir.file("out.ppm")), w, h, rgb));
    EXPECT_EQ(w, 12);
    EXPECT_EQ(h, 7);
    EXPECT_EQ(rgb, p.rgb);

    const int status = run("notes.txt", "x.ppm");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    const std::string message = readFile(dir.file("err.txt"));
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(message.find('\n'), message.size() - 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.ppm")));
}
#endif
