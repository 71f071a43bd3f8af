#pragma once
// The fuzz targets, one per parser. Each libFuzzer program calls its own; the ordinary test suite
// replays the seed corpora and the malformed-file kit through all of them.
#include <cstddef>
#include <cstdint>

namespace tellvane::fuzz {

int EncHeader(const uint8_t* data, size_t size);
int EncDecrypt(const uint8_t* data, size_t size);
int Base64(const uint8_t* data, size_t size);
int LanguageFile(const uint8_t* data, size_t size);
int TextLines(const uint8_t* data, size_t size);
int Ini(const uint8_t* data, size_t size);
int ThunarActions(const uint8_t* data, size_t size);
int Mounts(const uint8_t* data, size_t size);

struct TFuzzTarget {
    const char* name;  // the folder of its corpus and the program fuzz_NAME
    int (*run)(const uint8_t* data, size_t size);
};

inline constexpr TFuzzTarget FuzzTargets[] = {
    {"enc_header", EncHeader},
    {"enc_decrypt", EncDecrypt},
    {"base64", Base64},
    {"language_file", LanguageFile},
    {"text_lines", TextLines},
    {"ini", Ini},
    {"thunar_actions", ThunarActions},
    {"mounts", Mounts}};

}  // namespace tellvane::fuzz
