// A level as its author writes it: a grid of characters, one per cell, with
// a legend from characters to block numbers.
//
//   ; a comment
//   legend Q 17
//   map
//   ##########
//   #BB>..o..#
//   ##########
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LevelSource {
    int width = 0, height = 0;
    std::vector<int16_t> cells; // block numbers, row by row

    int at(int x, int y) const { return cells[static_cast<size_t>(y * width + x)]; }
};

// The legend every level starts with.
int defaultLegend(char c);

// Parses the text; on failure returns false with a message naming the line.
bool parseLevelSource(const std::string& text, LevelSource& out, std::string& error);

// The rules every playable level keeps: one snake head with its body chain,
// all food reachable from the head, closed edges, and a head that survives
// its first step. False with the reason otherwise.
bool checkLevelPlayable(const LevelSource& level, std::string& error);
