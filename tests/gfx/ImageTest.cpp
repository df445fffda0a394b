#include "gfx/GfxDebug.h"
#include "gfx/GfxImage.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "tests/gfx/ImageFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Decoded {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<uint32_t> rgb;
};

Decoded decode(const std::string& bytes) {
    Decoded d;
    const GfxPixelFormat format = GfxPixelFormat::forDepth(32);
    std::unique_ptr<GfxPixelStore> store =
        GfxImage::FromMemory(nullptr, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                             kSurfaceMemorySystem, GfxImage::kRecognise, &format);
    if (!store)
        return d;
    d.ok = true;
    d.width = store->width();
    d.height = store->height();
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x)
            d.rgb.push_back(store->pixelAt(x, y));
    return d;
}

int recognise(const std::string& bytes) {
    return GfxImage::Recognise(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// Whether the decoder takes the file, before any surface is made of it.
bool decodes(const std::string& bytes, GfxDib& dib) {
    return GfxImage::Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                            GfxImage::kRecognise, dib);
}

GfxDib dibOf(const std::string& bytes) {
    GfxDib dib;
    decodes(bytes, dib);
    return dib;
}

// The picture's colours as a decoder should give them back: exact, or
// with each channel cut to 5 bits (16-bit files) and widened again.
std::vector<uint32_t> expected(const TestPicture& p, int channelBits = 8) {
    std::vector<uint32_t> out;
    for (uint32_t c : p.rgb) {
        if (channelBits == 8) {
            out.push_back(c);
            continue;
        }
        uint32_t v = 0;
        for (int shift : {16, 8, 0}) {
            uint32_t ch = ((c >> shift) & 0xFF) >> 3;
            v |= (channelBits == 5 ? (ch << 3) | (ch >> 2) : ch << 3) << shift;
        }
        out.push_back(v);
    }
    return out;
}

std::string lastDebugLine;
void captureDebug(const char* text) {
    lastDebugLine = text;
}

// Each cut of a good file, and a few damaged bytes, must fail cleanly or
// decode; the sanitizer build watches for reads outside the buffer.
void quiet(const char*) {}

void expectNoCrashOnDamage(const std::string& good) {
    setGfxDebugSink(quiet);
    for (size_t cut = 0; cut < good.size(); cut += 1 + good.size() / 97)
        decode(good.substr(0, cut));
    for (size_t at = 0; at < good.size() && at < 200; at += 3) {
        std::string damaged = good;
        damaged[at] = static_cast<char>(damaged[at] ^ 0xA5);
        decode(damaged);
    }
    setGfxDebugSink(nullptr);
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

bool haveImageMagick() {
    return std::system("convert -version 2>/dev/null | grep -q ImageMagick") == 0;
}

} // namespace

TEST(GfxImage, FormatsAreRecognisedInOrderAndUnknownOnesReported) {
    const TestPicture p = makePicture(4, 3);
    EXPECT_EQ(recognise(writeBmp(p)), GfxImage::kBMP);
    EXPECT_EQ(recognise(writePsd(p)), GfxImage::kPSD);
    EXPECT_EQ(recognise(writeTga(p)), GfxImage::kTGA);
    EXPECT_EQ(recognise(writePcx(makePicture(4, 3, 8))), GfxImage::kPCX);
    // Three bytes are enough to know a Paintbrush file; it then fails to load.
    EXPECT_EQ(recognise(writePcx(makePicture(4, 3, 8)).substr(0, 3)), GfxImage::kPCX);
    EXPECT_EQ(GfxImage::Recognise(reinterpret_cast<const uint8_t*>("\x0A\x05\x01"), 2),
              GfxImage::kUnsupported);
    EXPECT_EQ(recognise(writeJpeg(p)), GfxImage::kJPEG);
    // A TGA file without its footer is not recognised, however good its
    // header; a file that starts "BM" and ends with the footer is a TGA.
    EXPECT_EQ(recognise(writeTga(p, {.footer = false})), GfxImage::kUnsupported);
    const std::string footer = std::string(8, '\0') + "TRUEVISION-XFILE." + std::string(1, '\0');
    EXPECT_EQ(recognise(patched(writeBmp(p), 16, "\x18") + footer), GfxImage::kTGA);
    EXPECT_EQ(recognise(""), GfxImage::kUnsupported);
    EXPECT_EQ(recognise("B"), GfxImage::kUnsupported);

    setGfxDebugSink(captureDebug);
    lastDebugLine.clear();
    EXPECT_FALSE(decode("just some text, no picture").ok);
    EXPECT_EQ(lastDebugLine, "Error: GfxImage - Unsupported Image type.");
    setGfxDebugSink(nullptr);
}

TEST(GfxImage, BitmapsOfEveryDepthRoundTrip) {
    struct Case {
        int bits, width, colours, rowBytes;
    } cases[] = {
        {1, 17, 2, 4},  {4, 9, 16, 8},  {8, 13, 200, 16},
        {16, 7, 0, 16}, {24, 5, 0, 16}, {32, 3, 0, 12},
    };
    for (const Case& c : cases) {
        const TestPicture p = makePicture(c.width, 6, c.colours);
        const std::string file = writeBmp(p, {.bits = c.bits});
        EXPECT_EQ(dibOf(file).rowBytes, c.rowBytes) << c.bits;
        const Decoded d = decode(file);
        ASSERT_TRUE(d.ok) << c.bits;
        EXPECT_EQ(d.width, c.width);
        EXPECT_EQ(d.height, 6);
        EXPECT_EQ(d.rgb, expected(p, c.bits == 16 ? 5 : 8)) << c.bits;
        expectNoCrashOnDamage(file);
    }
}

TEST(GfxImage, RunLengthBitmapsDecodeEveryRow) {
    // Taller than wide, with runs, literals of odd length and row ends.
    const TestPicture p = makePicture(7, 40, 60);
    const BmpOptions options{.bits = 8, .rle8 = true};
    const std::string file = writeBmp(p, options);
    const Decoded d = decode(file);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.rgb, expected(p));
    expectNoCrashOnDamage(file);

    // A delta skips pixels (they stay index 0), end of bitmap ends it.
    TestPicture q = makePicture(4, 3, 4);
    const std::string stream("\x02\x01\x00\x02\x01\x01\x00\x01", 8);
    const Decoded skipped = decode(restOf(writeBmp(q, options), 14 + 40 + 16, stream));
    ASSERT_TRUE(skipped.ok);
    // Bottom row: two pixels of index 1, then a skip of a column and a row.
    EXPECT_EQ(skipped.rgb[2 * 4 + 0], q.palette[1]);
    EXPECT_EQ(skipped.rgb[2 * 4 + 1], q.palette[1]);
    EXPECT_EQ(skipped.rgb[2 * 4 + 2], q.palette[0]);
    EXPECT_EQ(skipped.rgb[1 * 4 + 3], q.palette[0]);
}

TEST(GfxImage, BadBitmapsGiveNoSurface) {
    const TestPicture p = makePicture(8, 8, 16);
    const BmpOptions options{.bits = 8};
    const std::string good = writeBmp(p, options);
    ASSERT_TRUE(decode(good).ok);

    EXPECT_FALSE(decode(good.substr(0, good.size() - 1)).ok); // truncated pixels
    EXPECT_FALSE(decode(patched(good, 10, "\xF0\xFF")).ok);   // data offset past the end
    EXPECT_FALSE(decode(patched(good, 18, "\x20\x4E")).ok);   // width 20000
    const BmpOptions topDown{.bits = 8, .topDown = true};
    EXPECT_FALSE(decode(writeBmp(p, topDown)).ok);
    EXPECT_FALSE(decode(patched(writeBmp(makePicture(4, 4), {.bits = 32}), 30, "\x03")).ok);

    // "Colours used" beyond 256 reads no more than 256 entries, and a
    // claimed table that does not fit the file fails.
    EXPECT_FALSE(decode(writeBmp(p, {.bits = 8, .coloursUsed = 0x7FFFFFFF})).ok);
    TestPicture full = makePicture(8, 8, 256);
    const Decoded fullTable = decode(writeBmp(full, {.bits = 8, .coloursUsed = 300}));
    ASSERT_TRUE(fullTable.ok);
    EXPECT_EQ(fullTable.rgb, expected(full));

    // A run-length row that overruns its row fails.
    EXPECT_FALSE(decode(restOf(writeBmp(makePicture(4, 2, 4), {.bits = 8, .rle8 = true}),
                               14 + 40 + 16, std::string("\xC8\x01\x00\x01", 4)))
                     .ok);

    // The bitmap path takes a top-down bitmap the decoder refuses.
    TempDir dir;
    writeFile(dir.file("down.bmp"), writeBmp(p, topDown));
    int w = 0, h = 0;
    std::unique_ptr<GfxPixelStore> store =
        GfxImage::LoadBitmapSurface(nullptr, dir.file("down.bmp").c_str(), w, h, 1);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(store->pixelAt(3, 0), p.at(3, 0));
    EXPECT_EQ(store->pixelAt(3, 7), p.at(3, 7));
}

TEST(GfxImage, PhotoshopFilesRawAndPacked) {
    const TestPicture p = makePicture(19, 7);
    for (int channels : {3, 4, 5}) {
        for (bool rle : {false, true}) {
            const std::string file = writePsd(p, {.channels = channels, .rle = rle});
            const Decoded d = decode(file);
            ASSERT_TRUE(d.ok) << channels << rle;
            EXPECT_EQ(d.rgb, expected(p)) << channels << rle;
            GfxDib dib = dibOf(file);
            EXPECT_EQ(dib.bitsPerPixel, 32);
            EXPECT_TRUE(dib.topDown);
            // Alpha: the file's fourth channel, or opaque without one.
            EXPECT_EQ(dib.pixels[3], channels >= 4 ? 0 : 255);
            expectNoCrashOnDamage(file);
        }
    }
    // Two channels: blue is missing and reads 0.
    EXPECT_EQ(decode(writePsd(p, {.channels = 2})).rgb[5], p.rgb[5] & 0xFFFF00u);

    for (PsdOptions bad : {PsdOptions{3, false, 1, 8}, PsdOptions{4, false, 4, 8},
                           PsdOptions{3, false, 3, 16}, PsdOptions{25, false, 3, 8}})
        EXPECT_FALSE(decode(writePsd(p, bad)).ok);
    std::string truncated = writePsd(p);
    EXPECT_FALSE(decode(truncated.substr(0, truncated.size() - 1)).ok);
    // Packed bits that run past the channel fail: 128 copies into a 2-byte
    // channel.
    EXPECT_FALSE(decode(restOf(writePsd(makePicture(2, 1), {.rle = true}),
                               26 + 4 + 8 + 4 + 2 + 3 * 2, "\x81\x01"))
                     .ok);
    // Sizes are bounded before anything is allocated.
    EXPECT_FALSE(decode(patched(writePsd(makePicture(2, 2)), 14, "\x40")).ok); // height 0x40000002
}

TEST(GfxImage, TargaFilesOfEveryKind) {
    const TestPicture colours = makePicture(9, 5);
    const TestPicture indexed = makePicture(9, 5, 40);
    struct Case {
        int depth;
        bool rle, topDown;
    } cases[] = {{8, false, false},  {8, true, true},  {16, false, true}, {16, true, false},
                 {24, false, false}, {24, true, true}, {32, false, true}, {32, true, false}};
    for (const Case& c : cases) {
        const TestPicture& p = c.depth == 8 ? indexed : colours;
        const std::string file =
            writeTga(p, {.depth = c.depth, .rle = c.rle, .topDown = c.topDown});
        const Decoded d = decode(file);
        ASSERT_TRUE(d.ok) << c.depth << c.rle << c.topDown;
        EXPECT_EQ(d.rgb, expected(p, c.depth == 16 ? 3 : 8)) << c.depth << c.rle << c.topDown;
        expectNoCrashOnDamage(file);
    }
    // A grey image without a colour map.
    TestPicture grey = makePicture(4, 4);
    grey.palette.clear();
    const Decoded g = decode(writeTga(grey, {.depth = 8}));
    ASSERT_TRUE(g.ok);
    const uint32_t level = (grey.at(1, 1) >> 8) & 0xFF;
    EXPECT_EQ(g.rgb[5], (level << 16) | (level << 8) | level);
    // A colour map that starts at slot 10 fills slots 10 onwards.
    TestPicture moved = makePicture(4, 1, 4);
    for (uint8_t& i : moved.index)
        i = static_cast<uint8_t>(i + 10);
    const Decoded m = decode(writeTga(moved, {.depth = 8, .mapFirst = 10}));
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.rgb[0], moved.palette[moved.index[0] - 10u]);

    std::string file = writeTga(colours, {.rle = true});
    // Cutting the pixel stream (the footer kept, so it is still a TGA).
    const std::string footer = file.substr(file.size() - 26);
    EXPECT_FALSE(decode(file.substr(0, 18 + 3 + 10) + footer).ok);
    EXPECT_FALSE(decode(patched(writeTga(colours), 2, "\x20")).ok); // no such image type
}

TEST(GfxImage, PaintbrushFilesWithAndWithoutPalette) {
    const TestPicture indexed = makePicture(11, 6, 30);
    const std::string file = writePcx(indexed);
    Decoded d = decode(file);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.rgb, expected(indexed));

    const TestPicture colours = makePicture(10, 4);
    d = decode(writePcx(colours, {.planes = 3}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.rgb, expected(colours));

    // A palette marker other than 12 gives a black palette.
    d = decode(writePcx(indexed, {.paletteMarker = 11}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.rgb, std::vector<uint32_t>(d.rgb.size(), 0));
    // A file shorter than the palette block: black, no read before the start
    // (and a picture one pixel wide is a picture).
    std::string tiny = writePcx(makePicture(1, 2, 2));
    tiny.resize(tiny.size() - 769);
    d = decode(tiny);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.rgb[0], 0u);

    // Other depths or plane counts, pixel rows cut short, a run that does
    // not end with its plane, and a plane narrower than the picture, fail.
    GfxDib refused;
    EXPECT_FALSE(decodes(patched(file, 3, "\x04"), refused));
    EXPECT_FALSE(decodes(patched(file, 65, "\x02"), refused));
    EXPECT_FALSE(decode(file.substr(0, 140)).ok);
    // A run past its plane fails, also when it starts inside the plane and
    // rows enough follow it.
    EXPECT_FALSE(decode(restOf(writePcx(makePicture(2, 2, 2)), 128,
                               "\x01\xC3\x01" + std::string(20, '\x01')))
                     .ok);
    EXPECT_FALSE(decode(patched(writePcx(indexed), 66, std::string("\x04\x00", 2))).ok);
    // A picture window from (3, 2) to (13, 7) is the same 11 x 6 picture.
    d = decode(patched(file, 4, std::string("\x03\x00\x02\x00\x0D\x00\x07\x00", 8)));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.rgb, expected(indexed));
    d = decode(writePcx(indexed, {.extraBytesPerLine = 3}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.rgb, expected(indexed));
}

TEST(GfxImage, JpegFilesDecodeToTheirOwnSize) {
    const TestPicture p = makePicture(33, 17);
    const std::string file = writeJpeg(p, 100);
    const Decoded d = decode(file);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.width, 33);
    EXPECT_EQ(d.height, 17);
    EXPECT_LT(worstChannelDifference(p.rgb, d.rgb), 16);
    EXPECT_FALSE(decode(file.substr(0, 200)).ok);
    expectNoCrashOnDamage(file);
}

TEST(GfxImage, SurfacesLoadFilesInTheDisplayFormat) {
    TempDir dir;
    const TestPicture p = makePicture(6, 4, 16);
    writeFile(dir.file("Pic.bmp"), writeBmp(p, {.bits = 8}));
    GfxScreen screen(nullptr);
    GfxSurface s;
    // Windows-style names are mapped to the file, whatever its case.
    ScopedWorkingDir cwd(dir.path());
    ASSERT_EQ(s.CreateFromImage(&screen, ".\\pic.BMP", 1), 1);
    EXPECT_EQ(s.GetWidth(), 6);
    s.Lock();
    EXPECT_EQ(s.GetPixel(2, 3), p.at(2, 3));
    s.Unlock();
    // An 8-bit surface takes the nearest colours of the screen's palette.
    const GfxPixelFormat eight = GfxPixelFormat::forDepth(8);
    std::unique_ptr<GfxPixelStore> store =
        GfxImage::GetImage(&screen, ".\\pic.bmp", 1, GfxImage::kBMP, &eight);
    ASSERT_NE(store, nullptr);
    const uint32_t c = p.at(0, 0);
    const uint32_t bgrColour = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    EXPECT_EQ(store->pixelAt(0, 0), screen.NearestPaletteIndex(bgrColour));
    writeFile(dir.file("empty.bmp"), "");
    EXPECT_EQ(s.CreateFromImage(&screen, "empty.bmp", 1), -2);
}

TEST(GfxImage, FilesWrittenByImageMagickDecodeToTheSamePixels) {
    if (!haveImageMagick())
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
            bytes += std::string(8, '\0') + "TRUEVISION-XFILE." + std::string(1, '\0');
        const Decoded d = decode(bytes);
        ASSERT_TRUE(d.ok) << file;
        ASSERT_EQ(d.rgb.size(), p.rgb.size()) << file;
        EXPECT_LE(worstChannelDifference(p.rgb, d.rgb), c.tolerance) << file;
    }
}

// Seeds for the fuzz harnesses: one directory per decoder.
TEST(GfxImage, WritesTheFuzzSeedCorpus) {
    const std::filesystem::path root = LURVANE_FUZZ_CORPUS_DIR;
    auto seed = [&](const char* name, const std::string& file, const std::string& bytes) {
        std::filesystem::create_directories(root / name);
        writeFile((root / name / file).string(), bytes);
    };
    seed("bmp", "24.bmp", writeBmp(makePicture(5, 3)));
    seed("bmp", "8.bmp", writeBmp(makePicture(6, 4, 20), {.bits = 8}));
    seed("bmp", "rle8.bmp", writeBmp(makePicture(9, 12, 30), {.bits = 8, .rle8 = true}));
    seed("bmp", "1.bmp", writeBmp(makePicture(17, 2, 2), {.bits = 1}));
    seed("psd", "raw.psd", writePsd(makePicture(4, 3)));
    seed("psd", "packed.psd", writePsd(makePicture(7, 5), {.channels = 4, .rle = true}));
    seed("tga", "24.tga", writeTga(makePicture(5, 4)));
    seed("tga", "rle24.tga", writeTga(makePicture(8, 3), {.rle = true}));
    seed("tga", "rle8.tga", writeTga(makePicture(6, 6, 10), {.depth = 8, .rle = true}));
    seed("pcx", "8.pcx", writePcx(makePicture(7, 3, 12)));
    seed("pcx", "24.pcx", writePcx(makePicture(5, 2), {.planes = 3}));
    seed("jpeg", "small.jpg", writeJpeg(makePicture(16, 8), 80));
    for (const char* name : {"bmp", "psd", "tga", "pcx", "jpeg"})
        EXPECT_FALSE(std::filesystem::is_empty(root / name));
}

#ifdef LURVANE_IMGVIEW
TEST(GfxImage, ImgviewWritesWhatTheGameSeesOrRejectsTheFile) {
    TempDir dir;
    const TestPicture p = makePicture(12, 7, 9);
    writeFile(dir.file("pic.pcx"), writePcx(p));
    writeFile(dir.file("notes.txt"), "not a picture\n");
    const std::string tool = LURVANE_IMGVIEW;
    const std::string ok =
        "'" + tool + "' '" + dir.file("pic.pcx") + "' '" + dir.file("out.ppm") + "'";
    ASSERT_EQ(std::system(ok.c_str()), 0);
    int w = 0, h = 0;
    std::vector<uint32_t> rgb;
    ASSERT_TRUE(readPpm(readFile(dir.file("out.ppm")), w, h, rgb));
    EXPECT_EQ(w, 12);
    EXPECT_EQ(h, 7);
    EXPECT_EQ(rgb, p.rgb);

    const std::string bad = "'" + tool + "' '" + dir.file("notes.txt") + "' '" + dir.file("x.ppm") +
                            "' 2>'" + dir.file("err.txt") + "'";
    const int status = std::system(bad.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    const std::string message = readFile(dir.file("err.txt"));
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(message.find('\n'), message.size() - 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.ppm")));
}
#endif
