#include "Src/records/HighScoreManager.h"

#include "Src/records/DamagedFile.h"
#include "lib/ByteOrder.h"
#include "lib/FileIO.h"
#include "lib/HostPath.h"
#include "lib/Log.h"

#include <sys/stat.h>

#include <cstring>

HighScoreManager* highScoreManager = nullptr;

namespace {

constexpr const char* kSource = "Highscore";
constexpr const char* kFillerName = "----------";
constexpr int kFillerStep = 40;

} // namespace

void HighScoreEntry::setName(const char* text) {
    std::memset(name, 0, sizeof name);
    for (int i = 0; i < kNameSize - 1 && text[i] != '\0'; ++i)
        name[i] = text[i];
}

void HighScoreEntry::encode(uint8_t* record) const {
    std::memset(record, 0, kRecordSize);
    std::memcpy(record, name, kNameSize);
    writeLE32(record + 64, static_cast<uint32_t>(date.status()));
    writeLE64(record + 72, static_cast<uint64_t>(date.ticks()));
    writeLE32(record + 80, static_cast<uint32_t>(score));
    record[84] = byPlayer ? 1 : 0;
}

void HighScoreEntry::decode(const uint8_t* record) {
    // A stored name may lack its terminator: it is cut to leave room for one.
    std::memset(name, 0, sizeof name);
    for (int i = 0; i < kNameSize - 1 && record[i] != 0; ++i)
        name[i] = static_cast<char>(record[i]);
    date = DateTime(static_cast<int64_t>(readLE64(record + 72)),
                    static_cast<TimeStatus>(readLE32(record + 64)));
    score = static_cast<int32_t>(readLE32(record + 80));
    byPlayer = record[84] != 0;
}

void HighScoreList::fillNew() {
    const DateTime now = DateTime::now();
    for (int i = 0; i < kEntries; ++i) {
        entries[i].setName(kFillerName);
        entries[i].score = kFillerStep * (kEntries - i);
        entries[i].byPlayer = false;
        entries[i].date = now;
    }
    dirty = true;
}

int HighScoreList::findRank(int32_t score, int32_t& nextScore) const {
    for (int i = 0; i < kEntries; ++i) {
        if (entries[i].score <= score)
            return i;
        nextScore = entries[i].score;
    }
    return -1;
}

int HighScoreList::findRank(int32_t score) const {
    int32_t ignored = 0;
    return findRank(score, ignored);
}

int HighScoreList::insert(const char* name, int32_t score) {
    const int rank = findRank(score);
    if (rank < 0)
        return -1;
    for (int i = kEntries - 1; i > rank; --i)
        entries[i] = entries[i - 1];
    HighScoreEntry& entry = entries[rank];
    entry.setName(name);
    entry.score = score;
    entry.date = DateTime::now();
    entry.byPlayer = true;
    dirty = true;
    return rank;
}

void HighScoreManager::clear() {
    lists_.clear();
}

bool HighScoreManager::isDirty() const {
    if (dirty_)
        return true;
    for (const HighScoreList* list : lists_)
        if (list->dirty)
            return true;
    return false;
}

HighScoreList* HighScoreManager::getList(int skill, int zone) {
    for (HighScoreList* list : lists_)
        if (list->skill == skill && list->zone == zone)
            return list;
    auto* list = new HighScoreList;
    list->skill = skill;
    list->zone = zone;
    list->fillNew();
    lists_.add(list);
    dirty_ = true;
    return list;
}

// Reads list number index of count; false when the rest of the file cannot
// be trusted. Every count is measured against the bytes that are really
// left, so a damaged count never makes us allocate or read beyond the file.
bool HighScoreManager::readList(FileIO& file, int index, int count) {
    uint8_t header[kListHeaderSize];
    if (file.read(header, kListHeaderSize) != kListHeaderSize) {
        reportError(kSource, __LINE__, "could not read HighScoreList (l=%ld, noOfLists=%ld)\n",
                    static_cast<long>(index), static_cast<long>(count));
        damaged_ = true;
        return false;
    }
    const int32_t n = static_cast<int32_t>(readLE32(header));
    if (n < 0) {
        reportError(kSource, __LINE__, "could not read HighScoreList : noOfEntries=%ld\n",
                    static_cast<long>(n));
        damaged_ = true;
        return false;
    }
    const long room = file.remaining() / HighScoreEntry::kRecordSize;
    const int32_t readable = n > room ? static_cast<int32_t>(room) : n;

    auto* list = new HighScoreList;
    list->skill = static_cast<int32_t>(readLE32(header + 4));
    list->zone = static_cast<int32_t>(readLE32(header + 8));
    int kept = 0;
    for (int32_t i = 0; i < readable; ++i) {
        uint8_t record[HighScoreEntry::kRecordSize];
        if (file.read(record, HighScoreEntry::kRecordSize) != HighScoreEntry::kRecordSize)
            break;
        if (kept < HighScoreList::kEntries)
            list->entries[kept++].decode(record);
    }
    // The rank walk and insert count on ten lines; missing ones are fillers
    // that any score beats.
    for (int i = kept; i < HighScoreList::kEntries; ++i) {
        list->entries[i].setName(kFillerName);
        list->entries[i].date = DateTime::now();
    }
    lists_.add(list);
    damaged_ = damaged_ || readable < n || n != HighScoreList::kEntries;
    if (readable < n) {
        reportError(kSource, __LINE__, "could not read HighScoreEntry (i=%ld, noOfEntries=%ld)\n",
                    static_cast<long>(readable), static_cast<long>(n));
        return false;
    }
    if (n != HighScoreList::kEntries)
        reportError(
            kSource, __LINE__, "HighScoreList (skill=%ld, zone=%ld) : noOfEntries=%ld, made 10\n",
            static_cast<long>(list->skill), static_cast<long>(list->zone), static_cast<long>(n));
    return true;
}

bool HighScoreManager::load() {
    clear();
    dirty_ = false;
    damaged_ = false;
    zoneOrder_.load(fileName_.c_str());
    struct stat info;
    if (::stat(hostPath(fileName_.c_str()).c_str(), &info) != 0)
        return true;
    FileIO file;
    if (!file.openRead(fileName_.c_str())) {
        reportError(kSource, __LINE__, "Could not open HighScoreFile '%s' for read\n",
                    fileName_.c_str());
        return false;
    }
    uint8_t countBytes[4];
    if (file.read(countBytes, 4) != 4) {
        reportError(kSource, __LINE__, "could not read HighScoreFile '%s' : no list count\n",
                    fileName_.c_str());
        damaged_ = true;
        return true;
    }
    int32_t count = static_cast<int32_t>(readLE32(countBytes));
    const long room = file.remaining() / kListHeaderSize;
    if (count < 0 || count > room) {
        const long fits = count < 0 ? 0 : room;
        reportError(kSource, __LINE__, "HighScoreFile '%s' : noOfLists=%ld, at most %ld fit\n",
                    fileName_.c_str(), static_cast<long>(count), fits);
        count = static_cast<int32_t>(fits);
        damaged_ = true;
    }
    for (int i = 0; i < count; ++i)
        if (!readList(file, i, count))
            break;
    file.close();
    return true; // the lists read are clean as made
}

bool HighScoreManager::save() {
    if (!isDirty())
        return true;
    // What could not be read of a damaged file would be gone with this
    // save; it is written over only once a copy of it exists.
    if (damaged_ && !keepDamagedFile(fileName_.c_str()))
        return false;
    damaged_ = false;
    FileIO file;
    if (!file.openReplace(fileName_.c_str())) {
        reportError(kSource, __LINE__, "Could not open HighScoreFile '%s' for write\n",
                    fileName_.c_str());
        return false;
    }
    bool ok = file.writeInt(lists_.size());
    for (const HighScoreList* list : lists_) {
        ok = ok && file.writeInt(HighScoreList::kEntries) && file.writeInt(list->skill) &&
             file.writeInt(list->zone);
        for (int i = 0; ok && i < HighScoreList::kEntries; ++i) {
            uint8_t record[HighScoreEntry::kRecordSize];
            list->entries[i].encode(record);
            if (file.write(record, HighScoreEntry::kRecordSize) != HighScoreEntry::kRecordSize) {
                reportError(kSource, __LINE__,
                            "could not write HighScoreEntry (i=%ld, noOfEntries=%ld)\n",
                            static_cast<long>(i), static_cast<long>(HighScoreList::kEntries));
                ok = false;
            }
        }
        if (!ok)
            break;
    }
    // The old file is replaced only by a complete new one.
    if (!ok || !file.commit()) {
        file.close();
        reportError(kSource, __LINE__, "Could not write HighScoreFile '%s', the old one is kept\n",
                    fileName_.c_str());
        return false;
    }
    dirty_ = false;
    for (HighScoreList* list : lists_)
        list->dirty = false;
    zoneOrder_.save(fileName_.c_str());
    return true;
}

void HighScoreManager::followZones(const ZoneOrder& zones, int zoneCount,
                                   const ZoneOrder& earlier) {
    const ZoneOrder& from = zoneOrder_.orWhenUnknown(earlier);
    // Places of unknown zones are taken; gone zones are kept after them.
    int64_t free = zoneCount;
    for (const HighScoreList* list : lists_)
        if (!from.dirAt(list->zone) && list->zone >= free)
            free = int64_t{list->zone} + 1;
    ZoneOrder order = zones;
    for (HighScoreList* list : lists_) {
        const char* dir = from.dirAt(list->zone);
        if (!dir)
            continue;
        int32_t place = order.placeOf(dir);
        if (place < 0 && free <= INT32_MAX) {
            place = static_cast<int32_t>(free++);
            order.add(place, dir);
        }
        if (place >= 0 && place != list->zone) {
            list->zone = place;
            list->dirty = true;
        }
    }
    // The next save writes the side file for the new order.
    dirty_ = dirty_ || !(order == zoneOrder_);
    zoneOrder_ = order;
}
