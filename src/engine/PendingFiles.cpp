#include "engine/PendingFiles.h"

#include "platform/AppFolders.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/TextLines.h"

namespace tellvane {

std::atomic<bool> StartedFromCmdLine{false};

std::vector<std::string>& PendingFiles() {
    static std::vector<std::string> pending;
    return pending;
}

void CreatePendingFiles() { PendingFiles().clear(); }

void FreePendingFiles() {
    std::vector<std::string>().swap(PendingFiles());
}

std::vector<std::string> DecodePendingLines(const std::string& bytes, uint32_t ansiCodePage) {
    std::vector<std::string> lines = SplitLines(DecodeTextWithBom(bytes, ansiCodePage));
    // An empty line names no path; it would only end the run with an error.
    std::erase_if(lines, [](const std::string& line) { return line.empty(); });
    return lines;
}

void LoadPendingFiles() {
    const std::string bytes = ReadWholeFile(GetDataFolder() + "todo");
    std::vector<std::string> lines = DecodePendingLines(bytes, SystemAnsiCodePage());
    auto& pending = PendingFiles();
    lines.insert(lines.end(), pending.begin(), pending.end());
    pending = std::move(lines);
}

}  // namespace tellvane
