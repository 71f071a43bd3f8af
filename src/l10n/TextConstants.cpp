#include "l10n/TextConstants.h"

#include <algorithm>
#include <mutex>

#include "l10n/BuiltinConstants.h"
#include "platform/CodePage.h"
#include "platform/TextFormat.h"

namespace tellvane {

int CompareConstantNames(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

TQuenLanguageManager::TQuenLanguageManager() : codePage_(AnsiCodePageOfLanguage(1033)) {
    for (const auto& c : BuiltinConstants()) constants_.push_back({c.name, c.text, c.text});
    std::sort(constants_.begin(), constants_.end(), [](const auto& x, const auto& y) {
        return CompareConstantNames(x.wsName, y.wsName) < 0;
    });
}

int TQuenLanguageManager::FindConstant(const std::string& name) const {
    auto it = std::lower_bound(constants_.begin(), constants_.end(), name, [](const auto& c, const std::string& n) {
        return CompareConstantNames(c.wsName, n) < 0;
    });
    if (it == constants_.end() || CompareConstantNames(it->wsName, name) != 0) return -1;
    return static_cast<int>(it - constants_.begin());
}

std::string TQuenLanguageManager::GetConstantValue(const std::string& name) const {
    std::shared_lock<std::shared_mutex> guard(sync_);
    int i = FindConstant(name);
    if (i < 0) throw EQuenLangError(Format("Constant \"%s\" not found", {name}));
    return constants_[static_cast<size_t>(i)].wsValue;
}

void TQuenLanguageManager::SetConstantValue(const std::string& name, const std::string& value) {
    std::unique_lock<std::shared_mutex> guard(sync_);
    int i = FindConstant(name);
    if (i < 0) throw EQuenLangError(Format("Constant \"%s\" not found", {name}));
    constants_[static_cast<size_t>(i)].wsValue = value;
}

void TQuenLanguageManager::ResetToDefaults() {
    std::unique_lock<std::shared_mutex> guard(sync_);
    for (auto& c : constants_) c.wsValue = c.wsDefValue;
}

uint16_t TQuenLanguageManager::LanguageID() const {
    std::shared_lock<std::shared_mutex> guard(sync_);
    return languageId_;
}

uint32_t TQuenLanguageManager::CodePage() const {
    std::shared_lock<std::shared_mutex> guard(sync_);
    return codePage_;
}

TQuenLanguageManager& LangManager() {
    static TQuenLanguageManager manager;
    return manager;
}

std::string GetConstantValue(const std::string& name) { return LangManager().GetConstantValue(name); }

}  // namespace tellvane
