#include "engine/ProgressReadouts.h"

#include <cmath>

#include "engine/FilesIterationThread.h"
#include "engine/RunRegistry.h"
#include "l10n/TextConstants.h"
#include "platform/TextFormat.h"

namespace tellvane {

TDateTime GetElapsedTime() {
    auto w = ActiveIterationThread();
    return w ? w->ElapsedTime() : 0;
}

TDateTime GetEstimatedTime() {
    auto w = ActiveIterationThread();
    return w ? w->EstimatedTime() : 0;
}

std::string GetCurrentFileName() {
    auto w = ActiveIterationThread();
    return w ? w->CurrentFileName() : std::string();
}

int64_t GetCurrentFileNumber() {
    auto w = ActiveIterationThread();
    return w ? w->CurrentFileNumber() : 0;
}

int64_t GetFilesCount() {
    auto w = ActiveIterationThread();
    return w ? w->FilesCount() : 0;
}

int64_t GetAllFilesDoneSize() {
    auto w = ActiveIterationThread();
    return w ? w->AllFilesDoneSize() : 0;
}

int64_t GetAllFilesSize() {
    auto w = ActiveIterationThread();
    if (!w) return 1;
    const int64_t size = w->AllFilesSize();
    return size > 0 ? size : 1;
}

int64_t GetCurrentFileDoneSize() {
    auto w = ActiveIterationThread();
    return w ? w->CurrentFileDoneSize() : 0;
}

int64_t GetCurrentFileTotalSize() {
    auto w = ActiveIterationThread();
    return w ? w->CurrentFileTotalSize() : 1;
}

int PercentOf(int64_t done, int64_t total) {
    if (total == 0) return 0;
    const double p = std::nearbyint(static_cast<double>(done) / static_cast<double>(total) * 100.0);
    if (p > 1e9) return 1000000000;
    if (p < -1e9) return -1000000000;
    return static_cast<int>(p);
}

TProgressView ReadProgressView() {
    TProgressView v;
    v.elapsedText = FormatHhMmSs(GetElapsedTime());
    v.estimatedText = FormatHhMmSs(GetEstimatedTime());
    v.currentFilePercent = PercentOf(GetCurrentFileDoneSize(), GetCurrentFileTotalSize());
    v.allFilesPercent = PercentOf(GetAllFilesDoneSize(), GetAllFilesSize());
    v.caption = Format(GetConstantValue("Percent_completed"), {v.allFilesPercent});
    v.mainCaption = "Brevikon - " + v.caption;
    v.fileName = GetCurrentFileName();
    v.filesText = Format(GetConstantValue("Percent"), {static_cast<long long>(GetCurrentFileNumber()),
                                                       static_cast<long long>(GetFilesCount())});
    return v;
}

std::string CompletionCountText(int64_t count, const std::string& participle) {
    const char* key = count > 1 ? "Files_were" : "File_was";
    return Format(GetConstantValue(key), {static_cast<long long>(count), participle});
}

std::string NotDoneCountText(int64_t count) {
    const char* key = count > 1 ? "Entries_not_done" : "Entry_not_done";
    return Format(GetConstantValue(key), {static_cast<long long>(count)});
}

}  // namespace tellvane
