#pragma once
// Byte generators: one per wiping pass. For every byte position the pass hands the generator the
// byte the file holds there and writes back what it returns.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tellvane {

class TCharGenerator {
public:
    virtual ~TCharGenerator() = default;
    // The byte to write in place of INPUT.
    virtual uint8_t Generate(uint8_t input) = 0;
    // Replaces each of the SIZE bytes of DATA, in order, by Generate(byte): the same bytes and the
    // same generator state afterwards, in one call per chunk instead of one per byte.
    virtual void GenerateBlock(uint8_t* data, size_t size);
    // False when Generate ignores its input, so the pass need not read the file first.
    virtual bool ReadsInput() const { return true; }
};

// A fixed pattern, repeated cyclically; the input is ignored.
class THexGenerator : public TCharGenerator {
public:
    explicit THexGenerator(uint8_t aChar);
    void AddChar(uint8_t aChar);
    uint8_t Generate(uint8_t input) override;
    void GenerateBlock(uint8_t* data, size_t size) override;
    bool ReadsInput() const override { return false; }

    const std::vector<uint8_t>& Chars() const { return Chars_; }
    int Index() const { return Index_; }
    int Size() const { return Size_; }

private:
    std::vector<uint8_t> Chars_;
    int Index_ = 0;  // position in Chars_ of the next byte to return
    int Size_ = 0;   // number of bytes in Chars_
};

// The bitwise complement of the byte found in the file.
class TInvertGenerator : public TCharGenerator {
public:
    uint8_t Generate(uint8_t input) override;
    void GenerateBlock(uint8_t* data, size_t size) override;
};

// One byte KISSRandomBelow(RightBound), drawn at construction, returned at every call.
// LeftBound is kept but never read: every draw lies in 0 .. RightBound - 1.
class TRandomCharGenerator : public TCharGenerator {
public:
    // Throws std::invalid_argument for a right bound of 0 (no byte lies below it).
    TRandomCharGenerator(uint8_t aLeftBound, uint8_t aRightBound);
    uint8_t Generate(uint8_t input) override;
    void GenerateBlock(uint8_t* data, size_t size) override;
    bool ReadsInput() const override { return false; }

    uint8_t LeftBound() const { return LeftBound_; }
    uint8_t RightBound() const { return RightBound_; }
    uint8_t Char() const { return Char_; }

private:
    uint8_t LeftBound_;
    uint8_t RightBound_;
    uint8_t Char_;
};

// A fresh KISSRandomBelow(RightBound) at every call; with the bounds (0, 255) never 255.
class TRandomGenerator : public TCharGenerator {
public:
    // Throws std::invalid_argument for a right bound of 0.
    TRandomGenerator(uint8_t aLeftBound, uint8_t aRightBound);
    uint8_t Generate(uint8_t input) override;
    void GenerateBlock(uint8_t* data, size_t size) override;
    bool ReadsInput() const override { return false; }

    uint8_t LeftBound() const { return LeftBound_; }
    uint8_t RightBound() const { return RightBound_; }

private:
    uint8_t LeftBound_;
    uint8_t RightBound_;
};

}  // namespace tellvane
