#pragma once
// The byte streams a cipher reads from and writes to: a reader that hands back up to n bytes and
// says how many, a writer that takes all n bytes or throws. Files and memory sit behind them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace tellvane {

class TCipherReader {
public:
    virtual ~TCipherReader() = default;
    // Reads up to COUNT bytes into BUFFER; returns how many were read (0 at the end). May throw.
    virtual size_t Read(uint8_t* buffer, size_t count) = 0;
};

class TCipherWriter {
public:
    virtual ~TCipherWriter() = default;
    // Writes all COUNT bytes of BUFFER; throws when it cannot.
    virtual void Write(const uint8_t* buffer, size_t count) = 0;
};

// Reads from a block of memory that outlives the reader.
class TMemoryReader : public TCipherReader {
public:
    TMemoryReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit TMemoryReader(const std::vector<uint8_t>& data) : TMemoryReader(data.data(), data.size()) {}
    size_t Read(uint8_t* buffer, size_t count) override {
        const size_t n = count < size_ - pos_ ? count : size_ - pos_;
        if (n > 0) std::memcpy(buffer, data_ + pos_, n);
        pos_ += n;
        return n;
    }
    size_t Position() const { return pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Appends everything written to a byte vector.
class TMemoryWriter : public TCipherWriter {
public:
    void Write(const uint8_t* buffer, size_t count) override { data_.insert(data_.end(), buffer, buffer + count); }
    const std::vector<uint8_t>& Data() const { return data_; }

private:
    std::vector<uint8_t> data_;
};

}  // namespace tellvane
