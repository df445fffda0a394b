// Key presses and clicks for the real loop written as a line of words,
// counted in frames from a start: a number moves to that frame; a key name
// ("enter", "down*3" for three) taps the key, down for two frames, and moves
// on a step; "+name" and "-name" press and release it where the script
// stands; "click:x,y" clicks and moves on; "." waits a step. Words it does
// not know go to other with their frame, which returns the frames it used.
#pragma once

#include "gfx/HeadlessPlatform.h"
#include "tests/support/ScanCodes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <string>

inline int scanCodeNamed(const std::string& name) {
    static const std::map<std::string, int> codes = {
        {"esc", kScanEscape},  {"bksp", kScanBackspace},
        {"tab", kScanTab},     {"enter", kScanEnter},
        {"space", kScanSpace}, {"up", kScanUp},
        {"down", kScanDown},   {"a", kScanA},
        {"b", kScanB},         {"k", kScanK},
        {"l", kScanL},         {"p", kScanP}};
    const auto found = codes.find(name);
    EXPECT_NE(found, codes.end()) << "no key named " << name;
    return found == codes.end() ? 0 : found->second;
}

// Returns the frame where the script ends.
inline int playKeys(HeadlessPlatform& platform, int start, const std::string& script, int step = 10,
                    std::function<int(const std::string&, int)> other = nullptr) {
    std::istringstream words(script);
    int frame = start;
    for (std::string word; words >> word;) {
        const size_t times = word.find('*');
        const int count = times == std::string::npos ? 1 : std::stoi(word.substr(times + 1));
        word = word.substr(0, times);
        for (int i = 0; i < count; ++i) {
            int x = 0, y = 0;
            if (std::isdigit(static_cast<unsigned char>(word[0])))
                frame = start + std::stoi(word);
            else if (word == ".")
                frame += step;
            else if (word[0] == '+' || word[0] == '-')
                platform.keyAtFrame(frame, scanCodeNamed(word.substr(1)), word[0] == '+');
            else if (std::sscanf(word.c_str(), "click:%d,%d", &x, &y) == 2) {
                platform.clickAtFrame(frame, x, y);
                frame += step;
            } else if (other && word.find(':') != std::string::npos)
                frame += other(word, frame);
            else {
                platform.keyAtFrame(frame, scanCodeNamed(word), true);
                platform.keyAtFrame(frame + 2, scanCodeNamed(word), false);
                frame += step;
            }
        }
    }
    return frame;
}
