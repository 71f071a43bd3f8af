#pragma once
// Starting another program that lives on by itself: neither waited for nor a child of the caller.
#include <stdexcept>
#include <string>
#include <vector>

namespace tellvane {

class EStartProcessError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Runs PROGRAM (a full path) with ARGS in a new session and returns once it has been executed.
// Throws EStartProcessError "Cannot start "PROGRAM". Error N: text" when it cannot be run.
void StartDetached(const std::string& program, const std::vector<std::string>& args);

}  // namespace tellvane
