#pragma once
// The log's exception block: what was thrown, where, and the stack at the throw, one line per frame.
#include <cstdint>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

namespace tellvane {

// What the symbol information tells about one return address on the stack.
struct StackFrameInfo {
    uintptr_t offset = 0;    // the address relative to the module that holds it
    std::string module;      // file name of that module ("" when unknown)
    std::string unit;        // qualifier of the routine, e.g. "tellvane::TOptions"
    std::string routine;     // "" when the routine is unknown
    std::string sourceFile;  // file name of the source ("" when unknown)
    unsigned line = 0;       // 0 when unknown
};

// The address as the log shows it: at least eight upper-case hexadecimal digits.
std::string LogAddressText(uintptr_t address);

// Splits a demangled routine name into its qualifier and the routine's own name, dropping the
// return type, parameter list and qualifiers: "void ns::T<int>::Go(int) const" gives {"ns::T<int>", "Go"}.
std::pair<std::string, std::string> SplitRoutineName(const std::string& demangled);

// Looks ADDRESS (a return address) up in the module table and the symbol information.
StackFrameInfo DescribeFrame(uintptr_t address);

// "[ADDR]", "[ADDR] unit.routine" or "[ADDR] unit.routine (Line N, "file")".
std::string FormatFrameLine(const StackFrameInfo& frame);

// "Exception CLASS in module MODULE at ADDR." CR LF MESSAGE CR LF, the message ending in a full stop,
// the whole cut at 1024 characters.
std::string ExceptionDescription(const std::string& className, const std::string& module, uintptr_t offset,
                                 const std::string& message);

// The whole block for one exception: an empty line, the stamp, the description, the frames between
// the stack markers. FRAMES are return addresses, innermost first; the first is where it was thrown.
std::vector<std::string> ExceptionLogLines(const std::string& className, const std::string& message,
                                           const std::vector<uintptr_t>& frames);

// Writes the block for an exception of type TYPE at OBJECT (as the runtime throws it) when the log is on.
void LogException(const std::type_info& type, void* object, const std::vector<uintptr_t>& frames);

// Arms the hook on the C++ runtime's throw, so that every exception is logged with its stack when
// the log is on. Only the executables link this unit: its definition of the runtime's throw routine
// replaces the runtime's own.
void InstallExceptionLogger();
// The exception hook is armed (InstallExceptionLogger has run).
bool ExceptionLoggerInstalled();

}  // namespace tellvane
