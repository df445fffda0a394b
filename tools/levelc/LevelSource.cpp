#include "tools/levelc/LevelSource.h"

#include <map>
#include <sstream>

namespace {

bool isPassable(int block) {
    return block == 1 || block == 2 || (block >= 5 && block <= 13);
}
bool isSnakeBlock(int block) {
    return block >= 5 && block <= 9;
}
bool isHead(int block) {
    return block >= 6 && block <= 9;
}

} // namespace

int defaultLegend(char c) {
    switch (c) {
    case ' ':
        return 0;
    case '#':
        return 3;
    case '%':
        return 4;
    case '.':
        return 1;
    case 'o':
        return 2;
    case 'B':
        return 5;
    case '^':
        return 6;
    case '>':
        return 7;
    case 'v':
        return 8;
    case '<':
        return 9;
    case 's':
        return 10;
    case 'r':
        return 11;
    case '$':
        return 12;
    case 't':
        return 13;
    default:
        if (c >= 'A' && c <= 'R' && c != 'B')
            return 14 + (c - 'A');
        return -1;
    }
}

bool parseLevelSource(const std::string& text, LevelSource& out, std::string& error) {
    std::map<char, int> legend;
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    bool inMap = false;
    std::vector<std::string> rows;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!inMap) {
            if (line.empty() || line[0] == ';')
                continue;
            std::istringstream words(line);
            std::string word;
            words >> word;
            if (word == "map") {
                inMap = true;
            } else if (word == "legend") {
                std::string symbol;
                int block = 0;
                if (!(words >> symbol >> block) || symbol.size() != 1 || block < 0 ||
                    block > 1023) {
                    error = "line " + std::to_string(lineNumber) + ": expected 'legend C N'";
                    return false;
                }
                legend[symbol[0]] = block;
            } else {
                error = "line " + std::to_string(lineNumber) + ": unknown line '" + line + "'";
                return false;
            }
            continue;
        }
        if (!line.empty() && line[0] == ';')
            continue;
        if (line.empty() && rows.empty())
            continue;
        rows.push_back(line);
    }
    while (!rows.empty() && rows.back().empty())
        rows.pop_back();
    if (!inMap || rows.empty()) {
        error = "no map";
        return false;
    }
    const size_t width = rows[0].size();
    if (width == 0 || width > 4096 || rows.size() > 4096) {
        error = "map size out of range";
        return false;
    }
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(rows.size());
    out.cells.clear();
    for (size_t y = 0; y < rows.size(); ++y) {
        if (rows[y].size() != width) {
            error = "map row " + std::to_string(y + 1) + " has " + std::to_string(rows[y].size()) +
                    " cells, the first has " + std::to_string(width);
            return false;
        }
        for (char c : rows[y]) {
            const auto found = legend.find(c);
            const int block = found != legend.end() ? found->second : defaultLegend(c);
            if (block < 0) {
                error = "map row " + std::to_string(y + 1) + ": no block for '" + c + "'";
                return false;
            }
            out.cells.push_back(static_cast<int16_t>(block));
        }
    }
    return true;
}

bool checkLevelPlayable(const LevelSource& level, std::string& error) {
    int headX = -1, headY = -1;
    int heads = 0;
    for (int y = 0; y < level.height; ++y)
        for (int x = 0; x < level.width; ++x)
            if (isHead(level.at(x, y))) {
                if (heads++ == 0) {
                    headX = x;
                    headY = y;
                }
            }
    if (heads != 1) {
        error = heads == 0 ? "no snake head" : "more than one snake head";
        return false;
    }

    // The snake is traced from the head as the game traces it: the first
    // snake block among right, below, left, above.
    std::vector<uint8_t> taken(level.cells.size(), 0);
    int x = headX, y = headY, length = 1;
    taken[static_cast<size_t>(y * level.width + x)] = 1;
    static const int kSteps[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (bool found = true; found;) {
        found = false;
        for (const auto& step : kSteps) {
            const int nx = x + step[0], ny = y + step[1];
            if (nx < 0 || ny < 0 || nx >= level.width || ny >= level.height)
                continue;
            const size_t i = static_cast<size_t>(ny * level.width + nx);
            if (isSnakeBlock(level.at(nx, ny)) && !taken[i]) {
                taken[i] = 1;
                x = nx;
                y = ny;
                ++length;
                found = true;
                break;
            }
        }
    }
    for (size_t i = 0; i < level.cells.size(); ++i)
        if (level.cells[i] == 5 && !taken[i]) {
            error = "a snake body block is not part of the snake";
            return false;
        }
    if (length < 2) {
        error = "the snake has no body";
        return false;
    }

    // Everything the head can reach; food must all be among it.
    std::vector<uint8_t> reached(level.cells.size(), 0);
    std::vector<int> queue = {headY * level.width + headX};
    reached[static_cast<size_t>(queue[0])] = 1;
    while (!queue.empty()) {
        const int cell = queue.back();
        queue.pop_back();
        const int cx = cell % level.width, cy = cell / level.width;
        for (const auto& step : kSteps) {
            const int nx = cx + step[0], ny = cy + step[1];
            if (nx < 0 || ny < 0 || nx >= level.width || ny >= level.height)
                continue;
            const int next = ny * level.width + nx;
            if (!reached[static_cast<size_t>(next)] && isPassable(level.at(nx, ny))) {
                reached[static_cast<size_t>(next)] = 1;
                queue.push_back(next);
            }
        }
    }
    int food = 0;
    for (int cy = 0; cy < level.height; ++cy)
        for (int cx = 0; cx < level.width; ++cx)
            if (level.at(cx, cy) == 2) {
                ++food;
                if (!reached[static_cast<size_t>(cy * level.width + cx)]) {
                    error = "food at column " + std::to_string(cx) + ", row " + std::to_string(cy) +
                            " cannot be reached";
                    return false;
                }
            }
    if (food == 0) {
        error = "no food";
        return false;
    }
    // A map without a closed wall border would let the snake leave it.
    for (int cx = 0; cx < level.width; ++cx)
        if (isPassable(level.at(cx, 0)) || isPassable(level.at(cx, level.height - 1))) {
            error = "the map's top or bottom edge is open";
            return false;
        }
    for (int cy = 0; cy < level.height; ++cy)
        if (isPassable(level.at(0, cy)) || isPassable(level.at(level.width - 1, cy))) {
            error = "the map's left or right edge is open";
            return false;
        }
    // The first step comes before the player can steer: a head that can
    // neither go on nor turn by itself dies on it.
    const int heading = level.at(headX, headY) - 6; // up, right, down, left
    static const int kAhead[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    auto isFree = [&](int dx, int dy) {
        const int block = level.at(headX + dx, headY + dy);
        const bool floorOrItem = block == 1 || block == 2 || (block >= 10 && block <= 13);
        return floorOrItem && !taken[static_cast<size_t>((headY + dy) * level.width + headX + dx)];
    };
    const int ax = kAhead[heading][0], ay = kAhead[heading][1];
    if (!isFree(ax, ay) && !isFree(ay, ax) && !isFree(-ay, -ax)) {
        error = "the snake head at column " + std::to_string(headX) + ", row " +
                std::to_string(headY) + " faces a wall or its own body with no way to turn";
        return false;
    }
    return true;
}
