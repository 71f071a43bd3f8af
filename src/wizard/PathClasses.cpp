#include "wizard/PathClasses.h"

#include "wizard/DecryptPath.h"
#include "wizard/EncryptPath.h"
#include "wizard/HidePath.h"
#include "wizard/ShredPath.h"

namespace tellvane {
namespace {

std::vector<TPathClass>& Registry() {
    static std::vector<TPathClass> classes;
    return classes;
}

}  // namespace

void CreatePathClasses() {
    FreePathClasses();
    RegisterPathClass(TEncryptPath::Class());
    RegisterPathClass(TDecryptPath::Class());
    RegisterPathClass(TShredPath::Class());
    RegisterPathClass(THidePath::Class());
}

void FreePathClasses() { Registry().clear(); }

void RegisterPathClass(const TPathClass& pathClass) { Registry().push_back(pathClass); }

const TPathClass* FindPathClass(const std::string& parameter) {
    for (const TPathClass& c : Registry())
        if (c.GetCmdLineParameter() == parameter) return &c;
    return nullptr;
}

const std::vector<TPathClass>& PathClasses() { return Registry(); }

}  // namespace tellvane
