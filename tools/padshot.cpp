// padshot OUT.ppm: the new high score entry in a real SDL window, its name
// entered by a pad alone. A virtual pad is plugged in through SDL's own
// joystick interface, and its presses are set frame by frame; the frame
// shown after the name is entered is saved. Run it in a directory that holds
// the game's Data, under a display (Xvfb will do).
#include "Src/core/Application.h"
#include "Src/core/InputManager.h"
#include "Src/core/TextStyles.h"
#include "Src/frontend/NewHighScore.h"
#include "Src/records/HighScoreManager.h"
#include "Src/records/Settings.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/sdl/SdlPlatform.h"
#include "widgets/TextBox.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// The pad is played as it is seen: one step a presented frame.
class ScriptedPadPlatform : public SdlPlatform {
public:
    explicit ScriptedPadPlatform(std::string out) : out_(std::move(out)) {}
    ~ScriptedPadPlatform() override {
        if (pad_)
            SDL_JoystickClose(pad_);
    }

    void present(const uint32_t* pixels, int width, int height, int pitch, bool stretch) override {
        SdlPlatform::present(pixels, width, height, pitch, stretch);
        ++frame_;
        if (frame_ == 5) {
            const int index =
                SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                          SDL_CONTROLLER_BUTTON_MAX, 0);
            pad_ = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
        }
        // Up held to Z, right, then down from the end of the list to e with
        // diaeresis, right, and up to A; start confirms after the shot.
        button(10, 121, SDL_CONTROLLER_BUTTON_DPAD_UP);
        button(125, 127, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
        button(130, 218, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
        button(222, 224, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
        button(227, 228, SDL_CONTROLLER_BUTTON_DPAD_UP);
        if (frame_ == 250)
            save(pixels, width, height, pitch);
        button(255, 257, SDL_CONTROLLER_BUTTON_START);
    }

private:
    void button(int from, int to, SDL_GameControllerButton which) {
        if (pad_ && (frame_ == from || frame_ == to))
            SDL_JoystickSetVirtualButton(pad_, which, frame_ == from ? 1 : 0);
    }
    void save(const uint32_t* pixels, int width, int height, int pitch) {
        std::ofstream file(out_, std::ios::binary);
        file << "P6\n" << width << " " << height << "\n255\n";
        for (int y = 0; y < height; ++y) {
            const uint32_t* row = pixels + y * (pitch / 4);
            for (int x = 0; x < width; ++x) {
                const char rgb[3] = {static_cast<char>(row[x] >> 16),
                                     static_cast<char>(row[x] >> 8), static_cast<char>(row[x])};
                file.write(rgb, 3);
            }
        }
        saved = true;
    }

    std::string out_;
    SDL_Joystick* pad_ = nullptr;
    int frame_ = 0;

public:
    bool saved = false;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: padshot OUT.ppm\n");
        return 2;
    }
    // The window may not have the focus under a bare X server.
    ::setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    ScriptedPadPlatform platform(argv[1]);
    if (!platform.isUsable() || !platform.createWindow("Lurvane", 640, 480)) {
        std::fprintf(stderr, "padshot: no display\n");
        return 1;
    }
    app.platform = &platform;
    app.appActive = 1;
    GfxScreen screen(&platform);
    GfxSurface back;
    if (screen.CreateWindowed(&platform, 640, 480) != 0 || back.Create(&screen, 640, 480, 2) != 0)
        return 1;
    app.screen = &screen;
    app.backSurface = &back;
    TextBox::setDefaultTarget(&back);
    setUpTextStyles(&screen);
    highScoreManager = new HighScoreManager;
    inputManager = new InputManager;
    if (!inputManager->init(&platform))
        return 1;
    options.titleMusic = options.soundEffects = false;
    lastPlayerName = "Pad";
    NewHighScore entry;
    entry.runNewHighScore(250, highScoreManager->getList(0, 0), 0, 0, false);
    std::printf("name entered: \"%s\"\n", lastPlayerName.c_str());
    delete inputManager;
    delete highScoreManager;
    return platform.saved ? 0 : 1;
}
