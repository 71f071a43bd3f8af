#pragma once
// The hidden-items store: every file, folder and drive the program has hidden, in the order they
// were hidden, and the main password. Kept in DataFolder + "base.dat" (INI text, written atomically
// with mode 0600).
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/OperationCallbacks.h"  // TItemType (header only)
#include "crypto/SecureWipe.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"

namespace tellvane {

// A value that base.dat cannot hold faithfully (a line break, or a path longer than a value may be):
// that path alone is refused.
class EHiddenConfigError : public EFileSkipped {
public:
    explicit EHiddenConfigError(const std::string& message) : EFileSkipped(message) {}
};

class THiddenItem {
public:
    THiddenItem(TItemType aTypeOfItem, std::string aFilePath)
        : TypeOfItem(aTypeOfItem), FilePath(std::move(aFilePath)) {}

    TItemType TypeOfItem;
    std::string FilePath;  // exactly as the hide routine received it
};

class THiddenConfig {
public:
    // Longest value read back from base.dat, in bytes; a longer one is cut there.
    static constexpr size_t MaxValueLength = 2047;
    // A forged "Count" cannot make the store allocate without bound.
    static constexpr int MaxItems = 100000;

    THiddenConfig() = default;
    THiddenConfig(const THiddenConfig&) = delete;
    THiddenConfig& operator=(const THiddenConfig&) = delete;

    // Appends the items of base.dat (and reads the main password). Absent or malformed values fall
    // back to their defaults. Throws EFileError when base.dat cannot be created or read.
    void LoadFromFile();
    // The same from the text of a base.dat.
    void LoadFromText(const std::string& text);
    // Writes the password, the count and every item in one atomic replacement of base.dat; other
    // sections are kept, every section whose name contains "Item" is replaced.
    // Throws EFileError when the file cannot be written, EHiddenConfigError for a value the file
    // cannot hold (nothing is written then).
    void SaveToFile();

    // Appends an item and saves. Throws EHiddenConfigError, before changing anything, for a path
    // that base.dat could not give back unchanged; a failed save takes the item out again.
    void AddItem(TItemType typeOfItem, const std::string& filePath);
    // Removes the item at INDEX and saves; std::out_of_range for a bad index (nothing changes); a
    // failed save puts the item back.
    void DeleteItem(int index);
    // std::out_of_range for a bad index.
    THiddenItem& GetItem(int index);
    const THiddenItem& GetItem(int index) const;
    // First item whose path equals FILEPATH exactly (case-sensitive, no normalisation), or null.
    THiddenItem* FindItem(const std::string& filePath);
    int Count() const { return static_cast<int>(FHiddenItems.size()); }

    // Throws EHiddenConfigError when PATH cannot be stored as an item's path unchanged.
    static void CheckStorablePath(const std::string& path);
    // Why PASSWORD cannot be stored as the main password unchanged (a line break, too long), in
    // the user's language and without the password; empty when it can.
    static std::string PasswordStorageProblem(const std::string& password);
    // Throws EHiddenConfigError with PasswordStorageProblem when it is not empty.
    static void CheckStorablePassword(const std::string& password);

    // The main password as typed; empty when none has been set. Saved with the next SaveToFile.
    TSecretString Password;

private:
    // DataFolder + "base.dat"; creates an empty file of that name (mode 0600) when there is none.
    static std::string GetConfigFileName();
    void LoadFromDocument(const TIniFile::Document& doc);
    void CheckIndex(int index) const;

    std::vector<std::unique_ptr<THiddenItem>> FHiddenItems;
};

// The process-wide store: created and loaded at start-up, saved and freed at shutdown.
void CreateHiddenConfig();
// Saves the store, then frees it (also when the save fails; the error is passed on).
void FreeHiddenConfig();
bool HiddenConfigCreated();
// The process-wide store; std::logic_error when it has not been created.
THiddenConfig& HiddenItemsStore();

}  // namespace tellvane
