#pragma once
// The paths handed over for a command-line run, and whether the run came from the command line.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace tellvane {

// The list itself: one value for the program's life, empty until a command line fills it.
std::vector<std::string>& PendingFiles();
// Start-up and shutdown steps: the list starts empty and ends empty, its memory given back.
void CreatePendingFiles();
void FreePendingFiles();
// Reads DataFolder + "todo" (UTF-8 or UTF-16 with a byte-order mark, otherwise the ANSI code
// page), puts its lines before the current contents of PendingFiles. Throws EFileError when the
// file cannot be read; PendingFiles is then unchanged.
void LoadPendingFiles();
// Decodes the text of a "todo" file into its lines.
std::vector<std::string> DecodePendingLines(const std::string& bytes, uint32_t ansiCodePage);

// Set by the command-line activation when an operation switch was found.
extern std::atomic<bool> StartedFromCmdLine;

}  // namespace tellvane
