#include "platform/CodePage.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <map>

#include "platform/SecureWipe.h"

namespace tellvane {
namespace {

std::string IconvName(uint32_t codePage) {
    switch (codePage) {
        case 65001: return "UTF-8";
        case 936: return "GBK";
        case 950: return "BIG5";
        case 949: return "CP949";
        case 932: return "CP932";
        default: return "CP" + std::to_string(codePage);
    }
}

class Converter {
public:
    Converter(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts IN; at an input sequence it cannot take, writes REPLACEMENT and skips SKIP bytes.
    std::string Run(std::string_view in, const std::string& replacement, size_t skip) {
        // Room for the longest result up front (three bytes of UTF-8 for each input byte at
        // most), so that the result never leaves an outgrown copy behind.
        std::string out;
        out.reserve(in.size() * 3 + 16);
        TWipedArray<char, 4096> wiped;
        char* const buf = wiped.data;
        constexpr size_t bufSize = wiped.size();
        char* src = const_cast<char*>(in.data());
        size_t left = in.size();
        while (left > 0) {
            char* dst = buf;
            size_t room = bufSize;
            size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buf, static_cast<size_t>(dst - buf));
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG) continue;
                // EILSEQ or EINVAL: unconvertible or incomplete input.
                out += replacement;
                size_t n = std::min(SequenceLength(src, left, skip), left);
                src += n;
                left -= n;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        char* dst = buf;
        size_t room = bufSize;
        iconv(cd_, nullptr, nullptr, &dst, &room);
        out.append(buf, static_cast<size_t>(dst - buf));
        return out;
    }

private:
    static size_t SequenceLength(const char* p, size_t left, size_t skip) {
        if (skip != 0) return skip;
        // Skip one whole UTF-8 sequence.
        unsigned char c = static_cast<unsigned char>(p[0]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        for (size_t i = 1; i < n; ++i)
            if (i >= left || (static_cast<unsigned char>(p[i]) & 0xC0) != 0x80) return i;
        return n;
    }
    iconv_t cd_;
};

uint32_t CodePageOfLanguageCode(const std::string& locale) {
    std::string lang = locale.substr(0, locale.find_first_of("_.@"));
    std::string region;
    auto us = locale.find('_');
    if (us != std::string::npos) region = locale.substr(us + 1, 2);
    static const std::map<std::string, uint32_t> table = {
        {"cs", 1250}, {"pl", 1250}, {"hu", 1250}, {"sk", 1250}, {"sl", 1250}, {"hr", 1250}, {"ro", 1250},
        {"sq", 1250}, {"bs", 1250}, {"ru", 1251}, {"uk", 1251}, {"be", 1251}, {"bg", 1251}, {"mk", 1251},
        {"sr", 1251}, {"kk", 1251}, {"el", 1253}, {"tr", 1254}, {"az", 1254}, {"he", 1255}, {"ar", 1256},
        {"fa", 1256}, {"ur", 1256}, {"et", 1257}, {"lv", 1257}, {"lt", 1257}, {"vi", 1258}, {"th", 874},
        {"ja", 932},  {"ko", 949},
    };
    if (lang == "zh") return (region == "TW" || region == "HK" || region == "MO") ? 950 : 936;
    auto it = table.find(lang);
    return it == table.end() ? 1252 : it->second;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at I; returns U+FFFD and advances one byte for a bad one.
uint32_t DecodeUtf8(std::string_view s, size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    uint32_t cp;
    size_t n;
    if (c < 0x80) { ++i; return c; }
    if ((c >> 5) == 6) { cp = c & 0x1F; n = 2; }
    else if ((c >> 4) == 14) { cp = c & 0x0F; n = 3; }
    else if ((c >> 3) == 30) { cp = c & 0x07; n = 4; }
    else { ++i; return 0xFFFD; }
    if (i + n > s.size()) { ++i; return 0xFFFD; }
    for (size_t k = 1; k < n; ++k) {
        unsigned char cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) { ++i; return 0xFFFD; }
        cp = (cp << 6) | (cc & 0x3F);
    }
    static const uint32_t minimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { ++i; return 0xFFFD; }
    i += n;
    return cp;
}

}  // namespace

uint32_t SystemAnsiCodePage() {
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v) {
            std::string s = v;
            if (s == "C" || s == "POSIX" || s.rfind("C.", 0) == 0) return 1252;
            return CodePageOfLanguageCode(s);
        }
    }
    return 1252;
}

uint32_t AnsiCodePageOfLanguage(uint16_t languageId) {
    const uint16_t primary = languageId & 0x3FF;
    switch (primary) {
        case 0x05: case 0x15: case 0x0E: case 0x1B: case 0x24: case 0x18: case 0x1C: return 1250;
        case 0x1A: return (languageId == 0x0C1A || languageId == 0x1C1A) ? 1251 : 1250;  // Serbian Cyrillic
        case 0x19: case 0x22: case 0x23: case 0x02: case 0x2F: case 0x3F: return 1251;
        case 0x08: return 1253;
        case 0x1F: case 0x2C: return 1254;
        case 0x0D: return 1255;
        case 0x01: case 0x29: case 0x20: return 1256;
        case 0x25: case 0x26: case 0x27: return 1257;
        case 0x2A: return 1258;
        case 0x1E: return 874;
        case 0x11: return 932;
        case 0x12: return 949;
        case 0x04: return (languageId == 0x0404 || languageId == 0x0C04 || languageId == 0x1404) ? 950 : 936;
        default: return 1252;
    }
}

std::string Utf8ToCodePage(std::string_view text, uint32_t codePage) {
    if (codePage == 65001) return SanitizeUtf8(text);
    Converter conv(IconvName(codePage), "UTF-8");
    if (!conv.ok()) return std::string(text);
    return conv.Run(text, "?", 0);
}

bool RepresentableInCodePage(std::string_view text, uint32_t codePage) {
    std::string there = Utf8ToCodePage(text, codePage);
    std::string back = CodePageToUtf8(there, codePage);
    const bool same = back == text;
    WipeString(there);
    WipeString(back);
    return same;
}

std::string CodePageToUtf8(std::string_view bytes, uint32_t codePage) {
    if (codePage == 65001) return SanitizeUtf8(bytes);
    Converter conv("UTF-8", IconvName(codePage));
    if (!conv.ok()) return SanitizeUtf8(bytes);
    return conv.Run(bytes, "\xEF\xBF\xBD", 1);
}

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size() * 3);  // never outgrown: no unwiped copy left behind
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::string Utf16BytesToUtf8(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto lo = static_cast<unsigned char>(bytes[i + (bigEndian ? 1 : 0)]);
        auto hi = static_cast<unsigned char>(bytes[i + (bigEndian ? 0 : 1)]);
        units += static_cast<char16_t>(lo | (hi << 8));
    }
    std::string text = Utf16ToUtf8(units);
    WipeBytes(units.data(), units.size() * sizeof(char16_t));
    return text;
}

std::u16string Utf8ToUtf16(const std::string& text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        uint32_t cp = DecodeUtf8(text, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string SanitizeUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3);  // a bad byte becomes three: never outgrown
    for (size_t i = 0; i < bytes.size();) AppendUtf8(out, DecodeUtf8(bytes, i));
    return out;
}

}  // namespace tellvane
