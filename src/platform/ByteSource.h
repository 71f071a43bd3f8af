#pragma once
// Bytes read by offset, from a file or from memory: the parsers take this, so that tests and
// fuzzers reach them without writing files.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/FileSystem.h"

namespace tellvane {

class TByteSource {
public:
    virtual ~TByteSource() = default;
    virtual int64_t Size() const = 0;
    // Reads exactly COUNT bytes at OFFSET; throws EFileError "Stream read error" when fewer exist.
    virtual void ReadAt(int64_t offset, void* buffer, size_t count) const = 0;
};

// Bytes already in memory; they must outlive the source.
class TMemorySource final : public TByteSource {
public:
    explicit TMemorySource(std::string_view bytes) : bytes_(bytes) {}
    int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
    void ReadAt(int64_t offset, void* buffer, size_t count) const override {
        const auto start = static_cast<size_t>(offset);
        if (offset < 0 || start > bytes_.size() || count > bytes_.size() - start) throw EFileError("Stream read error");
        if (count > 0) std::memcpy(buffer, bytes_.data() + start, count);
    }

private:
    std::string_view bytes_;
};

}  // namespace tellvane
