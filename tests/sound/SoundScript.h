// A script of plays for a sound system, one transcript line per step.
#pragma once

#include "sound/SoundSystem.h"
#include "tests/support/StepScript.h"

#include <functional>
#include <string>

// Steps: play:N, pan:N:P, stop, pause:0|1, close; `other` runs the rest.
inline std::string playScript(SoundSystem& sound, const std::string& script,
                              const std::function<std::string()>& after,
                              const std::function<std::string(const ScriptStep&)>& other = {}) {
    std::string transcript;
    for (const ScriptStep& step : parseSteps(script))
        for (int i = 0; i < step.repeat; ++i) {
            std::string result;
            if (step.name == "play")
                result = "= " + std::to_string(sound.PlayEvent(step.arg(0)));
            else if (step.name == "pan")
                result = "= " + std::to_string(sound.PlaySampleEvent(step.arg(0), step.arg(1)));
            else if (step.name == "stop")
                sound.StopAll();
            else if (step.name == "pause")
                sound.PauseMusic(step.arg(0) != 0);
            else if (step.name == "close")
                sound.Close();
            else
                result = other(step);
            transcript += step.text + " " + result + " |" + after() + "\n";
        }
    return transcript;
}
