// Steps as one string, "name:arg:arg*repeat" each, e.g. "play:4*2 pan:2:40 stop".
#pragma once

#include <sstream>
#include <string>
#include <vector>

struct ScriptStep {
    std::string text; // the step as written, without its repeat count
    std::string name;
    std::vector<int> args;
    int repeat = 1;
    int arg(size_t i) const { return i < args.size() ? args[i] : 0; }
};

inline std::vector<ScriptStep> parseSteps(const std::string& script) {
    std::vector<ScriptStep> steps;
    std::istringstream words(script);
    for (std::string word; words >> word;) {
        ScriptStep step;
        const size_t star = word.find('*');
        if (star != std::string::npos)
            step.repeat = std::stoi(word.substr(star + 1));
        step.text = word.substr(0, star);
        std::istringstream parts(step.text);
        std::getline(parts, step.name, ':');
        for (std::string number; std::getline(parts, number, ':');)
            step.args.push_back(std::stoi(number, nullptr, 0)); // 0x.. is hex
        steps.push_back(step);
    }
    return steps;
}
