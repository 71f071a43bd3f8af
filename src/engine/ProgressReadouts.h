#pragma once
// What the progress window reads every 100 ms from the active worker, each with its default when
// no run is active, the texts and bar positions of one refresh, and the count a finished run shows.
#include <cstdint>
#include <string>

#include "platform/Clock.h"

namespace tellvane {

TDateTime GetElapsedTime();
TDateTime GetEstimatedTime();
std::string GetCurrentFileName();
int64_t GetCurrentFileNumber();
int64_t GetFilesCount();
int64_t GetAllFilesDoneSize();
int64_t GetAllFilesSize();  // never below 1
int64_t GetCurrentFileDoneSize();
int64_t GetCurrentFileTotalSize();

// One refresh of the progress window.
struct TProgressView {
    std::string elapsedText;    // "hh:mm:ss"
    std::string estimatedText;  // "hh:mm:ss"
    int currentFilePercent = 0;
    int allFilesPercent = 0;
    std::string caption;  // "%d%% completed..."
    std::string mainCaption;  // "Brevikon - " + caption
    std::string fileName;
    std::string filesText;  // "%d of %d"
};

TProgressView ReadProgressView();
// DONE / TOTAL * 100 rounded half to even (a bar shows full above 100).
int PercentOf(int64_t done, int64_t total);

// The completion page's count line: "%d files were %s" for more than one entry, else "%d file was %s".
std::string CompletionCountText(int64_t count, const std::string& participle);
// The line the completion adds when COUNT entries were not done.
std::string NotDoneCountText(int64_t count);

}  // namespace tellvane
