#pragma once
// The diagnostic log: DataFolder + executable name + ".log", written only with the "-debug" switch.
#include <functional>
#include <string>
#include <vector>

#include "platform/SystemError.h"

namespace tellvane {

using TLogLineWriter = std::function<void(const std::string& line)>;

// Names the log after the executable, sets the writer, and turns the log on when one of the
// command-line arguments equals SWITCHTEXT exactly.
void InitLogger(const std::string& switchText);
bool LogEnabled();
void SetLogEnabled(bool enabled);
std::string LogFileName();
// Replaces the line writer (tests); an empty function restores WriteLogLine.
void SetLogLineWriter(TLogLineWriter writer);
// Appends TEXT and CR LF to the log file; failures are ignored.
void WriteLogLine(const std::string& text);
// "d.m.yy hh:nn:ss:zzz SOURCE: MSG" when the log is on.
void Log(const std::string& msg, const std::string& source);
// Passes LINES to the line writer one after another, with no other log line between them.
void WriteLogBlock(const std::vector<std::string>& lines);

// True while this thread is inside the logger; an exception thrown there is not logged again.
bool LoggerBusyOnThisThread();
class TLoggerBusy {
public:
    TLoggerBusy();
    ~TLoggerBusy();
    TLoggerBusy(const TLoggerBusy&) = delete;
    TLoggerBusy& operator=(const TLoggerBusy&) = delete;

private:
    bool was_;
};

}  // namespace tellvane
