// The high score file may be cut short or damaged: reading it must keep
// to the bytes that are there, and every table read must work as one of ten.
#include "Src/records/HighScoreManager.h"
#include "fuzz/FuzzInput.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = scratchPath("highscores");
    if (!writeInput(path, data, size))
        return 0;
    HighScoreManager manager(path.c_str());
    if (!manager.load())
        return 0;
    for (int i = 0; i < manager.listCount(); ++i) {
        HighScoreList* list = manager.list(i);
        for (const HighScoreEntry& entry : list->entries) {
            if (entry.name[HighScoreEntry::kNameSize - 1] != '\0')
                __builtin_trap();
            // Any stored date must turn into calendar fields without fault.
            volatile int year = entry.date.getYear();
            (void)year;
        }
        int32_t next = 0;
        list->findRank(list->entries[9].score, next);
        list->insert("fuzz", list->entries[0].score);
    }
    return 0;
}
