#pragma once
// The language of the user's locale as a Windows language identifier, the number the language
// files and the "LanguageID" option use.
#include <cstdint>
#include <string>

namespace tellvane {

// "de_DE.UTF-8" -> 1031, "fr" -> 1036, "pt_BR" -> 1046; 0 for "C", "POSIX", "" and languages we
// do not know. A region the table does not name takes the language's default sublanguage.
uint16_t LanguageIdOfLocaleName(const std::string& locale);
// The language of the messages locale: the first of LC_ALL, LC_MESSAGES, LANG that is set and
// not empty; 0 when none is or its language is unknown.
uint16_t LocaleLanguageId();

}  // namespace tellvane
