#include "platform/LocaleLanguage.h"

#include <cstdlib>
#include <map>

namespace tellvane {

uint16_t LanguageIdOfLocaleName(const std::string& locale) {
    const std::string lang = locale.substr(0, locale.find_first_of("_.@"));
    std::string region;
    if (auto us = locale.find('_'); us != std::string::npos) region = locale.substr(us + 1, 2);
    // Primary language identifiers of the Windows language table.
    static const std::map<std::string, uint16_t> primary = {
        {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06}, {"de", 0x07},
        {"el", 0x08}, {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C}, {"he", 0x0D}, {"hu", 0x0E},
        {"is", 0x0F}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12}, {"nl", 0x13}, {"nb", 0x14}, {"no", 0x14},
        {"nn", 0x14}, {"pl", 0x15}, {"pt", 0x16}, {"ro", 0x18}, {"ru", 0x19}, {"hr", 0x1A}, {"sr", 0x1A},
        {"sk", 0x1B}, {"sq", 0x1C}, {"sv", 0x1D}, {"th", 0x1E}, {"tr", 0x1F}, {"ur", 0x20}, {"id", 0x21},
        {"uk", 0x22}, {"be", 0x23}, {"sl", 0x24}, {"et", 0x25}, {"lv", 0x26}, {"lt", 0x27}, {"fa", 0x29},
        {"vi", 0x2A}, {"hy", 0x2B}, {"az", 0x2C}, {"eu", 0x2D}, {"mk", 0x2F}, {"af", 0x36}, {"ka", 0x37},
        {"hi", 0x39}, {"ms", 0x3E}, {"kk", 0x3F},
    };
    // Regions whose sublanguage is not the default one (SUBLANG_DEFAULT = 1).
    static const std::map<std::string, uint16_t> sublanguage = {
        {"zh_TW", 0x01}, {"zh_CN", 0x02}, {"zh_HK", 0x03}, {"zh_SG", 0x04}, {"de_CH", 0x02}, {"de_AT", 0x03},
        {"de_LU", 0x04}, {"en_GB", 0x02}, {"en_AU", 0x03}, {"en_CA", 0x04}, {"en_NZ", 0x05}, {"en_IE", 0x06},
        {"es_MX", 0x02}, {"es_ES", 0x03}, {"fr_BE", 0x02}, {"fr_CA", 0x03}, {"fr_CH", 0x04}, {"it_CH", 0x02},
        {"nl_BE", 0x02}, {"nn_NO", 0x02}, {"pt_PT", 0x02}, {"sv_FI", 0x02}, {"sr_RS", 0x03},
    };
    auto p = primary.find(lang);
    if (p == primary.end()) return 0;
    uint16_t sub = 1;
    if (auto s = sublanguage.find(lang + "_" + region); s != sublanguage.end()) sub = s->second;
    return static_cast<uint16_t>((sub << 10) | p->second);
}

uint16_t LocaleLanguageId() {
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v) return LanguageIdOfLocaleName(v);
    }
    return 0;
}

}  // namespace tellvane
