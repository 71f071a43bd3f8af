#pragma once
// Shared by the fuzz targets: a scratch folder of this process for the parsers that read files,
// and the code pages a text without a byte-order mark may be read in.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace tellvane::fuzz {

// This process's scratch folder (ending in "/"), removed at exit. The program's data and
// application folders point into it, so nothing outside is read or written.
const std::string& ScratchFolder();
// Writes the bytes to NAME in the scratch folder and returns its path.
std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size);
// Writes TEXT to PATH (the data folder's files: call ScratchFolder first).
void WriteFile(const std::string& path, const std::string& text);
// Names of the scratch folder's files, KEEP left out.
std::string ScratchFilesExcept(const std::string& keep);
// Removes every file of the scratch folder but KEEP.
void ClearScratch(const std::string& keep);
// After a decryption of the scratch folder's "in.enc": fails unless the folder holds the restored
// file when DONE, and nothing new otherwise (no partial or temporary file).
void CheckRestoredOnlyWhenDone(bool done);
// The outcome of DECRYPT (true: the file was restored) as the malformed-file kit states it, the
// scratch folder cleared and left out of the messages.
std::string DecryptionOutcome(const std::function<bool()>& decrypt);
// One of the ANSI code pages the program reads text in, chosen by BYTE.
uint32_t PickCodePage(uint8_t byte);
// BYTES as one printable line: printable ASCII as it is, every other byte as \xNN.
std::string Printable(const std::string& bytes);
// Stops the run with MESSAGE: a broken property, reported as a crash.
[[noreturn]] void Fail(const char* message);

}  // namespace tellvane::fuzz
