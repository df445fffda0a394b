#include "Src/zones/LevelCatalogue.h"

#include "Src/core/Application.h"
#include "lib/FileBuffer.h"
#include "lib/FileIO.h"
#include "lib/Log.h"

#include <cstdio>
#include <cstring>
#include <memory>

LevelCatalogue levelCatalogue;

namespace {

const char* const kDefaultSnakeGfx = "..\\..\\Gfx\\items.bmp";
const char* const kZoneSet = "=;.,\n\r\t";
const char* const kLevelSet = "=;,\n\r\t";
const int32_t kDefaultTime[3] = {60, 50, 40};
const int32_t kDefaultStartSpeed[3] = {10, 8, 6};
const int32_t kDefaultTopSpeed[3] = {5, 4, 3};
const int32_t kDefaultIncSpeed[3] = {5, 4, 3};
constexpr int kMaxShownAuthor = 20;

// Moves the cursor behind the keyword's own token; false when the section
// does not hold the keyword at all (the first occurrence anywhere counts,
// also inside a longer word).
bool findKeyword(FileBuffer& section, const char* keyword) {
    section.rewind();
    if (!section.findString(keyword))
        return false;
    String token;
    section.setQuotes(false);
    section.readToken(token);
    return true;
}

bool readText(FileBuffer& section, const char* keyword, String& value) {
    if (!findKeyword(section, keyword))
        return false;
    section.setQuotes(true);
    section.readToken(value);
    section.setQuotes(false);
    return true;
}

enum class Lookup { Absent, Found, Malformed };

Lookup readNumbers(FileBuffer& section, const char* keyword, int32_t* values, int count) {
    if (!findKeyword(section, keyword))
        return Lookup::Absent;
    for (int k = 0; k < count; ++k) {
        String token;
        section.readToken(token);
        unsigned number = 0;
        if (!token.toUnsigned(number))
            return Lookup::Malformed;
        values[k] = static_cast<int32_t>(number);
    }
    return Lookup::Found;
}

// Parses "0xrrggbb" or "RGB(r,g,b)" colours; on failure fills message. The
// section's own sets are restored afterwards.
bool readColour(FileBuffer& section, const char* keyword, const char* delimiters,
                const char* skipSet, uint32_t& colour, String& message) {
    if (!findKeyword(section, keyword))
        return true;
    String text;
    section.setSkipSet(" =\t");
    section.setDelimiters(";\n");
    section.readToken(text);

    // Back to just behind the keyword for the value itself.
    section.setDelimiters(delimiters);
    section.setSkipSet(skipSet);
    findKeyword(section, keyword);
    section.setSkipSet("(, =\t");
    section.setDelimiters("(,);\n \t");
    String token;
    section.readToken(token);
    bool ok = true;
    if (token.startsWith("0x")) {
        unsigned long value = 0;
        std::sscanf(token.c_str(), "%lx", &value);
        colour = static_cast<uint32_t>(value);
    } else if (token.startsWith("RGB")) {
        static const char* const kParts[3] = {"red", "green", "blue"};
        uint32_t parts[3] = {};
        for (int k = 0; k < 3 && ok; ++k) {
            String number;
            section.readToken(number);
            unsigned value = 0;
            if (!number.toUnsigned(value)) {
                message.format("Backcolor : '%s' : %s is no number?", text.c_str(), kParts[k]);
                ok = false;
            }
            parts[k] = value & 0xFF;
        }
        if (ok)
            colour = parts[0] | parts[1] << 8 | parts[2] << 16;
    } else {
        message.format("no color-number after '%s='\n  must be 0xrrggbb or RGB(r,g,b)", keyword);
        ok = false;
    }
    section.setDelimiters(delimiters);
    section.setSkipSet(skipSet);
    return ok;
}

char capital(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

void logTriple(const char* keyword, Lookup found, const int32_t* v) {
    gameLog.print(
        found == Lookup::Found ? "\t\t%s = %ld,%ld,%ld\n" : "\t\t%s (default) = %ld,%ld,%ld\n",
        keyword, static_cast<long>(v[0]), static_cast<long>(v[1]), static_cast<long>(v[2]));
}

} // namespace

int compareZoneNames(const char* a, const char* b) {
    for (int i = 0; a[i] != '\0' || b[i] != '\0'; ++i) {
        const unsigned char x = static_cast<unsigned char>(capital(a[i]));
        const unsigned char y = static_cast<unsigned char>(capital(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return std::strcmp(a, b);
}

bool LevelCatalogue::fail(const char* message) {
    String report(errorText_);
    report += message;
    if (errors_) {
        errors_->push_back(report.c_str());
        return true;
    }
    errorLog.write(report.c_str());
    fatalError(app.screen, "%s", report.c_str());
    return false;
}

bool LevelCatalogue::scanZones(const char* levelsDirectory) {
    clearZones();
    PtrArray<DirEntry> listing;
    const bool listed = FileIO::listDirectory(listing, "*", levelsDirectory, false, false);
    gameLog.write("\nSearching for Levels...\n");
    if (!listed)
        gameLog.print("no levels directory '%s'\n", levelsDirectory);

    // The platform returns entries in no particular order; zones of equal
    // skill must keep one order on every machine, the one of the system the
    // zones were made for.
    for (int i = 1; i < listing.size(); ++i)
        for (int j = i;
             j > 0 && compareZoneNames(listing[j - 1]->name.c_str(), listing[j]->name.c_str()) > 0;
             --j) {
            DirEntry* t = listing[j];
            listing[j] = listing[j - 1];
            listing[j - 1] = t;
        }

    for (DirEntry* entry : listing) {
        if (!entry->isDirectory)
            continue;
        if (!readZone(entry->name.c_str(), entry->path.c_str()) && !errors_)
            return false;
        gameLog.write("\n");
    }

    // Stable ordering by skill 0..9; out-of-range skills are clamped.
    Array<Zone*> sorted;
    Array<Zone*> remaining;
    for (Zone* zone : zones_)
        remaining.add(zone);
    for (int s = 0; s <= 9; ++s) {
        for (int i = 0; i < remaining.size();) {
            Zone* zone = remaining[i];
            if (s == 9 || zone->skill <= s) {
                zone->skill = s;
                sorted.add(zone);
                remaining.removeAt(i);
            } else {
                ++i;
            }
        }
    }
    for (int i = 0; i < sorted.size(); ++i)
        zones_[i] = sorted[i];

    flags_.setSize(0);
    flags_.setSize(zones_.size());
    return true;
}

bool LevelCatalogue::readZone(const char* dirName, const char* path) {
    gameLog.print("reading Zone : dirname='%s', pathname='%s'\n", dirName, path);
    String filePath(path);
    filePath += "/level.txt";
    FileBuffer file;
    if (!file.load(filePath.c_str())) {
        String message;
        message.format("Cannot load level.txt in directory '%s'\n", path);
        errorText_ = "";
        fail(message.c_str());
        return false;
    }
    prefix_ = path;
    prefix_.appendBackslash();
    errorText_.format("Error reading levels-File:\n  Filename='%s'\n  ", filePath.c_str());
    file.stripComments(true);

    auto owned = std::make_unique<Zone>();
    Zone* zone = owned.get();
    zone->dirName = dirName;
    zone->name = dirName;
    zone->snakeGfxFile = prefix_;
    zone->snakeGfxFile += kDefaultSnakeGfx;
    gameLog.print("\treadingZoneHeader (file=%s)\n", filePath.c_str());
    bool ok = false;
    try {
        ok = readZoneHeader(file, *zone);
        if (ok || errors_)
            ok = readLevels(file, *zone) && ok;
    } catch (const FileBufferError& error) {
        // A value that runs into the end of its section or of the file.
        fail(error.what());
    }
    if (ok || errors_)
        zones_.add(owned.release());
    return ok;
}

bool LevelCatalogue::readZoneHeader(FileBuffer& file, Zone& zone) {
    file.rewind();
    if (!file.findString("<Zone>"))
        return true; // no header: the defaults stay
    const int line = file.line();
    const int start = file.position() + 6;
    if (!file.findString("</Zone>")) {
        String message;
        message.format("Found <Zone> (line %ld) but no matching </Zone>\n",
                       static_cast<long>(line));
        fail(message.c_str());
        return false;
    }
    FileBuffer section(file, start, file.position());
    String zoneSet(kZoneSet);
    zoneSet += '"';
    section.setDelimiters(zoneSet.c_str());
    section.setSkipSet(kZoneSet);

    String value;
    if (readText(section, "Name", value))
        zone.name = value;
    gameLog.print("\t\tName='%s'\n", zone.name.c_str());

    value = "";
    readText(section, "Author", value);
    if (value.isEmpty()) {
        gameLog.write("\t\tno Author\n");
    } else {
        zone.author = value;
        gameLog.print("\t\tAuthor='%s'\n", zone.author.c_str());
    }

    bool ok = true;
    int32_t skill = 5;
    if (readNumbers(section, "Skill", &skill, 1) == Lookup::Malformed) {
        String message;
        message.format("no number after '%s='", "Skill");
        if (!fail(message.c_str()))
            return false;
        ok = false;
        skill = 5;
    }
    zone.skill = skill;
    gameLog.print("\t\tSkill='%ld'\n", static_cast<long>(zone.skill));

    String gfx(kDefaultSnakeGfx);
    readText(section, "SnakeGfxFile", gfx);
    zone.snakeGfxFile = prefix_;
    zone.snakeGfxFile += gfx;
    gameLog.print("\t\tgfxFileName='%s'\n", gfx.c_str());

    String message;
    uint32_t colour = 0;
    if (!readColour(section, "Backcolor", zoneSet.c_str(), kZoneSet, colour, message)) {
        fail(message.c_str());
        return false;
    }
    zone.backColour = colour;
    gameLog.print("\t\tBackcolor=0x%06lx\n", static_cast<unsigned long>(zone.backColour));
    return ok;
}

bool LevelCatalogue::readLevels(FileBuffer& file, Zone& zone) {
    file.rewind();
    bool ok = true;
    while (file.findString("<Level>")) {
        const int line = file.line();
        const int start = file.position() + 7;
        if (!file.findString("</Level>")) {
            String message;
            message.format("Found <Level> (line %ld) but no matching </Level>\n",
                           static_cast<long>(line));
            fail(message.c_str());
            return false;
        }
        FileBuffer section(file, start, file.position());
        section.setDelimiters(kLevelSet);
        section.setSkipSet(kLevelSet);
        bool read = false;
        try {
            read = readLevel(section, zone, zone.levels.size() + 1);
        } catch (const FileBufferError& error) {
            if (!errors_)
                throw; // the game reports it for the whole zone
            fail(error.what());
        }
        if (!read && !errors_)
            return false;
        ok = ok && read;
    }
    return ok;
}

bool LevelCatalogue::readLevel(FileBuffer& section, Zone& zone, int number) {
    gameLog.write("\t---Level---\n");
    String fileName;
    bool ok = true;
    if (!readText(section, "Filename", fileName) || fileName.isEmpty()) {
        if (!fail("For each level a filename is needed!"))
            return false;
        ok = false; // its numbers are still looked at
    }
    auto level = std::make_unique<Level>();
    level->fileName = prefix_;
    level->fileName += fileName;
    level->fileName += ".fmp";
    gameLog.print("\t\tFilename='%s'\n", fileName.c_str());

    struct Keyword {
        const char* name;
        const int32_t* defaults;
        int offset;
    };
    static const Keyword kKeywords[4] = {{"Time", kDefaultTime, 0},
                                         {"StartSpeed", kDefaultStartSpeed, 1},
                                         {"TopSpeed", kDefaultTopSpeed, 2},
                                         {"IncSpeed", kDefaultIncSpeed, 3}};
    for (const Keyword& keyword : kKeywords) {
        int32_t values[3] = {keyword.defaults[0], keyword.defaults[1], keyword.defaults[2]};
        const Lookup found = readNumbers(section, keyword.name, values, 3);
        if (found == Lookup::Malformed) {
            String message;
            message.format("Keyword='%s', expected 3 integers afterwards!", keyword.name);
            if (!fail(message.c_str()))
                return false;
            ok = false;
            for (int k = 0; k < 3; ++k)
                values[k] = keyword.defaults[k];
        }
        logTriple(keyword.name, found, values);
        for (int k = 0; k < 3; ++k)
            level->settings[4 * k + keyword.offset] = values[k];
    }
    level->zone = &zone;
    level->number = number;
    // A level without its map file is left out.
    if (!fileName.isEmpty())
        zone.levels.add(level.release());
    return ok;
}

void LevelCatalogue::clearZones() {
    zones_.clear();
    flags_.setSize(0);
}

const char* LevelCatalogue::getZoneName(int i) const {
    return valid(i) ? zones_[i]->name.c_str() : nullptr;
}

const char* LevelCatalogue::getZoneDirName(int i) const {
    return valid(i) ? zones_[i]->dirName.c_str() : nullptr;
}

const char* LevelCatalogue::getZoneDisplayName(int i) {
    if (!valid(i))
        return nullptr;
    const Zone& zone = *zones_[i];
    if (zone.author.isEmpty()) {
        displayName_ = zone.name;
    } else {
        String author;
        zone.author.substring(author, 0, kMaxShownAuthor);
        displayName_.format("%s (by %s)", zone.name.c_str(), author.c_str());
    }
    return displayName_.c_str();
}

int32_t LevelCatalogue::getZoneSkill(int i) const {
    return valid(i) ? zones_[i]->skill : 0;
}

uint32_t LevelCatalogue::getZoneBackColour(int i) const {
    return valid(i) ? zones_[i]->backColour : 0;
}

void LevelCatalogue::getZoneSnakeGfxFile(int i, String& out) const {
    if (valid(i) && !zones_[i]->snakeGfxFile.isEmpty())
        out = zones_[i]->snakeGfxFile;
    else
        out = ".\\Data\\Gfx\\items.bmp";
}

int LevelCatalogue::getLevelCount(int i) const {
    return valid(i) ? zones_[i]->levels.size() : 0;
}

const Level* LevelCatalogue::getLevel(int i, int number) const {
    if (!valid(i) || number < 1 || number > zones_[i]->levels.size())
        return nullptr;
    return zones_[i]->levels[number - 1];
}

const char* LevelCatalogue::getLevelFileName(int i, int number) const {
    const Level* level = getLevel(i, number);
    return level ? level->fileName.c_str() : nullptr;
}

void LevelCatalogue::markZoneCompleted(int i) {
    if (valid(i) && i < flags_.size())
        flags_[i] = 1;
}

bool LevelCatalogue::isZoneCompleted(int i) const {
    return valid(i) && i < flags_.size() && flags_[i] != 0;
}

void LevelCatalogue::writeCompletionFlags(FileIO& file) const {
    file.writeInt(flags_.size());
    for (int i = 0; i < flags_.size(); ++i)
        file.writeBool(flags_[i] != 0);
}

void LevelCatalogue::readCompletionFlags(FileIO& file) {
    int32_t count = 0;
    if (!file.readInt(count) || count < 0)
        return;
    // A corrupt count must not make us read or store past the flags we have.
    for (int32_t i = 0; i < count; ++i) {
        bool flag = false;
        if (!file.readBool(flag))
            return;
        if (i < flags_.size())
            flags_[i] = flag ? 1 : 0;
    }
}
