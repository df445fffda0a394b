// A test with a scratch directory that holds the error log and the game log
// while it runs; reports() gives the error log one report a line.
#pragma once

#include "lib/Log.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class LoggedTest : public ::testing::Test {
protected:
    void SetUp() override {
        errorLog.open(errors.c_str());
        gameLog.open(dir.file("log.txt").c_str());
    }
    void TearDown() override {
        errorLog.close();
        gameLog.close();
    }
    std::string errorText() const {
        return std::filesystem::exists(errors) ? readFile(errors) : std::string();
    }
    std::string reports(const std::string& prefix = "") const {
        return reportsOf(errorText(), dir.path(), prefix);
    }

    TempDir dir;
    std::string errors = dir.file("errorLog.txt");
};
