#include "lib/Array.h"

#include "tests/support/Golden.h"
#include "tests/support/LineTranscript.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The elements and the size of the block that holds them.
std::string show(const Array<int>& a) {
    std::string out;
    for (int i = 0; i < a.size(); ++i)
        out += std::to_string(a[i]) + " ";
    return out + "capacity=" + std::to_string(a.capacity());
}

} // namespace

// Exact first, then steps of an eighth within 4..1024; never shrinks until emptied.
TEST(Array, GrowsKeepsOrderAndZeroesNewElements) {
    LineTranscript t;
    Array<int> a;
    std::string capacities;
    for (int i = 0; i < 14; ++i) {
        a.add(i);
        capacities += " " + std::to_string(a.capacity());
    }
    t.note("capacities adding 14", capacities);
    t.note("added", show(a));
    for (int size : {40, 8192, 20000}) {
        Array<int> big;
        big.setSize(size);
        big.add(1);
        t.note("one added to " + std::to_string(size), big.size(), big.capacity());
    }
    a.removeAt(2);
    a.removeAt(-1);
    a.removeAt(13);
    t.note("removed at 2, -1 and 13", show(a), a.indexOf(3), a.indexOf(2));
    Array<int> b;
    b.setSize(3, 10);
    b[0] = b[1] = b[2] = 7;
    b.setSize(1);
    t.note("three of 7 cut to one, step 10", show(b), b.growBy());
    b.setSize(3);
    t.note("back to three", show(b));
    b.setSize(4);
    t.note("four", show(b));
    b.setSize(0);
    t.note("emptied", show(b), b.data() == nullptr);
    checkGoldenText(LURVANE_GOLDEN_DIR "/array.txt", t.text());
}
