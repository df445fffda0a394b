#include "Src/records/ZoneOrder.h"

#include "Src/core/GameState.h"
#include "Src/records/HighScoreManager.h"
#include "Src/zones/LevelCatalogue.h"
#include "lib/FileIO.h"
#include "lib/HostPath.h"

#include <algorithm>
#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>

ZoneOrder chosenZoneOrder;

namespace {

// Size and FNV-1a hash of the record file's bytes: a side file belongs to
// exactly the record file it was written with.
std::string stampOf(const char* recordFile) {
    std::ifstream in(hostPath(recordFile).c_str(), std::ios::binary);
    if (!in)
        return std::string();
    uint64_t hash = 14695981039346656037u;
    uint64_t size = 0;
    for (char c; in.get(c); ++size)
        hash = (hash ^ static_cast<uint8_t>(c)) * 1099511628211u;
    char text[48];
    std::snprintf(text, sizeof text, "%" PRIu64 " %016" PRIx64, size, hash);
    return text;
}

// A directory name that a line can carry.
bool fitsALine(const std::string& dir) {
    return !dir.empty() && dir.find_first_of("\r\n") == std::string::npos;
}

} // namespace

void ZoneOrder::forget() {
    *this = ZoneOrder();
}

const char* ZoneOrder::dirAt(int32_t place) const {
    for (const auto& [at, dir] : places_)
        if (at == place)
            return dir.c_str();
    return nullptr;
}

int32_t ZoneOrder::placeOf(const char* dir) const {
    for (const auto& [at, name] : places_)
        if (name == dir)
            return at;
    return -1;
}

void ZoneOrder::add(int32_t place, const char* dir) {
    known_ = true;
    places_.emplace_back(place, dir);
}

ZoneOrder ZoneOrder::ofCatalogue() {
    ZoneOrder order;
    for (int i = 0; i < levelCatalogue.getZoneCount(); ++i)
        order.add(i, levelCatalogue.getZoneDirName(i));
    return order;
}

ZoneOrder ZoneOrder::ofCatalogueInByteOrder() {
    std::vector<int> zones;
    for (int i = 0; i < levelCatalogue.getZoneCount(); ++i)
        zones.push_back(i);
    std::stable_sort(zones.begin(), zones.end(), [](int a, int b) {
        const int32_t skillA = levelCatalogue.getZoneSkill(a);
        const int32_t skillB = levelCatalogue.getZoneSkill(b);
        if (skillA != skillB)
            return skillA < skillB;
        return std::strcmp(levelCatalogue.getZoneDirName(a), levelCatalogue.getZoneDirName(b)) < 0;
    });
    ZoneOrder order;
    for (size_t place = 0; place < zones.size(); ++place)
        order.add(static_cast<int32_t>(place), levelCatalogue.getZoneDirName(zones[place]));
    return order;
}

std::string ZoneOrder::sideFileName(const char* recordFile) {
    std::string name(recordFile);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dat") == 0)
        name.resize(name.size() - 4);
    return name + ".zones";
}

void ZoneOrder::load(const char* recordFile) {
    forget();
    std::ifstream in(hostPath(sideFileName(recordFile).c_str()).c_str(), std::ios::binary);
    std::string line;
    const std::string stamp = stampOf(recordFile);
    fromEarlierVersion_ = !in && !stamp.empty();
    if (!in || !std::getline(in, line) || stamp.empty() || line != stamp)
        return;
    ZoneOrder read;
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t');
        int32_t place = 0;
        const char* end = line.data() + (tab == std::string::npos ? 0 : tab);
        const auto parsed = std::from_chars(line.data(), end, place);
        const std::string dir = tab == std::string::npos ? std::string() : line.substr(tab + 1);
        if (parsed.ec != std::errc() || parsed.ptr != end || !fitsALine(dir))
            return; // damaged: nothing is known
        read.add(place, dir.c_str());
    }
    *this = read;
}

void ZoneOrder::save(const char* recordFile) const {
    const std::string stamp = stampOf(recordFile);
    if (!known_ || stamp.empty())
        return;
    std::string text = stamp + "\n";
    for (const auto& [place, dir] : places_)
        if (fitsALine(dir))
            text += std::to_string(place) + "\t" + dir + "\n";
    FileIO file;
    const std::string name = sideFileName(recordFile);
    if (!file.openReplace(name.c_str()))
        return;
    file.write(text.data(), static_cast<int>(text.size()));
    file.commit();
}

const ZoneOrder& ZoneOrder::orWhenUnknown(const ZoneOrder& earlier) const {
    return !known_ && fromEarlierVersion_ ? earlier : *this;
}

void followZones(bool keepNearest) {
    const ZoneOrder zones = ZoneOrder::ofCatalogue();
    const ZoneOrder earlier = ZoneOrder::ofCatalogueInByteOrder();
    const int count = levelCatalogue.getZoneCount();
    if (const char* dir = chosenZoneOrder.orWhenUnknown(earlier).dirAt(currentZone)) {
        const int32_t place = zones.placeOf(dir);
        if (place >= 0)
            currentZone = place;
    }
    chosenZoneOrder = zones;
    if (keepNearest && currentZone >= count)
        currentZone = count - 1;
    checkCurrentZone(count);
    if (highScoreManager)
        highScoreManager->followZones(zones, count, earlier);
}
