// The built-in English texts of the constants table, in the table's sorted order.
#include "l10n/BuiltinConstants.h"

namespace tellvane {

const std::vector<BuiltinConstant>& BuiltinConstants() {
    static const std::vector<BuiltinConstant> table = {
        {"Cancel", "&Cancel"},
        {"Choose_files_to_encrypt", "Choose files, folders or drives to encrypt:"},
        {"Choose_files_to_encrypt_full", "Choose files, folders and drives to encrypt. Encrypted file with .enc extension will be created for each selected file and for each file inside selected folders or drives. Folders hierarchy will stay untouched."},
        {"Choose_files_to_shred", "Choose files or folders to shred:"},
        {"Choose_files_to_shred_full", "Choose files or folders you want to shred. Shredded files and folders can''t be restored!"},
        {"Choose_file_to_decrypt", "Choose encrypted .enc files, folders or drives to decrypt:"},
        {"Choose_file_to_decrypt_full", "Choose encrypted .enc files to decrypt. Alternatively, choose folders or drives which contain .enc files. All .enc files inside selected folders or drives will be decrypted."},
        {"Choose_file_to_hide", "Choose files, folders or drives to hide:"},
        {"Choose_file_to_hide_full", "Choose files, folders or drives you want to hide from Explorer. Use Change Main Password link to change the password program asks before this step."},
        {"Decrypt", "Decrypt"},
        {"decrypted", "decrypted"},
        {"Decrypting_files_step1", "Decrypting files - Step 1 of 2"},
        {"Decrypting_files_step2", "Decrypting files - Step 2 of 2"},
        {"Decryption_completed", "Decryption completed"},
        {"Decrypt_desc", "Decrypt previously encrypted files"},
        {"Encrypt", "Encrypt"},
        {"encrypted", "encrypted"},
        {"Encrypting_files_step1", "Encrypting files - Step 1 of 2"},
        {"Encrypting_files_step2", "Encrypting files - Step 2 of 2"},
        {"Encryption_algo_not_found", "Encryption algorithm for %s not found"},
        {"Encryption_completed", "Encryption completed"},
        {"Encrypt_desc", "Encrypt files and change their extensions to .enc"},
        {"Enter_Main_Password", "Enter Main Password"},
        {"Enter_password", "Enter password:"},
        {"Enter_password_first", "Enter password before perfom this operation please."},
        {"Enter_valid_pass", "Enter vaild password for %s"},
        {"Exit", "Exit"},
        {"Files_were", "%d files were %s"},
        {"File_was", "%d file was %s"},
        {"hidden", "hidden"},
        {"Hide", "Hide"},
        {"Hide_desc", "Hide files, folders or drives from Explorer"},
        {"Hide_operation_completed", "Hide operation completed"},
        {"Hiding_files_step1", "Hiding files - Step 1 of 1"},
        {"Next_", "Next"},
        {"Percent", "%d of %d"},
        {"Percent_completed", "%d%% completed..."},
        {"Please_select_files", "Please select some files"},
        {"Second_pass_not_equal_first", "Password you entered second time is different from the one you entered first time!"},
        {"Show", "Show"},
        {"Showing_files_step1", "Showing files - Step 1 of 1"},
        {"shown", "shown"},
        {"Show_desc", "Show hidden files, folders or drives"},
        {"Show_operation_completed", "Show operation completed"},
        {"Shred", "Shred"},
        {"shredded", "shredded"},
        {"Shredding_completed", "Shredding completed"},
        {"Shredding_files_step1", "Shredding files - Step 1 of 2"},
        {"Shredding_files_step2", "Shredding files - Step 2 of 2"},
        {"Shred_desc", "Securely delete files"},
        {"Wrong_password", "You entered wrong password!"},
    };
    return table;
}

}  // namespace tellvane
