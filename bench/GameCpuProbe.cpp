// lurvane_cpu_probe [GAME_DIR]
//
// Runs the real game on SDL's dummy drivers in GAME_DIR (the build's game
// directory by default) and prints the process's CPU time per wall-clock
// time, 10 s each: on the title screen, in a level while it plays and while
// it is paused. Keys go into SDL's event queue at fixed times, as a
// player's would, so the run needs no display.
#include "Src/app/GameSystems.h"
#include "gfx/sdl/SdlPlatform.h"
#include "sound/sdl/SdlMixerSoundBackEnd.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

enum class Step { KeyDown, KeyUp, Begin, End, Quit };

struct Cue {
    double at; // seconds after the start
    Step step;
    SDL_Scancode key;
    const char* phase;
};

// Start-up settles for 3 s; each phase is measured for 10 s.
constexpr Cue kScript[] = {
    {3.0, Step::Begin, SDL_SCANCODE_UNKNOWN, "title screen"},
    {13.0, Step::End, SDL_SCANCODE_UNKNOWN, "title screen"},
    {13.1, Step::KeyDown, SDL_SCANCODE_RETURN, nullptr}, // "Start"
    {13.2, Step::KeyUp, SDL_SCANCODE_RETURN, nullptr},
    {16.0, Step::Begin, SDL_SCANCODE_UNKNOWN, "level, playing"},
    {26.0, Step::End, SDL_SCANCODE_UNKNOWN, "level, playing"},
    {26.1, Step::KeyDown, SDL_SCANCODE_P, nullptr},
    {26.2, Step::KeyUp, SDL_SCANCODE_P, nullptr},
    {27.0, Step::Begin, SDL_SCANCODE_UNKNOWN, "level, paused"},
    {37.0, Step::End, SDL_SCANCODE_UNKNOWN, "level, paused"},
    {37.1, Step::Quit, SDL_SCANCODE_UNKNOWN, nullptr},
};

class ScriptedPlatform : public SdlPlatform {
public:
    bool pollEvent(PlatformEvent& event) override {
        const double now =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        while (next_ < std::size(kScript) && kScript[next_].at <= now)
            play(kScript[next_++], now);
        return SdlPlatform::pollEvent(event);
    }

private:
    void play(const Cue& cue, double now) {
        SDL_Event sdl{};
        switch (cue.step) {
        case Step::KeyDown:
        case Step::KeyUp:
            sdl.type = cue.step == Step::KeyDown ? SDL_KEYDOWN : SDL_KEYUP;
            sdl.key.keysym.scancode = cue.key;
            sdl.key.state = cue.step == Step::KeyDown ? SDL_PRESSED : SDL_RELEASED;
            SDL_PushEvent(&sdl);
            break;
        case Step::Begin:
            cpuAtBegin_ = cpuSeconds();
            wallAtBegin_ = now;
            break;
        case Step::End:
            std::printf("%-34s %5.1f%% of one core\n", cue.phase,
                        100.0 * (cpuSeconds() - cpuAtBegin_) / (now - wallAtBegin_));
            std::fflush(stdout);
            break;
        case Step::Quit:
            sdl.type = SDL_QUIT;
            SDL_PushEvent(&sdl);
            break;
        }
    }

    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    size_t next_ = 0;
    double cpuAtBegin_ = 0, wallAtBegin_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    const char* dir = argc > 1 ? argv[1] : LURVANE_GAME_DIR;
    if (chdir(dir) != 0) {
        std::fprintf(stderr, "lurvane_cpu_probe: cannot enter %s\n", dir);
        return 1;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ScriptedPlatform platform;
    SdlMixerSoundBackEnd sound;
    return runLurvane(platform, &sound);
}
