#include "wizard/SourceWipeChoice.h"

#include "base/Options.h"
#include "shred/ShredAlgorithms.h"

namespace tellvane {

namespace {
const char* const kOnKey = "WipeSourceFiles";
const char* const kMethodKey = "WipeSourceMethod";
}  // namespace

TSourceWipeChoice ReadSourceWipeChoice(const TOptions& options) {
    TSourceWipeChoice choice;
    choice.on = options.GetOption(kOnKey, false);
    const int method = options.GetOption(kMethodKey, 0);
    const int count = static_cast<int>(ShredAlgorithmList().size());
    choice.method = method >= 0 && method < count ? method : 0;
    return choice;
}

void WriteSourceWipeChoice(TOptions& options, const TSourceWipeChoice& choice) {
    options.SetOption(kOnKey, choice.on);
    options.SetOption(kMethodKey, choice.method);
}

const TShredAlgorithm* SourceWipeMethod(const TSourceWipeChoice& choice) {
    const auto& list = ShredAlgorithmList();
    if (!choice.on || list.empty()) return nullptr;
    return list.at(static_cast<size_t>(choice.method) < list.size() ? static_cast<size_t>(choice.method) : 0).get();
}

}  // namespace tellvane
