#include "Src/frontend/TextPageScreen.h"

#include "Src/core/Application.h"
#include "Src/core/InputManager.h"
#include "Src/core/TextStyles.h"
#include "Src/frontend/TextPages.h"
#include "gfx/GfxInput.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/GfxTypes.h"
#include "lib/Array.h"
#include "widgets/TextBox.h"

namespace {

constexpr const char* kLogoFile = ".\\Data\\Gfx\\logo.bmp";
constexpr int kFramesPerSecond = 50;
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

struct PageScreen {
    PtrArray<TextList> pages;
    int pageIndex = 0;
    GfxSurface* logo = nullptr;
    int logoHeight = 0;
    int blueLevel = 30;
    int greenLevel = 30;
    int blueStep = 1;
    int greenStep = 2;
    bool fireReleased = false;
    bool escapeReleased = false;

    TextList* currentPage() const { return pageIndex < pages.size() ? pages[pageIndex] : nullptr; }
    void clear() {
        delete logo;
        logo = nullptr;
        logoHeight = 0;
        pages.clear();
        pageIndex = 0;
    }
};

PageScreen screen;

// The text pages become boxes whose lines are plain text, never formats.
bool loadTextPages(const char* fileName) {
    screen.clear();
    TextPages text;
    if (!text.load(fileName))
        return false;
    for (int p = 0; p < text.pageCount(); ++p) {
        const TextPage& page = text.page(p);
        auto* box = new TextList(app.screen, textPageStyle);
        if (page.hasTitle)
            box->setTitle(page.title.c_str());
        for (int i = 0; i < page.lines.size(); ++i) {
            const int index = box->addLine(page.lines[i]->text.c_str());
            if (page.lines[i]->highlighted)
                box->toggleHighlight(index);
        }
        screen.pages.add(box);
    }
    screen.blueLevel = screen.greenLevel = 30;
    screen.blueStep = 1;
    screen.greenStep = 2;
    screen.pageIndex = 0;

    screen.logo = new GfxSurface;
    if (screen.logo->CreateFromImage(app.screen, kLogoFile, kSurfaceMemoryAny) < 0 ||
        !screen.logo->GetStore()) {
        screen.clear();
        fatalError(app.screen, "Could not load %s", kLogoFile);
        return false;
    }
    screen.logoHeight = screen.logo->GetHeight();
    return true;
}

void nextPage() {
    if (screen.pageIndex + 1 < screen.pages.size())
        ++screen.pageIndex;
    else
        app.loopResult = kLoopChoice;
}

// The background's blue and green swing slowly up and down.
void drift(int& level, int& step, int high, int low) {
    level = (level + step) & 0xFF;
    if (level > high || level < low)
        step = -step;
}

void textPageFrame() {
    static const ControlState none;
    const ControlState* control = inputManager ? inputManager->updateForMenu() : &none;
    GfxSurface* target = app.backSurface;

    drift(screen.blueLevel, screen.blueStep, 80, 20);
    drift(screen.greenLevel, screen.greenStep, 85, 14);
    if (target) {
        const uint32_t colour = static_cast<uint32_t>(screen.blueLevel) << 16 |
                                static_cast<uint32_t>(screen.greenLevel) << 8;
        target->FillAll(app.screen ? app.screen->ConvertColor(colour) : colour);
        if (screen.logo)
            screen.logo->DrawOpaque(target, 0, 0);
        if (TextList* page = screen.currentPage()) {
            int w = 0, h = 0;
            if (page->getSize(w, h))
                page->render(target, (kScreenWidth - w) / 2,
                             (kScreenHeight - screen.logoHeight - h) / 2 + screen.logoHeight);
        }
    }

    if (!(control->buttons & kControlEscape))
        screen.escapeReleased = true;
    else if (screen.escapeReleased)
        app.loopResult = kLoopChoice;

    const bool turnKey = inputManager && (inputManager->isKeyDown(kGfxKeyEnter) ||
                                          inputManager->isKeyDown(kGfxKeySpace));
    if (!(control->buttons & kControlFire) && !turnKey) {
        screen.fireReleased = true;
    } else if (screen.fireReleased) {
        screen.fireReleased = false;
        nextPage();
    }
}

} // namespace

void showTextPages(bool credits) {
    if (!loadTextPages(TextPages::fileFor(credits)))
        return;
    const int savedRate = app.framesPerSecond;
    app.framesPerSecond = kFramesPerSecond;
    screen.fireReleased = screen.escapeReleased = false;
    LoopCallbacks callbacks;
    callbacks.init = [] { return true; };
    callbacks.exit = [] {};
    callbacks.frame = textPageFrame;
    callbacks.idle = [] {};
    callbacks.mouseClick = [](int, int) { nextPage(); };
    callbacks.hideCursor = false;
    winloop(callbacks, true);
    app.framesPerSecond = savedRate;
    screen.clear();
}

int textPageIndex() {
    return screen.pageIndex;
}
int textPageCount() {
    return screen.pages.size();
}
