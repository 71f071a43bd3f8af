#pragma once
// Text for pass phrases and main passwords. It owns its buffer privately, so no inherited or
// outside operation can grow or free it behind its back: every buffer it lets go of, when it grows,
// is assigned to or ends, is wiped first.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/SecureWipe.h"

namespace tellvane {

template <class Allocator = std::allocator<char>>
class TBasicSecretString {
    using Traits = std::allocator_traits<Allocator>;

public:
    // Room taken up front, so that a typed pass phrase seldom has to grow at all.
    static constexpr size_t ReservedBytes = 256;

    TBasicSecretString() { Reserve(ReservedBytes); }
    TBasicSecretString(std::string_view text) : TBasicSecretString() { append(text); }
    TBasicSecretString(const char* text) : TBasicSecretString(std::string_view(text)) {}
    TBasicSecretString(const std::string& text) : TBasicSecretString(std::string_view(text)) {}
    // A std::string handed over is copied and wiped: its buffer is not ours to keep or free.
    TBasicSecretString(std::string&& text) : TBasicSecretString(std::string_view(text)) { WipeString(text); }
    TBasicSecretString(const TBasicSecretString& other) : TBasicSecretString(other.view()) {}
    TBasicSecretString(TBasicSecretString&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)),
          size_(std::exchange(other.size_, 0)),
          capacity_(std::exchange(other.capacity_, 0)) {}
    ~TBasicSecretString() { Release(); }

    TBasicSecretString& operator=(const TBasicSecretString& other) {
        if (this != &other) assign(other.view());
        return *this;
    }
    TBasicSecretString& operator=(TBasicSecretString&& other) noexcept {
        if (this != &other) {
            Release();
            data_ = std::exchange(other.data_, nullptr);
            size_ = std::exchange(other.size_, 0);
            capacity_ = std::exchange(other.capacity_, 0);
        }
        return *this;
    }
    TBasicSecretString& operator=(std::string_view text) { return assign(text); }
    TBasicSecretString& operator=(const char* text) { return assign(text); }
    TBasicSecretString& operator=(const std::string& text) { return assign(text); }
    TBasicSecretString& operator=(std::string&& text) {
        assign(text);
        WipeString(text);
        return *this;
    }

    TBasicSecretString& assign(std::string_view text) {
        clear();
        return append(text);
    }
    TBasicSecretString& append(std::string_view text) {
        Reserve(size_ + text.size());
        if (!text.empty()) std::memmove(data_ + size_, text.data(), text.size());
        size_ += text.size();
        data_[size_] = '\0';
        return *this;
    }
    TBasicSecretString& operator+=(std::string_view text) { return append(text); }
    TBasicSecretString& operator+=(char c) {
        push_back(c);
        return *this;
    }
    void push_back(char c) { append(std::string_view(&c, 1)); }
    void pop_back() { data_[--size_] = '\0'; }
    char back() const { return data_[size_ - 1]; }
    // Empties the text and wipes what it held; the buffer stays for the next text.
    void clear() {
        if (data_) WipeBytes(data_, capacity_ + 1);
        size_ = 0;
    }

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    size_t capacity() const { return capacity_; }
    const char* data() const { return data_ ? data_ : ""; }
    const char* c_str() const { return data(); }
    std::string_view view() const { return {data(), size_}; }
    operator std::string_view() const { return view(); }

    friend bool operator==(const TBasicSecretString& a, std::string_view b) { return a.view() == b; }

private:
    // Grows to hold NEEDED bytes and a terminating zero; the outgrown buffer is wiped, then freed.
    void Reserve(size_t needed) {
        if (data_ && needed <= capacity_) return;
        const size_t capacity = std::max({needed, capacity_ * 2, ReservedBytes});
        char* grown = Traits::allocate(allocator_, capacity + 1);
        if (data_) std::memcpy(grown, data_, size_);
        grown[size_] = '\0';
        Release();
        data_ = grown;
        capacity_ = capacity;
    }
    void Release() noexcept {
        if (!data_) return;
        WipeBytes(data_, capacity_ + 1);
        Traits::deallocate(allocator_, data_, capacity_ + 1);
        data_ = nullptr;
        capacity_ = 0;
    }

    [[no_unique_address]] Allocator allocator_{};
    char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

using TSecretString = TBasicSecretString<>;

}  // namespace tellvane
