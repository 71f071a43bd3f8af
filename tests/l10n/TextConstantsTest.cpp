// Looking up the text constants.
#include <gtest/gtest.h>

#include <thread>

#include "l10n/BuiltinConstants.h"
#include "l10n/TextConstants.h"

namespace tellvane {
namespace {

TEST(TextConstants, LookupIgnoresTheCaseOfLetters) {
    EXPECT_EQ(GetConstantValue("CANCEL"), "&Cancel");
    EXPECT_EQ(GetConstantValue("Files_Were"), "%d files were %s");
    EXPECT_EQ(GetConstantValue("files_were"), GetConstantValue("Files_were"));
    // decrypted and Decrypt_desc differ only past the common prefix; both are found.
    EXPECT_EQ(GetConstantValue("decrypted"), "decrypted");
    EXPECT_EQ(GetConstantValue("Decrypt_desc"), "Decrypt previously encrypted files");
}

TEST(TextConstants, TextsAreReturnedExactlyAsStored) {
    EXPECT_EQ(GetConstantValue("Percent_completed"), "%d%% completed...");
    EXPECT_EQ(GetConstantValue("Choose_files_to_shred_full"),
              "Choose files or folders you want to shred. Shredded files and folders can''t be restored!");
    EXPECT_EQ(GetConstantValue("Enter_valid_pass"), "Enter vaild password for %s");
    EXPECT_EQ(GetConstantValue("Enter_password_first"), "Enter password before perfom this operation please.");
}

TEST(TextConstants, UnknownNameRaisesNamingIt) {
    try {
        GetConstantValue("No_such_text");
        FAIL();
    } catch (const EQuenLangError& e) {
        EXPECT_STREQ(e.what(), "Constant \"No_such_text\" not found");
    }
}

TEST(TextConstants, EveryBuiltinNameIsFoundAndUnique) {
    TQuenLanguageManager manager;
    for (const auto& c : BuiltinConstants()) EXPECT_EQ(manager.GetConstantValue(c.name), c.text) << c.name;
    EXPECT_EQ(manager.LanguageID(), 1033);
    EXPECT_EQ(manager.DefaultLanguageID(), 1033);
    EXPECT_EQ(manager.CodePage(), 1252u);
}

TEST(TextConstants, TranslatedTextReplacesAndResets) {
    TQuenLanguageManager manager;
    manager.SetConstantValue("cancel", "&Abbrechen");
    EXPECT_EQ(manager.GetConstantValue("Cancel"), "&Abbrechen");
    manager.ResetToDefaults();
    EXPECT_EQ(manager.GetConstantValue("Cancel"), "&Cancel");
    EXPECT_THROW(manager.SetConstantValue("Nope", "x"), EQuenLangError);
}

TEST(TextConstants, ReadersRunWhileTheLanguageIsWritten) {
    TQuenLanguageManager manager;
    std::atomic<bool> stop{false};
    std::atomic<int> reads{0};
    std::thread writer([&] {
        // On a loaded machine the writer could finish before the reader starts: wait for it.
        while (reads.load() == 0) std::this_thread::yield();
        for (int i = 0; i < 2000; ++i) manager.SetConstantValue("Cancel", i % 2 ? "&Abbrechen" : "&Cancel");
        stop = true;
    });
    while (!stop) {
        const std::string v = manager.GetConstantValue("Cancel");
        ASSERT_TRUE(v == "&Cancel" || v == "&Abbrechen") << v;
        ++reads;
    }
    writer.join();
}

}  // namespace
}  // namespace tellvane
