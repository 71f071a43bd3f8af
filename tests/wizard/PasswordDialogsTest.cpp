// The new-main-password rule and the dialogs' emptied boxes.
#include "WizardFixture.h"
#include "hide/HiddenConfig.h"
#include "wizard/PasswordDialogs.h"

namespace tellvane::test {
namespace {

TEST(ChangeMainPassDialog, EntriesMustMatchExactly) {
    TChangeMainPassDialog dialog;
    TSecretString store = "old";
    std::vector<std::string> errors;
    auto errorBox = [&](const std::string& t) { errors.push_back(t); };

    dialog.PasswordEdit = "Secret";
    dialog.AgainPasswordEdit = "secret";
    EXPECT_FALSE(dialog.OKBtnClick(store, errorBox));
    EXPECT_EQ(errors, (std::vector<std::string>{
                          "Password you entered second time is different from the one you entered first time!"}));
    EXPECT_EQ(store, "old");
    EXPECT_EQ(dialog.PasswordEdit, "Secret");  // both boxes keep what was typed
    EXPECT_EQ(dialog.AgainPasswordEdit, "secret");

    dialog.AgainPasswordEdit = "Secret";
    EXPECT_TRUE(dialog.OKBtnClick(store, errorBox));
    EXPECT_EQ(store, "Secret");

    dialog.PasswordEdit.clear();
    dialog.AgainPasswordEdit.clear();
    EXPECT_TRUE(dialog.OKBtnClick(store, errorBox));  // two empty boxes set an empty password
    EXPECT_EQ(store, "");
    EXPECT_EQ(errors.size(), 1u);

    dialog.PasswordEdit = "a";
    dialog.AgainPasswordEdit = "b";
    dialog.FormShow();
    EXPECT_EQ(dialog.PasswordEdit, "");
    EXPECT_EQ(dialog.AgainPasswordEdit, "");
}

// A password base.dat cannot hold is refused before the store changes, without repeating it.
TEST(ChangeMainPassDialog, APasswordTheStoreCannotHoldIsRefused) {
    TChangeMainPassDialog dialog;
    TSecretString store = "old";
    std::vector<std::string> errors;
    for (const std::string& typed : {std::string(THiddenConfig::MaxValueLength + 1, 'p'), std::string("pp\r")}) {
        dialog.PasswordEdit = dialog.AgainPasswordEdit = typed;
        EXPECT_FALSE(dialog.OKBtnClick(store, [&](const std::string& t) { errors.push_back(t); }));
        EXPECT_EQ(store, "old");
    }
    EXPECT_EQ(errors, (std::vector<std::string>{"The main password cannot be longer than 2047 bytes",
                                                "The main password cannot contain a line break"}));
    dialog.PasswordEdit = dialog.AgainPasswordEdit = std::string(THiddenConfig::MaxValueLength, 'p');
    EXPECT_TRUE(dialog.OKBtnClick(store, [&](const std::string& t) { errors.push_back(t); }));
    EXPECT_EQ(store.size(), THiddenConfig::MaxValueLength);
}

TEST_F(WizardTest, ChangeMainPassLinkSetsTheStoreOnlyOnMatchingEntries) {
    HiddenItemsStore().Password = "old";
    window.changeAnswers = {{"new", "New"}, {"new", "new"}};
    wizard.ChangeMainPassLinkClick();
    EXPECT_EQ(HiddenItemsStore().Password, "new");
    EXPECT_EQ(window.boxes.size(), 1u);

    window.changeAnswers = {{"x", "x", false}};  // Cancel
    wizard.ChangeMainPassLinkClick();
    EXPECT_EQ(HiddenItemsStore().Password, "new");
    // The store writes the new password with its next save.
    FreeHiddenConfig();
    CreateHiddenConfig();
    EXPECT_EQ(HiddenItemsStore().Password, "new");
}

}  // namespace
}  // namespace tellvane::test
