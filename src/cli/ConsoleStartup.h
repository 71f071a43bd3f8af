#pragma once
// Start-up and shutdown for a console command: the program's steps that a console needs.

namespace tellvane::cli {

// Brings the program up for a console command: folders, log, language, the registries and the
// hidden-items store (not the windows' pictures, not the shell switches). Throws on failure.
void InitializeConsole(int argc, const char* const* argv);
// Only the steps that choose the language (folders, then language), for the texts a command
// prints before the program is up (help, usage errors). InitializeConsole does not repeat them.
void InitializeConsoleLanguage(int argc, const char* const* argv);
// The matching shutdown (saves the hidden-items store).
void FinalizeConsole();

}  // namespace tellvane::cli
