// The language-file reader: the whole parse, the parameter lines alone, and the escapes of values,
// with the code page picked by the first byte for files without a byte-order mark.
#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "l10n/LanguageFile.h"
#include "l10n/TextConstants.h"

using namespace tellvane;

int tellvane::fuzz::LanguageFile(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint32_t codePage = fuzz::PickCodePage(data[0]);
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto params = ReadLngParams(bytes, codePage);
    LanguageIdOfParams(params);
    try {
        const TQuenLang_CompTranslations t = ParseLanguageFile(bytes, codePage);
        for (const auto& c : t.Components)
            if (t.FindComponent(c.ComponentName) == nullptr) fuzz::Fail("a section that cannot be found");
        for (const auto& [name, value] : t.Params)
            if (t.Param(name).empty()) fuzz::Fail("a parameter that cannot be found");
    } catch (const EQuenLangError&) {
    }
    DecodeLngEscapes(bytes);
    return 0;
}
