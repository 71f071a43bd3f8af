#include "FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/AppFolders.h"
#include "platform/FileSystem.h"

namespace tellvane::fuzz {
namespace fs = std::filesystem;

namespace {

std::string MakeScratch() {
    // Memory-backed when possible: many targets write a file per input.
    std::string base = "/dev/shm";
    if (const char* t = std::getenv("TMPDIR"); t && *t) base = t;
    if (!fs::is_directory(base)) base = "/tmp";
    std::string pattern = base + "/tellvane-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a scratch folder");
    const std::string folder = pattern + "/";
    fs::create_directories(folder + "app");
    fs::create_directories(folder + "data");
    SetAppFolder(folder + "app");
    SetDataFolder(folder + "data");
    // Kept for the exit handler, which runs after the function's statics are gone.
    static const std::string* root = new std::string(folder);
    std::atexit([] {
        std::error_code ec;
        fs::remove_all(*root, ec);
    });
    return folder + "work/";
}

}  // namespace

const std::string& ScratchFolder() {
    static const std::string folder = [] {
        std::string f = MakeScratch();
        fs::create_directories(f);
        return f;
    }();
    return folder;
}

std::string Printable(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            out += c;
        } else {
            out += "\\x";
            out += digits[b >> 4];
            out += digits[b & 15];
        }
    }
    return out;
}

std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = ScratchFolder() + name;
    WriteFile(path, std::string(reinterpret_cast<const char*>(data), size));
    return path;
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out.flush()) Fail("cannot write a scratch file");
}

std::string ScratchFilesExcept(const std::string& keep) {
    std::string names;
    for (const auto& e : fs::directory_iterator(ScratchFolder()))
        if (e.path().filename() != keep) names += e.path().filename().string() + " ";
    return names;
}

void ClearScratch(const std::string& keep) {
    for (const auto& e : fs::directory_iterator(ScratchFolder()))
        if (e.path().filename() != keep) fs::remove_all(e.path());
}

uint32_t PickCodePage(uint8_t byte) {
    static const uint32_t pages[] = {1252, 1250, 1251, 1253, 1254, 1255, 1256, 1257,
                                     1258, 874,  932,  936,  949,  950,  65001, 437};
    return pages[byte % (sizeof pages / sizeof pages[0])];
}

void Fail(const char* message) {
    std::fprintf(stderr, "property broken: %s\n", message);
    std::abort();
}

void CheckRestoredOnlyWhenDone(bool done) {
    const std::string left = ScratchFilesExcept("in.enc");
    const size_t files = left.empty() ? 0 : std::count(left.begin(), left.end(), ' ');
    if (files != (done ? 1u : 0u)) Fail(("files left after the run: " + left).c_str());
}

std::string DecryptionOutcome(const std::function<bool()>& decrypt) {
    std::string outcome;
    try {
        if (decrypt()) {
            std::string name = ScratchFilesExcept("in.enc");
            if (!name.empty()) name.pop_back();
            outcome = "accepted: restored \"" + Printable(name) + "\", " +
                      std::to_string(GetFileSize(ScratchFolder() + name)) + " bytes";
        } else {
            outcome = "refused: the pass phrase does not open it";
        }
    } catch (const std::exception& e) {
        outcome = std::string("refused: ") + e.what();
    }
    ClearScratch("");
    // Messages name the file: the scratch folder differs from run to run.
    for (size_t at; (at = outcome.find(ScratchFolder())) != std::string::npos;) outcome.erase(at, ScratchFolder().size());
    return outcome;
}

}  // namespace tellvane::fuzz
