// One front-end frame of widgets: a stack of two menu boxes over a panel of
// four text columns, copied onto a 640x480 back surface at 16 bits with
// every widget surface already built.
#include "Src/app/GameSystems.h"
#include "Src/core/Application.h"
#include "Src/core/InputManager.h"
#include "Src/core/TextStyles.h"
#include "Src/menus/MenuBox.h"
#include "Src/menus/MenuBoxManager.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "widgets/TextGroup.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

class SixteenBitDesktop : public HeadlessPlatform {
public:
    void desktopSize(int& width, int& height, int& bitsPerPixel) const override {
        width = 640;
        height = 480;
        bitsPerPixel = 16;
    }
};

std::unique_ptr<MenuBox> sevenEntryMenu(GfxScreen* screen, int x, int y, const char* title) {
    auto box = std::make_unique<MenuBox>(screen, x, y, title);
    for (const char* text :
         {"Start Game", "Select Zone", "Options", "Statistics", "Help", "Credits", "Quit"})
        box->addEntry(text);
    box->centred = true;
    return box;
}

void BM_MenuFrame(benchmark::State& state) {
    SixteenBitDesktop desktop;
    desktop.createWindow("Lurvane", 640, 480);
    GfxScreen screen(&desktop);
    GfxSurface back;
    if (screen.CreateWindowed(&desktop, 640, 480) != 0 ||
        back.Create(&screen, 640, 480, kSurfaceMemoryAny) != 0 ||
        screen.GetDisplayFormat().bitsPerPixel != 16) {
        state.SkipWithError("cannot set up a 16-bit back surface");
        return;
    }
    app = ApplicationState();
    app.screen = &screen;
    app.backSurface = &back;
    setUpTextStyles(&screen);

    // The high score panel: a group of four framed columns of ten lines.
    TextStyle columnStyle = panelStyle;
    columnStyle.framed = 1;
    columnStyle.frameColour = screen.ConvertColor(0x005000);
    TextStyle groupStyle = highScoreStyle;
    groupStyle.framed = 0;
    groupStyle.marginX = 0;
    groupStyle.lineSpacing = 2;
    groupStyle.titleBackground = groupStyle.background = groupStyle.highlightBackground = 0;
    TextGroup panel(&screen, groupStyle);
    panel.setTitleStyle(columnStyle);
    std::vector<std::unique_ptr<TextList>> columns;
    for (int c = 0; c < 4; ++c) {
        columns.push_back(std::make_unique<TextList>(&screen, columnStyle));
        panel.addChild(columns.back().get());
    }
    panel.setColumns(true);
    panel.setTitle("High Scores");
    for (int i = 0; i < 10; ++i) {
        columns[0]->addText("%02d", i + 1);
        columns[1]->addText("%s", "Anonymous");
        columns[2]->addText("%06d", 10000 - 900 * i);
        columns[3]->addText("%02d/%02d/%04d %02d:%02d", 12, 7, 2026, 21, i);
    }

    MenuBoxManager manager;
    auto mainMenu = sevenEntryMenu(&screen, 430, 10, "Main Menu");
    auto subMenu = sevenEntryMenu(&screen, -1, -1, "Options");
    manager.push(mainMenu.get());
    manager.push(subMenu.get());
    ControlState idle;
    int w = 0, h = 0;
    // Build every surface before timing.
    manager.drawAndHandle(&idle);
    panel.getSize(w, h);
    panel.drawKeyed((640 - w) / 2, (300 - h) / 2 + 180, 0, 0, &back);

    for (auto _ : state) {
        benchmark::DoNotOptimize(manager.drawAndHandle(&idle));
        panel.getSize(w, h);
        panel.drawKeyed((640 - w) / 2, (300 - h) / 2 + 180, 0, 0, &back);
        benchmark::ClobberMemory();
    }
    manager.clearStack();
    app = ApplicationState();
}
BENCHMARK(BM_MenuFrame);

} // namespace
