// High score lists and the chosen zone name a zone by its place in the
// catalogue's sorted zones, and a zone that comes or goes moves the places
// of the others. A side file beside each record file (".\Data\highscores.zones"
// beside ".\Data\highscores.dat") remembers which zone directory each place
// meant when the record file was written; after every scan the places are
// moved to follow their zones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ZoneOrder {
public:
    // Nothing known: every place stays where it is.
    bool isKnown() const { return known_; }
    void forget();
    // The zone directory at a place; null when it is not known.
    const char* dirAt(int32_t place) const;
    // The place of a zone directory; -1 when it has none.
    int32_t placeOf(const char* dir) const;
    void add(int32_t place, const char* dir);
    // The catalogue's zones at their places 0, 1, ...
    static ZoneOrder ofCatalogue();
    // The places an earlier version gave them, which ordered zones of equal
    // skill by the bytes of their directory names.
    static ZoneOrder ofCatalogueInByteOrder();
    // A record file that has no side file was written by an earlier
    // version, in that order.
    bool isFromEarlierVersion() const { return fromEarlierVersion_; }
    // This order, or the earlier version's when this one is not known and
    // the record file came from that version.
    const ZoneOrder& orWhenUnknown(const ZoneOrder& earlier) const;

    // Reads the side file of the record file. A missing or damaged one, or
    // one written for another version of the record file, leaves nothing
    // known.
    void load(const char* recordFile);
    // Writes the side file for the record file as it is on disk now; when
    // that fails, the stale side file no longer fits the record file.
    void save(const char* recordFile) const;
    static std::string sideFileName(const char* recordFile);

    bool operator==(const ZoneOrder& other) const = default;

private:
    bool known_ = false;
    bool fromEarlierVersion_ = false;
    std::vector<std::pair<int32_t, std::string>> places_;
};

// The places of currentZone.
extern ZoneOrder chosenZoneOrder;

// Called after every successful scan: moves the chosen zone and the high
// score lists to their zones' new places. A chosen zone that is gone stays
// at its place, which is checked against the zones: the first zone is taken
// instead of one that does not exist, or the last when keepNearest is set.
void followZones(bool keepNearest = false);
