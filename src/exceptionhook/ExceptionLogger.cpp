#include "exceptionhook/ExceptionLogger.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <exception>
#include <typeinfo>

#include <backtrace.h>

#if defined(__SANITIZE_ADDRESS__)
#define TELLVANE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TELLVANE_ASAN 1
#endif
#endif
#ifdef TELLVANE_ASAN
#include <sanitizer/asan_interface.h>
#endif
#include <boost/core/demangle.hpp>
#include <boost/stacktrace/stacktrace.hpp>

#include "base/Logger.h"
#include "platform/Clock.h"
#include "platform/Paths.h"

namespace tellvane {
namespace {

constexpr size_t kMaxDescription = 1024;
constexpr size_t kMaxFrames = 128;

std::atomic<bool> g_installed{false};

// One symbol reader for the whole process: libbacktrace keeps what it has read for good, and a state
// made for concurrent use may be shared by every thread (one per thread would keep a copy of the
// debug information per worker run).
backtrace_state* SymbolState() {
    static backtrace_state* state =
        backtrace_create_state(nullptr, 1, [](void*, const char*, int) {}, nullptr);
    return state;
}

struct SymbolLookup {
    std::string function;
    std::string file;
    int line = 0;
};

// Where the routine's own name ends: "ns::f(int) const" -> at "(". A parameter list followed by "::"
// belongs to an enclosing function of a local entity (a lambda) and is part of the name.
size_t MatchingClose(const std::string& s, size_t open) {
    int depth = 0;
    for (size_t i = open; i < s.size(); ++i) {
        char c = s[i];
        if (c == '(' || c == '<' || c == '[' || c == '{') ++depth;
        else if (c == ')' || c == '>' || c == ']' || c == '}') {
            if (--depth == 0) return i;
        }
    }
    return std::string::npos;
}

std::string FileStem(const std::string& fileName) {
    auto dot = fileName.rfind('.');
    return dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

std::string ExecutableName() {
    try {
        return ExtractFileName(ExecutablePath());
    } catch (...) {
        return {};
    }
}

using TRealThrow = void (*)(void*, void*, void (*)(void*));
std::atomic<TRealThrow> g_realThrow{nullptr};

TRealThrow RealThrow() {
    TRealThrow fn = g_realThrow.load(std::memory_order_acquire);
    if (!fn) {
        fn = reinterpret_cast<TRealThrow>(dlsym(RTLD_NEXT, "__cxa_throw"));
        if (!fn) {
            // Nothing can be thrown without the runtime's own routine.
            std::fputs("tellvane: the C++ runtime's __cxa_throw was not found\n", stderr);
            std::abort();
        }
        g_realThrow.store(fn, std::memory_order_release);
    }
    return fn;
}

}  // namespace

bool ExceptionLoggerInstalled() { return g_installed.load(); }

std::string LogAddressText(uintptr_t address) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%08llX", static_cast<unsigned long long>(address));
    return buf;
}

std::pair<std::string, std::string> SplitRoutineName(const std::string& s) {
    size_t start = 0;
    size_t end = s.size();
    std::vector<size_t> separators;  // "::" at nesting depth 0
    int depth = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (depth == 0 && s.compare(i, 8, "operator") == 0 &&
            (i == 0 || s[i - 1] == ':' || s[i - 1] == ' ')) {
            // The operator's symbol is part of its name: "operator()", "operator<<", "operator new".
            size_t j = i + 8;
            if (s.compare(j, 2, "()") == 0 || s.compare(j, 2, "[]") == 0) {
                j += 2;
            } else if (j < s.size() && s[j] == ' ') {
                j = s.find('(', j);
                if (j == std::string::npos) j = s.size();
            } else {
                while (j < s.size() && std::strchr("<>=!+-*/%^&|~,", s[j]) != nullptr) ++j;
                if (j + 1 < s.size() && s[j] == ' ' && s[j + 1] == '<') ++j;  // "operator< <int>"
            }
            i = j - 1;
            continue;
        }
        if (c == '(' && depth == 0) {
            size_t close = MatchingClose(s, i);
            bool anonymous = s.compare(i, 21, "(anonymous namespace)") == 0;
            if (close != std::string::npos && (anonymous || s.compare(close + 1, 2, "::") == 0)) {
                i = close;
                continue;
            }
            end = i;
            break;
        }
        if (c == '<' || c == '(' || c == '[' || c == '{') {
            ++depth;
        } else if (c == '>' || c == ')' || c == ']' || c == '}') {
            if (depth > 0) --depth;
        } else if (depth == 0 && c == ':' && i + 1 < s.size() && s[i + 1] == ':') {
            separators.push_back(i);
            ++i;
        } else if (depth == 0 && c == ' ') {
            // What stands before a blank at the top level is a return type.
            start = i + 1;
            separators.clear();
        }
    }
    while (end > start && s[end - 1] == ' ') --end;
    if (separators.empty()) return {"", s.substr(start, end - start)};
    size_t sep = separators.back();
    return {s.substr(start, sep - start), s.substr(sep + 2, end - sep - 2)};
}

StackFrameInfo DescribeFrame(uintptr_t address) {
    StackFrameInfo info;
    info.offset = address;
    Dl_info dl{};
    bool inModule = dladdr(reinterpret_cast<void*>(address), &dl) != 0;
    if (inModule) {
        if (dl.dli_fname) info.module = ExtractFileName(dl.dli_fname);
        info.offset = address - reinterpret_cast<uintptr_t>(dl.dli_fbase);
    }

    // A return address points after the call; the call itself is one byte before it.
    const uintptr_t pc = address > 0 ? address - 1 : address;
    SymbolLookup found;
    if (backtrace_state* state = SymbolState()) {
        // The symbol table names the routine with its full qualification (the debug information has
        // only the bare name).
        backtrace_syminfo(
            state, pc,
            [](void* data, uintptr_t, const char* symbol, uintptr_t, uintptr_t) {
                if (symbol) static_cast<SymbolLookup*>(data)->function = symbol;
            },
            [](void*, const char*, int) {}, &found);
        // Source and line: with inlined calls the debug information reports the innermost routine
        // first and the one the symbol names last; the last matches the name.
        SymbolLookup lines;
        backtrace_pcinfo(
            state, pc,
            [](void* data, uintptr_t, const char* file, int line, const char* function) -> int {
                auto& f = *static_cast<SymbolLookup*>(data);
                if (file && line > 0) {
                    f.file = file;
                    f.line = line;
                }
                if (function) f.function = function;
                return 0;
            },
            [](void*, const char*, int) {}, &lines);
        found.file = lines.file;
        found.line = lines.line;
        if (found.function.empty()) found.function = lines.function;
    }
    if (found.function.empty() && inModule && dl.dli_sname) found.function = dl.dli_sname;

    if (!found.function.empty()) {
        auto [unit, routine] = SplitRoutineName(boost::core::demangle(found.function.c_str()));
        info.unit = unit;
        info.routine = routine;
    }
    if (!found.file.empty() && found.line > 0) {
        info.sourceFile = ExtractFileName(found.file);
        info.line = static_cast<unsigned>(found.line);
    }
    // A routine outside any class or namespace is shown with its source unit, or else its module.
    if (!info.routine.empty() && info.unit.empty())
        info.unit = !info.sourceFile.empty() ? FileStem(info.sourceFile) : info.module;
    return info;
}

std::string FormatFrameLine(const StackFrameInfo& frame) {
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "[" + std::string&&.
    std::string line(1, '[');
    line.append(LogAddressText(frame.offset)).append(1, ']');
    if (frame.routine.empty()) return line;
    line.append(1, ' ').append(frame.unit).append(1, '.').append(frame.routine);
    if (frame.line > 0 && !frame.sourceFile.empty())
        line.append(" (Line ").append(std::to_string(frame.line)).append(", \"").append(frame.sourceFile).append("\")");
    return line;
}

std::string ExceptionDescription(const std::string& className, const std::string& module, uintptr_t offset,
                                 const std::string& message) {
    std::string text = message;
    if (text.empty() || text.back() != '.') text += '.';
    std::string description =
        "Exception " + className + " in module " + module + " at " + LogAddressText(offset) + ".\r\n" + text + "\r\n";
    if (description.size() > kMaxDescription) description.resize(kMaxDescription);
    return description;
}

std::vector<std::string> ExceptionLogLines(const std::string& className, const std::string& message,
                                           const std::vector<uintptr_t>& frames) {
    std::vector<StackFrameInfo> described;
    described.reserve(frames.size());
    for (uintptr_t address : frames) described.push_back(DescribeFrame(address));

    std::string module = !described.empty() ? described.front().module : std::string();
    if (module.empty()) module = ExecutableName();
    uintptr_t offset = !described.empty() ? described.front().offset : 0;

    std::vector<std::string> lines;
    lines.reserve(described.size() + 5);
    lines.emplace_back();
    lines.push_back(FormatLogStamp(Now()));
    lines.push_back(ExceptionDescription(className, module, offset, message));
    lines.emplace_back("STACK TOP-----------------------------");
    for (const auto& frame : described) lines.push_back(FormatFrameLine(frame));
    lines.emplace_back("STACK BOTTOM-------------------------");
    return lines;
}

void LogException(const std::type_info& type, void* object, const std::vector<uintptr_t>& frames) {
    if (!LogEnabled()) return;
    TLoggerBusy busy;
    try {
        std::string className = boost::core::demangle(type.name());
        std::string message;
        // Ask the runtime whether a handler for std::exception would take this object, exactly as a
        // catch clause does; it adjusts the pointer to the std::exception part.
        void* adjusted = object;
        if (object && typeid(std::exception).__do_catch(&type, &adjusted, 1))
            message = static_cast<const std::exception*>(adjusted)->what();
        else if (object && (type == typeid(const char*) || type == typeid(char*)))
            message = *static_cast<const char* const*>(object) ? *static_cast<const char* const*>(object) : "";
        WriteLogBlock(ExceptionLogLines(className, message, frames));
    } catch (...) {
        // Logging never raises an error of its own.
    }
}

void InstallExceptionLogger() {
    RealThrow();
    g_installed = true;
}

}  // namespace tellvane

// Every throw in the process passes here first (the definition in the executable takes precedence over
// the C++ runtime's), is logged with the stack at the throw when the log is on, and then goes on through
// the runtime's own routine, or through a sanitizer's that wraps it.
#ifdef __clang__
// clang holds the definition to the C++ runtime header's declaration (noreturn there).
extern "C" void __cxa_throw(void* object, std::type_info* type, void (*destructor)(void*)) {
#else
extern "C" [[noreturn]] void __cxa_throw(void* object, void* type, void (*destructor)(void*)) {
#endif
    using namespace tellvane;
    TRealThrow real = RealThrow();
    if (g_installed.load(std::memory_order_relaxed) && !LoggerBusyOnThisThread() && LogEnabled()) {
        TLoggerBusy busy;
        try {
            boost::stacktrace::stacktrace stack(1, kMaxFrames);  // from the thrower outwards
            std::vector<uintptr_t> frames;
            frames.reserve(stack.size());
            for (const auto& frame : stack) frames.push_back(reinterpret_cast<uintptr_t>(frame.address()));
            LogException(*static_cast<const std::type_info*>(type), object, frames);
        } catch (...) {
        }
    }
#ifdef TELLVANE_ASAN
    // A sanitizer linked statically into the executable has its wrapper shadowed by this routine:
    // do its work, forgetting the stack frames the throw abandons.
    __asan_handle_no_return();
#endif
    real(object, type, destructor);
    __builtin_unreachable();
}
