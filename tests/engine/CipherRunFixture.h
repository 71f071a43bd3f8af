#pragma once
// The set-up every encrypt, decrypt and shred run test needs: program and data folders of its own,
// a fresh cipher registry and no pending paths.
#include <gtest/gtest.h>

#include <string>

#include "crypto/CryptoAlgorithms.h"
#include "engine/PendingFiles.h"
#include "platform/AppFolders.h"
#include "support/TestSupport.h"

namespace tellvane::test {

class CipherRunFixture : public ::testing::Test {
protected:
    void SetUp() override {
        oldApp_ = GetAppFolder();
        SetAppFolder(app.path().string());
        SetDataFolder(data.path().string());
        FreeAlgorithms();
        CreateAlgorithms();
        PendingFiles().clear();
    }
    void TearDown() override {
        PendingFiles().clear();
        FreeAlgorithms();
        SetAppFolder(oldApp_);
    }

    TempDir app, data, dir;

private:
    std::string oldApp_;
};

}  // namespace tellvane::test
