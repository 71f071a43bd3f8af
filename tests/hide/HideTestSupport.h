#pragma once
// Helpers of the hiding tests: a store in a temporary data folder, captured log lines, and a
// file-size limit that makes writes fail even for root.
#include <csignal>
#include <sys/resource.h>

#include <mutex>
#include <string>
#include <vector>

#include "base/Logger.h"
#include "hide/HiddenConfig.h"
#include "platform/AppFolders.h"
#include "support/TestSupport.h"

namespace tellvane::test {

// Every file write beyond BYTES fails with EFBIG while this lives, for root as well.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

// The log switched on, its lines kept in memory; the log as it was afterwards.
class CapturedLog {
public:
    CapturedLog() {
        SetLogLineWriter([this](const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back(line);
        });
        SetLogEnabled(true);
    }
    ~CapturedLog() {
        SetLogEnabled(false);
        SetLogLineWriter({});
    }
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;

    // The lines whose source is SOURCE ("... SOURCE: message").
    std::vector<std::string> From(const std::string& source) const {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<std::string> found;
        for (const auto& l : lines_)
            if (l.find(" " + source + ": ") != std::string::npos) found.push_back(l);
        return found;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

// A data folder of its own with the process-wide store created in it; freed at the end.
class StoreInTempDir {
public:
    StoreInTempDir() {
        SetDataFolder(data.path().string());
        CreateHiddenConfig();
    }
    ~StoreInTempDir() {
        try {
            if (HiddenConfigCreated()) FreeHiddenConfig();
        } catch (...) {
        }
    }
    StoreInTempDir(const StoreInTempDir&) = delete;
    StoreInTempDir& operator=(const StoreInTempDir&) = delete;

    std::string BaseDat() const { return GetDataFolder() + "base.dat"; }

    TempDir data;
};

}  // namespace tellvane::test
