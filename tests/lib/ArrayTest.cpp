#include "lib/Array.h"

#include <gtest/gtest.h>

#include <vector>

TEST(Array, GrowthRuleOfTheDefaultStep) {
    Array<int> a;
    std::vector<int> capacities;
    for (int i = 0; i < 14; ++i) {
        a.add(i);
        capacities.push_back(a.capacity());
    }
    // The first block is exact, then steps of at least 4.
    EXPECT_EQ(capacities[0], 1);
    EXPECT_EQ(capacities[1], 5);
    EXPECT_EQ(capacities[5], 9);
    EXPECT_EQ(capacities[9], 13);
    EXPECT_EQ(capacities[13], 17);
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(a[i], i);

    Array<int> forty;
    forty.setSize(40);
    forty.add(1);
    EXPECT_EQ(forty.capacity(), 45);

    Array<char> big;
    big.setSize(8192);
    big.add('x');
    EXPECT_EQ(big.capacity(), 8192 + 1024);
    Array<char> huge;
    huge.setSize(20000);
    huge.add('x');
    EXPECT_EQ(huge.capacity(), 20000 + 1024);
}

TEST(Array, SetSizeZeroesNewElementsAndNeverShrinksTheBlock) {
    Array<int> a;
    a.setSize(3, 10);
    EXPECT_EQ(a.growBy(), 10);
    a[0] = a[1] = a[2] = 7;
    a.setSize(1);
    EXPECT_EQ(a.capacity(), 3);
    a.setSize(3);
    EXPECT_EQ(a[1], 0);
    EXPECT_EQ(a[2], 0);
    a.setSize(4);
    EXPECT_EQ(a.capacity(), 13);
    a.setSize(0);
    EXPECT_EQ(a.data(), nullptr);
    EXPECT_EQ(a.capacity(), 0);
}

TEST(Array, RemoveAtKeepsOrderAndIgnoresBadIndices) {
    Array<int> a;
    for (int i = 0; i < 5; ++i)
        a.add(i);
    a.removeAt(2);
    a.removeAt(-1);
    a.removeAt(4);
    ASSERT_EQ(a.size(), 4);
    EXPECT_EQ(a[0], 0);
    EXPECT_EQ(a[1], 1);
    EXPECT_EQ(a[2], 3);
    EXPECT_EQ(a[3], 4);
    EXPECT_EQ(a.capacity(), 5);
    EXPECT_EQ(a.indexOf(3), 2);
    EXPECT_EQ(a.indexOf(2), -1);
}

namespace {
struct Counted {
    explicit Counted(int* deaths) : deaths(deaths) {}
    ~Counted() { ++*deaths; }
    int* deaths;
};
} // namespace

TEST(PtrArray, ClearDeletesEveryElementOnce) {
    int deaths = 0;
    {
        PtrArray<Counted> owned;
        for (int i = 0; i < 6; ++i)
            owned.add(new Counted(&deaths));
        owned.add(nullptr);
        owned.clear();
        EXPECT_EQ(deaths, 6);
        EXPECT_EQ(owned.size(), 0);
        owned.add(new Counted(&deaths));
    }
    EXPECT_EQ(deaths, 7);
}
