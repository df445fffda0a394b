// Fonts on SDL2_ttf with the Liberation faces; the only file that sees
// SDL_ttf. The faces the game asks for are answered by metric-compatible
// installed faces, rendered without anti-aliasing. A face is opened once per
// face, size and weight and shared by every font that asks for it, with the
// lines of text rendered in it.
#include "gfx/GfxFont.h"
#include "gfx/GfxTextCache.h"

#include <SDL_ttf.h>

#include <strings.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kFontDirectories[] = {
    "/usr/share/fonts/truetype/liberation/",
    "/usr/share/fonts/truetype/liberation2/",
};

// GDI's default cell height when a font asks for height 0.
constexpr int kDefaultHeight = 16;
constexpr int kBoldWeight = 600;
constexpr int kBaseDpi = 72;
// Faces kept open while no font uses them; the game asks for a handful.
constexpr size_t kKeptFaces = 16;
// Text up to this length is handed to SDL_ttf from the stack.
constexpr int kShortText = 256;

bool fileExists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// SDL_ttf wants a terminated string; short text is copied to the stack so
// that measuring and rendering do not allocate.
class TerminatedText {
public:
    TerminatedText(const char* text, int length) {
        if (length < kShortText) {
            std::memcpy(shortText_, text, static_cast<size_t>(length));
            shortText_[length] = '\0';
        } else {
            longText_.assign(text, static_cast<size_t>(length));
        }
    }
    const char* c_str() const { return longText_.empty() ? shortText_ : longText_.c_str(); }

private:
    char shortText_[kShortText];
    std::string longText_;
};

// One opened face at one size, with the lines rendered in it.
struct TtfFace {
    TtfFace(TTF_Font* opened, const char* face, int w, int h, int wt)
        : font(opened), name(face ? face : ""), width(w), height(h), weight(wt) {}
    ~TtfFace() {
        TTF_CloseFont(font);
        TTF_Quit();
    }
    TtfFace(const TtfFace&) = delete;
    TtfFace& operator=(const TtfFace&) = delete;

    bool answers(const char* face, int w, int h, int wt) const {
        return width == w && height == h && weight == wt &&
               ::strcasecmp(name.c_str(), face ? face : "") == 0;
    }

    TTF_Font* font;
    std::string name;
    int width, height, weight;
    GfxTextCache lines;
};

// The largest point size whose cell (ascent plus descent) fits the height.
int pointSizeForCell(TTF_Font* font, int cellHeight) {
    int size = cellHeight * 9 / 10 > 0 ? cellHeight * 9 / 10 : 1;
    TTF_SetFontSize(font, size);
    while (size > 1 && TTF_FontHeight(font) > cellHeight)
        TTF_SetFontSize(font, --size);
    for (;;) {
        if (TTF_SetFontSize(font, size + 1) != 0 || TTF_FontHeight(font) > cellHeight)
            break;
        ++size;
    }
    TTF_SetFontSize(font, size);
    return size;
}

std::shared_ptr<TtfFace> openFace(const char* face, int width, int height, int weight) {
    const String file = GfxFont::fileFor(face, weight);
    if (file.isEmpty())
        return nullptr;
    if (TTF_Init() != 0)
        return nullptr;
    TTF_Font* font = TTF_OpenFont(file.c_str(), height > 0 ? height : kDefaultHeight);
    if (!font) {
        TTF_Quit();
        return nullptr;
    }
    // A negative height asks for the character height instead of the cell.
    int size = height < 0 ? -height : pointSizeForCell(font, height > 0 ? height : kDefaultHeight);
    if (height < 0)
        TTF_SetFontSize(font, size);
    if (width > 0) {
        // Stretch horizontally so that the average character is width wide.
        int minX, maxX, minY, maxY, advance = 0;
        if (TTF_GlyphMetrics(font, 'x', &minX, &maxX, &minY, &maxY, &advance) == 0 && advance > 0)
            TTF_SetFontSizeDPI(font, size, static_cast<unsigned>(kBaseDpi * width / advance),
                               kBaseDpi);
    }
    return std::make_shared<TtfFace>(font, face, width, height, weight);
}

// The open faces; a face that no font uses any more stays open until room
// is needed for another.
std::shared_ptr<TtfFace> faceFor(const char* face, int width, int height, int weight) {
    static std::vector<std::shared_ptr<TtfFace>> faces;
    for (const std::shared_ptr<TtfFace>& open : faces)
        if (open->answers(face, width, height, weight))
            return open;
    std::shared_ptr<TtfFace> opened = openFace(face, width, height, weight);
    if (!opened)
        return nullptr;
    if (faces.size() >= kKeptFaces) {
        for (auto it = faces.begin(); it != faces.end(); ++it)
            if (it->use_count() == 1) {
                faces.erase(it);
                break;
            }
    }
    if (faces.size() < kKeptFaces)
        faces.push_back(opened);
    return opened;
}

class TtfFont : public GfxFont {
public:
    explicit TtfFont(std::shared_ptr<TtfFace> face) : face_(std::move(face)) {}

    bool reopen(const char* face, int width, int height, int weight) override {
        if (face_->answers(face, width, height, weight))
            return true;
        std::shared_ptr<TtfFace> other = faceFor(face, width, height, weight);
        if (!other)
            return false;
        face_ = std::move(other);
        return true;
    }

    bool measure(const char* text, int length, int& width, int& height) const override {
        width = height = 0;
        if (!text || length < 0)
            return false;
        height = TTF_FontHeight(face_->font);
        if (length == 0)
            return true;
        const TerminatedText line(text, length);
        return TTF_SizeText(face_->font, line.c_str(), &width, nullptr) == 0;
    }

    bool render(const char* text, int length, GfxTextMask& mask) const override {
        // The mask's buffer is reused: a kept slot takes new text without
        // allocating when it held a line at least as large.
        mask.width = mask.height = 0;
        mask.ink.clear();
        int width = 0, height = 0;
        if (!measure(text, length, width, height))
            return false;
        mask.width = width;
        mask.height = height;
        const size_t size = static_cast<size_t>(width) * static_cast<size_t>(height);
        reserveRounded(mask.ink, size);
        mask.ink.assign(size, 0);
        if (width == 0)
            return true;
        const TerminatedText line(text, length);
        const SDL_Color ink = {255, 255, 255, 255};
        SDL_Surface* rendered = TTF_RenderText_Solid(face_->font, line.c_str(), ink);
        if (!rendered)
            return false;
        // Index 0 is the background of a solid rendering, anything else ink.
        const int w = rendered->w < width ? rendered->w : width;
        const int h = rendered->h < height ? rendered->h : height;
        for (int y = 0; y < h; ++y) {
            const auto* row = static_cast<const uint8_t*>(rendered->pixels) +
                              static_cast<ptrdiff_t>(y) * rendered->pitch;
            for (int x = 0; x < w; ++x)
                mask.ink[static_cast<size_t>(y) * width + x] = row[x] != 0;
        }
        SDL_FreeSurface(rendered);
        return true;
    }

protected:
    GfxTextCache* lines() const override { return &face_->lines; }

private:
    std::shared_ptr<TtfFace> face_;
};

} // namespace

String GfxFont::fileFor(const char* face, int weight) {
    const bool bold = weight >= kBoldWeight;
    const char* file = bold ? "LiberationSans-Bold.ttf" : "LiberationSans-Regular.ttf";
    if (face && ::strcasecmp(face, "Times New Roman") == 0)
        file = bold ? "LiberationSerif-Bold.ttf" : "LiberationSerif-Regular.ttf";
    else if (face && (::strcasecmp(face, "Courier") == 0 || ::strcasecmp(face, "Courier New") == 0))
        file = bold ? "LiberationMono-Bold.ttf" : "LiberationMono-Regular.ttf";
    else if (face && ::strcasecmp(face, "Arial Black") == 0)
        file = "LiberationSans-Bold.ttf";
    for (const char* directory : kFontDirectories) {
        const std::string path = std::string(directory) + file;
        if (fileExists(path))
            return String(path.c_str());
    }
    return String();
}

GfxFont* GfxFont::create(const char* face, int width, int height, int weight) {
    std::shared_ptr<TtfFace> opened = faceFor(face, width, height, weight);
    return opened ? new TtfFont(std::move(opened)) : nullptr;
}
