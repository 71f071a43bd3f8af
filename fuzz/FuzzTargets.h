#pragma once
// The fuzz targets, one per parser. Each libFuzzer program calls its own; the ordinary test suite
// replays the seed corpora and the malformed-file kit through all of them.
#include <cstddef>
#include <cstdint>
#include <string>

namespace tellvane::fuzz {

int EncHeader(const uint8_t* data, size_t size);
int EncDecrypt(const uint8_t* data, size_t size);
int Base64(const uint8_t* data, size_t size);
int LanguageFile(const uint8_t* data, size_t size);
int TextLines(const uint8_t* data, size_t size);
int Ini(const uint8_t* data, size_t size);
int ThunarActions(const uint8_t* data, size_t size);
int Mounts(const uint8_t* data, size_t size);
int C2pDecrypt(const uint8_t* data, size_t size);

// What the program makes of an input, in one line, for the malformed-file kit's expected outcomes:
// "refused: MESSAGE" or "accepted: WHAT IT READ".
std::string EncHeaderOutcome(const uint8_t* data, size_t size);
std::string EncDecryptOutcome(const uint8_t* data, size_t size);
std::string IniOutcome(const uint8_t* data, size_t size);
std::string ThunarActionsOutcome(const uint8_t* data, size_t size);
std::string C2pDecryptOutcome(const uint8_t* data, size_t size);

struct TFuzzTarget {
    const char* name;  // the folder of its corpus and the program fuzz_NAME
    int (*run)(const uint8_t* data, size_t size);
    // Null for a target whose inputs have no kit of their own.
    std::string (*outcome)(const uint8_t* data, size_t size) = nullptr;
};

inline constexpr TFuzzTarget FuzzTargets[] = {
    {"enc_header", EncHeader, EncHeaderOutcome},
    {"enc_decrypt", EncDecrypt, EncDecryptOutcome},
    {"base64", Base64},
    {"language_file", LanguageFile},
    {"text_lines", TextLines},
    {"ini", Ini, IniOutcome},
    {"thunar_actions", ThunarActions, ThunarActionsOutcome},
    {"mounts", Mounts},
    {"c2p_decrypt", C2pDecrypt, C2pDecryptOutcome}};

}  // namespace tellvane::fuzz
