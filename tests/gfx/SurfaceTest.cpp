// Surfaces, screen and fonts driven by scripts; each step's result goes into one transcript.
#include "gfx/GfxFont.h"
#include "gfx/GfxImage.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "tests/gfx/ImageFiles.h"
#include "tests/support/DepthPlatform.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>

namespace {

// A 1280x720 desktop of the given depth, whose full screen can be refused.
struct DesktopPlatform : DepthPlatform {
    explicit DesktopPlatform(int bpp) : DepthPlatform(bpp, 1280, 720, 0) {}
    bool setFullScreen(bool on) override {
        return !(refuse && on) && DepthPlatform::setFullScreen(on);
    }
    bool refuse = false;
};

std::string str(long v) {
    return std::to_string(v);
}

std::string hex(uint32_t v) {
    std::ostringstream out;
    out << std::hex << std::uppercase << v;
    return out.str();
}

// Steps "x.op=a,b,..." on surfaces named by a letter (B and F: the screen's), screen S, platform P.
struct World {
    explicit World(int bpp) : platform(bpp) {
        writeFile(dir.file("p.bmp"), writeBmp(picture));
        writeFile(dir.file("short.bmp"), "BM12");
        // "Colours used" far above 256, and a 16-colour table.
        writeFile(dir.file("big.bmp"), writeBmp(big, {.bits = 8, .coloursUsed = 100000}));
        writeFile(dir.file("small.bmp"), writeBmp(makePicture(4, 4, 16), {.bits = 4}));
        writeFile(dir.file("Pic.bmp"), writeBmp(makePicture(6, 4, 16), {.bits = 8}));
        writeFile(dir.file("empty.bmp"), "");
        writeFile(dir.file("down.bmp"),
                  writeBmp(makePicture(8, 8, 16), {.bits = 8, .topDown = true}));
    }

    GfxSurface& surface(char name) {
        if (name == 'B' || name == 'F')
            return name == 'B' ? *screen.GetBackSurface() : *screen.GetFrontSurface();
        std::unique_ptr<GfxSurface>& s = surfaces[name];
        if (!s)
            s = std::make_unique<GfxSurface>();
        return *s;
    }

    std::string step(char name, const std::string& op, const std::vector<std::string>& a) {
        std::vector<int> n;
        for (const std::string& arg : a)
            n.push_back(std::isdigit(static_cast<unsigned char>(arg.back())) ? std::stoi(arg) : 0);
        n.resize(7);
        auto u = [&](int i) { return static_cast<uint32_t>(n[static_cast<size_t>(i)]); };
        auto other = [&] { return a[0] == "-" ? nullptr : &surface(a[0][0]); };
        const bool world = name == 'S' || name == 'P';
        GfxSurface& s = world ? spare : surface(name);
        GfxRect rect{n[3], n[4], n[5], n[6]};
        // A text is the last argument: "~" none, "^" empty, "_" a space.
        std::string text = a.empty() ? "" : a.back();
        std::replace(text.begin(), text.end(), '_', ' ');
        const char* t = text == "~" ? nullptr : text == "^" ? "" : text.c_str();
        GfxPaletteEntry entries[2] = {{uint8_t(n[2] >> 16), uint8_t(n[2] >> 8), uint8_t(n[2])}};
        GfxPaletteEntry cube[256];
        const GfxPaletteEntry& entry = (op == "cube" ? cube : screen.GetColorTable())[n[0] & 0xFF];
        GfxScreen::MakeDefaultPalette(cube);
        const std::map<std::string, std::function<std::string()>> ops = {
            {"Ptime", [&] { return platform.setTime(u(0)), ""; }},
            {"Prefuse", [&] { return platform.refuse = true, ""; }},
            {"Swindowed", [&] { return str(screen.CreateWindowed(&platform, n[0], n[1])); }},
            {"Smode", [&] { return str(screen.ChangeVideoMode(n[0], n[1], n[2], 0)); }},
            {"Sflip", [&] { return str(screen.Flip(1, n[0], 0)); }},
            {"Plast", [&] { return hex(platform.lastFrame()[0]); }},
            {"Scube", [&] { return hex(entry.red << 16 | entry.green << 8 | entry.blue); }},
            {"Sentry", [&] { return hex(entry.red << 16 | entry.green << 8 | entry.blue); }},
            {"Snearest", [&] { return str(screen.NearestPaletteIndex(u(0))); }},
            {"Ssetpal", [&] { return str(screen.SetPaletteEntries(n[0], n[1], entries)); }},
            {"Sloadpal", [&] { return str(screen.LoadPalette(t)); }},
            {"Sfonts", [&] { return str(GfxFont::liveCount() - fontsBefore); }},
            {"font", [&] { return str(s.SetFont(t, 0, n[0], n[1])); }},
            {"Sface",
             [&] {
                 const String file = GfxFont::fileFor(t, n[0]);
                 return std::filesystem::path(file.c_str()).filename().string();
             }},
            {"masks",
             [&] {
                 const GfxPixelFormat format{n[0], u(1), u(2), u(3), n[4] != 0};
                 return str(s.Create(nullptr, 4, 4, kSurfaceMemorySystem, format));
             }},
            // Without a depth code there are no pixel routines: nothing is drawn.
            {"depthcode",
             [&] {
                 s.Lock();
                 s.PutPixel(1, 1, 0xFF);
                 s.Unlock();
                 const PixelFormatInfo& f = s.GetPixelFormat();
                 return str(f.depth) + " red" + str(f.redMask) + "<<" + str(f.redShift) + " green" +
                        str(f.greenMask) + "<<" + str(f.greenShift) + " blue" + str(f.blueMask) +
                        "<<" + str(f.blueShift) + " " + hex(pixelOf(s, 1, 1));
             }},
            // A picture in a folder whose path is longer than a kept name.
            {"long",
             [&] {
                 std::string path = dir.file(std::string(200, 'a') + "/" + std::string(200, 'b'));
                 std::filesystem::create_directories(path);
                 writeFile(path += "/picture.bmp", writeBmp(makePicture(3, 3)));
                 const int loaded = s.CreateFromImage(&screen, path.c_str(), 1);
                 const bool cut = path.substr(0, GfxSurface::kMaxNameLength) == s.GetFileName();
                 const int reloadCut = s.ReloadImage(s.GetFileName());
                 return str(loaded) + " cut" + str(cut) + " reload" + str(reloadCut) + "/" +
                        str(s.ReloadImage(path.c_str()));
             }},
            {"fontname", [&] { return std::string(s.GetFontName()); }},
            {"select", [&] { return str(s.SelectFont()); }},
            {"text", [&] { return str(s.TextAt(n[0], n[1], 0xFFFFFF, t)); }},
            {"extent",
             [&] {
                 int w = 0, h = 0;
                 return s.GetTextExtent(t, w, h), str(w) + "x" + str(h);
             }},
            // The pixels that are not 0: their number, leftmost column and lowest row.
            {"ink",
             [&] {
                 int count = 0, left = s.GetWidth(), bottom = -1, i = 0;
                 for (uint32_t p : pixelsOf(s)) {
                     if (p != 0)
                         ++count, left = std::min(left, i % s.GetWidth()),
                                  bottom = i / s.GetWidth();
                     ++i;
                 }
                 return str(count) + " from x" + str(left) + " to y" + str(bottom);
             }},
            {"Slose", [&] { return screen.LoseSurfaces(), ""; }},
            // n flips spread over span ms from start; the largest rate shown.
            {"Sflips",
             [&] {
                 int most = 0;
                 for (int i = 1; i <= n[0]; ++i) {
                     platform.setTime(static_cast<uint32_t>(n[1] + i * n[2] / n[0]));
                     screen.Flip(1, 0, 0);
                     most = std::max(most, screen.GetFramesPerSecond());
                 }
                 return str(most);
             }},
            {"Snowindow",
             [&] {
                 HeadlessPlatform none;
                 GfxScreen refused(&none);
                 return str(refused.CreateWindowed(&none, 640, 480)) + "/" +
                        str(refused.CreateWindowed(nullptr, 640, 480));
             }},
            {"new",
             [&] {
                 const GfxPixelFormat format = GfxPixelFormat::forDepth(n[2] ? n[2] : 32);
                 return str(s.Create(nullptr, n[0], n[1], kSurfaceMemorySystem, format));
             }},
            {"make", [&] { return str(s.Create(&screen, n[0], n[1], a.size() > 2 ? n[2] : 1)); }},
            {"load", [&] { return str(s.CreateFromImage(&screen, t, 1)); }},
            {"convert", [&] { return hex(screen.ConvertColor(u(0), &s)); }},
            {"Sconvert", [&] { return hex(screen.ConvertColor(u(0))); }},
            // The bitmap path's size and column 3 at the top and bottom.
            {"Sbitmap",
             [&] {
                 int w = 0, h = 0;
                 auto store = GfxImage::LoadBitmapSurface(nullptr, t, w, h, 1);
                 return str(w) + "x" + str(h) + " " + hex(store->pixelAt(3, 0)) + " " +
                        hex(store->pixelAt(3, h - 1));
             }},
            // Made on a screen that goes before the surface.
            {"orphan",
             [&] {
                 GfxScreen shortLived(nullptr);
                 return str(s.Create(&shortLived, n[0], n[1], 1));
             }},
            {"screen", [&] { return str(s.GetScreen() != nullptr); }},
            {"del", [&] { return surfaces.erase(name), ""; }},
            // Pixel (x, y) holds 100 + y * width + x.
            {"ramp",
             [&] {
                 s.Lock();
                 for (int y = 0; y < s.GetHeight(); ++y)
                     for (int x = 0; x < s.GetWidth(); ++x)
                         s.PutPixel(x, y, static_cast<uint32_t>(100 + y * s.GetWidth() + x));
                 return s.Unlock(), "";
             }},
            {"lock", [&] { return str(s.Lock()); }},
            {"unlock", [&] { return str(s.Unlock()); }},
            {"release", [&] { return str(s.ReleaseDC()); }},
            {"restore", [&] { return str(s.Restore()); }},
            {"corner", [&] { return str(s.SetColorKeyFromCorner()); }},
            {"key", [&] { return str(s.SetColorKey(u(0))); }},
            {"dc",
             [&] {
                 GfxDeviceContext* dc = s.GetDC();
                 std::string same = dc ? (dc == lastDC ? "same" : "new") : "null";
                 return lastDC = dc, same;
             }},
            {"lost", [&] { return s.MarkLost(), ""; }},
            {"clip",
             [&] {
                 return s.SetClipRect(GfxRect{n[0], n[1], n[2], n[3]}), "";
             }},
            {"put", [&] { return s.PutPixel(n[0], n[1], u(2)), ""; }},
            {"blend", [&] { return s.BlendPixel(n[0], n[1], u(2), u(3)), ""; }},
            {"get", [&] { return hex(s.GetPixel(n[0], n[1])); }},
            {"pix", [&] { return hex(pixelOf(s, n[0], n[1])); }},
            {"fill", [&] { return str(s.FillAll(u(0))); }},
            {"area", [&] { return str(s.FillArea(n[0], n[1], n[2], n[3], u(4))); }},
            {"draw",
             [&] {
                 return str(s.DrawOpaque(other(), n[1], n[2], a.size() > 3 ? &rect : nullptr));
             }},
            {"keyed", [&] { return str(s.DrawKeyed(other(), n[1], n[2])); }},
            {"clipblit",
             [&] {
                 const int result = GfxSurface::ClipBlit(s, *other(), n[1], n[2], rect);
                 return str(result) + " at " + str(n[1]) + "," + str(n[2]) + " from " +
                        str(rect.left) + "," + str(rect.top) + "," + str(rect.right) + "," +
                        str(rect.bottom);
             }},
            {"dump",
             [&] {
                 std::string all;
                 for (uint32_t p : pixelsOf(s))
                     all += hex(p) + ".";
                 return all;
             }},
            {"state",
             [&] {
                 GfxPixelStore* store = s.GetStore();
                 return str(s.GetWidth()) + "x" + str(s.GetHeight()) + "/" +
                        str(s.GetPixelFormat().depth) + " locks" + str(s.GetLockCount()) + " dcs" +
                        str(s.GetDCCount()) + " pixels" + str(s.GetPixels() != nullptr) +
                        (store ? " calls" + str(store->lockCalls()) + " locked" +
                                     str(store->isLocked()) + " dc" + str(store->hasDC()) +
                                     " lost" + str(store->isLost())
                               : " no store") +
                        " key" + hex(s.GetColorKey());
             }},
            // The first registered surface shown by its width.
            {"Sstate",
             [&] {
                 const GfxSurface* first = screen.GetFirstSurface();
                 return "surfaces" + str(screen.GetSurfaceCount()) + " full" +
                        str(screen.IsFullScreen()) + "/" + str(platform.isFullScreen()) + " bpp" +
                        str(screen.GetBitsPerPixel()) + " palette" + str(screen.HasPalette()) +
                        " fps" + str(screen.GetFramesPerSecond()) + " counted" +
                        str(screen.GetFramesCounted()) + " shown" +
                        str(platform.framesPresented()) + " first" +
                        str(first ? first->GetWidth() : 0);
             }},
        };
        return ops.at((world ? std::string(1, name) : "") + op)();
    }

    std::string run(const std::string& script) {
        std::istringstream steps(script);
        std::string out, token;
        while (steps >> token) {
            const size_t dot = token.find('.'), eq = token.find('=');
            std::vector<std::string> args;
            std::istringstream list(eq == std::string::npos ? "" : token.substr(eq + 1));
            for (std::string arg; std::getline(list, arg, ',');)
                args.push_back(arg);
            const std::string result = step(token[0], token.substr(dot + 1, eq - dot - 1), args);
            out += " " + token + (result.empty() ? "" : "->" + result);
        }
        return out;
    }

    TempDir dir;
    ScopedWorkingDir cwd{dir.path()};
    const TestPicture picture = makePicture(5, 4), big = makePicture(16, 16, 256);
    const int fontsBefore = GfxFont::liveCount();
    DesktopPlatform platform;
    GfxScreen screen{&platform};
    std::map<char, std::unique_ptr<GfxSurface>> surfaces;
    GfxDeviceContext* lastDC = nullptr;
    GfxSurface spare;
};

} // namespace

TEST(GfxSurface, ScriptsOfSurfacesAndTheScreen) {
    const std::tuple<const char*, int, const char*> scripts[] = {
        {"copies clipped on the same edges in source and destination, never overflowing", 32,
         "s.new=8,8,16 s.ramp d.new=20,20,16 d.clip=5,5,15,15 s.draw=d,15,0 s.draw=d,-3,-3 "
         "s.draw=d,6,15 d.ink s.draw=d,2,3 d.pix=5,5 d.pix=9,10 d.pix=4,5 d.pix=10,5 "
         "s.clip=0,0,6,8 s.clipblit=d,12,13,1,1,7,7 s.draw=d,2147483632,5 s.draw=d,5,-2147483632 "
         "e.draw=d,0,0 s.keyed=-,0,0"},
        {"opaque copies take the key colour too, whole rows at once, within one surface downwards",
         32, "k.new=8,3,16 k.ramp k.key=100 w.new=8,3,16 k.draw=w,0,0 w.dump k.draw=k,0,1 k.dump"},
        {"copies between formats refused, weights cut to 16 bits, nothing written unlocked", 32,
         "a.new=2,2,16 b.new=2,2 a.draw=b,0,0 a.lock a.blend=1,1,65535,65792 a.get=1,1 a.unlock "
         "b.lock b.put=5,5,1 b.get=-1,0 b.get=0,2 b.get=2,0 b.unlock b.fill=1193046 b.put=0,0,0 "
         "b.get=0,0 b.pix=0,0"},
        {"colours as the top bits of each component", 32,
         "a.new=2,2,16 a.convert=255 a.convert=65280 a.convert=16711680 a.convert=788484 "
         "b.new=2,2,15 b.convert=255 c.new=2,2,8 c.convert=255 c.convert=1193046 d.new=2,2 "
         "d.convert=3351057 S.convert=3351057"},
        {"fills clipped except the whole-surface fill; a failed make leaves nothing", 32,
         "a.new=4,4,16 a.clip=1,1,3,4 a.area=-10,-10,3,3,9 a.area=3,0,9,9,8 a.dump a.fill=4 a.dump "
         "e.fill=0 e.area=0,0,1,1,0 a.new=0,6,16 a.state"},
        {"nested locks and contexts reach the store once", 32,
         "s.new=3,3 s.lock s.lock s.state s.unlock s.state s.unlock s.state s.unlock s.dc s.dc "
         "s.state s.release s.state s.release s.state s.release s.state n.lock n.unlock n.dc "
         "n.release n.key=0 n.corner n.restore"},
        {"pictures by Windows-style names, top-down; failed loads keep the old", 32,
         "a.load=.\\pic.BMP a.state a.pix=2,3 S.bitmap=down.bmp a.load=empty.bmp a.load=~ "
         "a.load=missing.bmp a.state"},
        {"pictures for 8 bits take the nearest palette colours", 8,
         "S.windowed=16,16 a.load=pic.bmp a.pix=0,0 S.nearest=4704269"},
        {"lost surfaces restored by a copy that gives up; only pictures reloaded", 32,
         "b.make=5,4 f.load=p.bmp d.make=5,4 b.fill=1193046 b.lost b.draw=d,0,0 b.state "
         "b.area=0,0,1,1,1 f.lost f.draw=d,0,0 f.draw=d,0,0 d.pix=4,3 f.lost f.lock f.get=2,1 "
         "f.unlock"},
        {"the registry follows making and deleting; a surface outlives its screen", 32,
         "a.make=1,1 b.make=1,1 c.make=3,3 b.make=2,2 S.state b.del S.state a.del S.state "
         "f.make=0,5 f.state S.state c.del S.state o.orphan=2,2 o.screen o.fill=1"},
        {"windowed in the desktop's format; the screen's own surfaces are not registered", 16,
         "S.nowindow S.windowed=640,480 S.windowed=640,480 S.state F.state B.state "
         "x.make=10,10,2 x.state S.state"},
        {"a mode change rebuilds every surface, reloading pictures", 32,
         "S.windowed=640,480 v.make=8,8,0 f.load=p.bmp v.fill=11259375 f.key=4660 "
         "S.mode=640,480,16 S.state F.state B.state v.state f.state v.pix=3,3 f.pix=4,3 "
         "S.mode=640,480,0 S.state F.state v.state f.pix=0,0 S.mode=640,480,12 P.refuse "
         "S.mode=640,480,16 S.mode=640,480,0"},
        {"the frame rate changes when a period closes, whose last flip starts the next", 32,
         "S.windowed=64,48 S.flips=59,0,1000 S.state P.time=1001 S.flip S.state"},
        {"the colour cube, or a bitmap's table of up to 256 entries, shows 8-bit pixels", 8,
         "S.cube=255 S.cube=74 S.windowed=16,16 S.state S.entry=224 S.loadpal=~ "
         "S.loadpal=missing.bmp S.loadpal=short.bmp S.state S.setpal=0,1,0 S.loadpal=big.bmp "
         "S.state S.entry=200 S.loadpal=small.bmp S.entry=3 S.entry=224 S.setpal=7,1,65280 "
         "S.setpal=255,2,65280 B.fill=7 S.flip=1 P.last S.nearest=65280"},
        {"a surface owns one font, which answers the last request", 32,
         "s.make=200,30 o.make=200,30 x.make=2,2 s.font=25,700,Times_New_Roman s.fontname "
         "s.font=18,700,Arial s.fontname s.font=25,700,Times_New_Roman s.font=18,700,Arial "
         "S.fonts o.font=25,700,Times_New_Roman S.fonts s.dc s.select s.extent=Pause s.release "
         "o.dc o.select o.extent=Pause o.release o.del S.fonts x.select s.select"},
        {"text: none, without a held context, partly off the surface, on a lost surface", 32,
         "s.make=100,30 s.font=20,400,Arial s.text=0,0,~ s.text=0,0,^ s.ink s.dc s.select "
         "s.extent=WWWW s.release s.extent=WWWW s.text=-5,25,WWWW s.ink s.lost s.text=0,0,x"},
        {"depth codes from the masks; without one nothing is drawn", 32,
         "a.new=4,4,8 a.depthcode b.masks=16,31744,992,31,1 b.depthcode c.masks=16,63488,2016,31,1 "
         "c.depthcode d.masks=16,3840,240,15,1 d.depthcode e.new=4,4,24 e.depthcode f.new=4,4 "
         "f.depthcode g.masks=16,63488,2016,31,0 g.depthcode h.masks=4,0,0,0,0 h.depthcode"},
        {"a long file name is cut and then names no file", 32,
         "a.long a.load=~ a.load=missing.bmp a.state"},
        {"the game's faces, any other one sans-serif", 32,
         "S.face=400,Times_New_Roman S.face=400,Arial S.face=400,Arial_Black S.face=700,Courier "
         "S.face=400,Wingdings"},
        {"lost surfaces restored and that frame not shown, at full screen the chain too", 32,
         "S.windowed=32,32 s.make=4,4 S.flip S.state S.lose s.state S.flip S.state B.state "
         "S.flip S.state S.mode=32,32,16 S.lose B.restore F.state B.state"},
    };
    std::string transcript;
    for (const auto& [what, bpp, script] : scripts)
        transcript += std::string(what) + ":" + World(bpp).run(script) + "\n";
    checkGoldenText(LURVANE_GOLDEN_DIR "/surfaces.txt", transcript);
}
