#include "Src/core/GameModule.h"

#include "lib/Log.h"
#include "tests/support/Golden.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class NamedModule : public GameModule {
public:
    explicit NamedModule(const char* name) : GameModule(name) {}
};

} // namespace

TEST(GameModuleManager, RegistersInOrderFindsByNameAndLogs) {
    TempDir dir;
    gameLog.open(dir.file("log.txt").c_str());
    const int before = gameModuleManager.count();
    {
        NamedModule a("First");
        NamedModule b("Second");
        auto* c = new NamedModule("Third");
        EXPECT_TRUE(a.isRegistered());
        EXPECT_EQ(gameModuleManager.count(), before + 3);
        EXPECT_EQ(gameModuleManager.find("First"), &a);
        EXPECT_EQ(gameModuleManager.find("Second"), &b);
        EXPECT_EQ(gameModuleManager.find("Fourth"), nullptr);

        // Removing from the middle keeps the others in their order.
        gameModuleManager.remove(&b);
        EXPECT_EQ(gameModuleManager.at(before), &a);
        EXPECT_EQ(gameModuleManager.at(before + 1), c);
        // Removing what is not there changes nothing and writes nothing.
        gameModuleManager.remove(&b);
        EXPECT_EQ(gameModuleManager.count(), before + 2);
        delete c;
        gameModuleManager.add(&b); // b unregisters itself again on destruction
    }
    EXPECT_EQ(gameModuleManager.count(), before);
    gameLog.close();
    checkGoldenText(std::string(LURVANE_TEST_GOLDEN_DIR) + "/game_modules.txt",
                    dir.read("log.txt"));
}
