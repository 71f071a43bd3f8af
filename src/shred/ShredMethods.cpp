#include "shred/ShredMethods.h"

#include <initializer_list>

namespace tellvane {

namespace {

// Pass notation: Hex({..}) a fixed byte or pattern; R a fresh random byte 0..254 per position;
// C one random byte 0..254 for the whole pass, drawn when the list is built; I the complement of
// what the previous pass left.
std::unique_ptr<TCharGenerator> Hex(std::initializer_list<uint8_t> pattern) {
    auto it = pattern.begin();
    auto generator = std::make_unique<THexGenerator>(*it);
    for (++it; it != pattern.end(); ++it) generator->AddChar(*it);
    return generator;
}
std::unique_ptr<TCharGenerator> R() { return std::make_unique<TRandomGenerator>(0, 255); }
std::unique_ptr<TCharGenerator> C() { return std::make_unique<TRandomCharGenerator>(0, 255); }
std::unique_ptr<TCharGenerator> I() { return std::make_unique<TInvertGenerator>(); }

// The list is built in pass order, so the constant random bytes are drawn in that order too.
TPassList Passes(std::initializer_list<std::unique_ptr<TCharGenerator> (*)()> makers) {
    TPassList list;
    for (auto make : makers) list.push_back(make());
    return list;
}

void AddDoDPasses(TPassList& list) {
    for (auto make : {C, I, R, C, C, I, R}) list.push_back(make());
}

}  // namespace

void TZeroPass::Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
                      const TProgressOperationCallback& onProgress) {
    TPassList passes;
    passes.push_back(Hex({0x00}));
    ExecutePasses(fileName, std::move(passes), onHalt, onProgress);
}
std::string TZeroPass::DisplayName() const { return "Quick shred by filling with zero's"; }

void TRandPass::Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
                      const TProgressOperationCallback& onProgress) {
    ExecutePasses(fileName, Passes({R}), onHalt, onProgress);
}
std::string TRandPass::DisplayName() const { return "Fast shred, space filled by random characters"; }

void TAntiSoftRecover::Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
                             const TProgressOperationCallback& onProgress) {
    TPassList passes = Passes({C});
    passes.push_back(Hex({0x00}));
    ExecutePasses(fileName, std::move(passes), onHalt, onProgress);
}
std::string TAntiSoftRecover::DisplayName() const { return "Anti-software recovery tools"; }

void TNAVSOMF::Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
                     const TProgressOperationCallback& onProgress) {
    TPassList passes;
    passes.push_back(Hex({0xFF}));
    passes.push_back(Hex({0xFF, 0xFF, 0xFF, 0xFD}));
    passes.push_back(R());
    ExecutePasses(fileName, std::move(passes), onHalt, onProgress);
}
std::string TNAVSOMF::DisplayName() const { return "NAVSO P-5239-26"; }

void TNAVSORL::Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
                     const TProgressOperationCallback& onProgress) {
    TPassList passes;
    passes.push_back(R());
    passes.push_back(Hex({0xFF, 0xFF, 0xFF, 0xE4}));
    passes.push_back(R());
    ExecutePasses(fileName, std::move(passes), onHalt, onProgress);
}
std::string TNAVSORL::DisplayName() const { return "NAVSO P-5239-26 with RLL encoding scheme"; }

void TVSITR::Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
                   const TProgressOperationCallback& onProgress) {
    TPassList passes;
    for (uint8_t b : {0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xAA}) passes.push_back(Hex({b}));
    ExecutePasses(fileName, std::move(passes), onHalt, onProgress);
}
std::string TVSITR::DisplayName() const { return "German VSITR algorithm"; }

void TGOST::Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
                  const TProgressOperationCallback& onProgress) {
    TPassList passes = Passes({R, R, R});
    for (int k = 0; k < 3; ++k) passes.push_back(Hex({0x00}));
    ExecutePasses(fileName, std::move(passes), onHalt, onProgress);
}
std::string TGOST::DisplayName() const { return "Russian military standards GOST P50739-95"; }

void TSchneier::Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
                      const TProgressOperationCallback& onProgress) {
    TPassList passes = Passes({R});
    passes.push_back(Hex({0x00}));
    for (int k = 0; k < 5; ++k) passes.push_back(R());
    ExecutePasses(fileName, std::move(passes), onHalt, onProgress);
}
std::string TSchneier::DisplayName() const { return "B. Schneier's algorithm"; }

void TDOD::Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
                 const TProgressOperationCallback& onProgress) {
    TPassList passes;
    AddDoDPasses(passes);
    ExecutePasses(fileName, std::move(passes), onHalt, onProgress);
}
std::string TDOD::DisplayName() const { return "DOD 5220.22-M"; }

void TBEYNDDOD::Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
                      const TProgressOperationCallback& onProgress) {
    TPassList passes = Passes({C, C, C});
    AddDoDPasses(passes);
    for (int k = 0; k < 3; ++k) passes.push_back(C());
    ExecutePasses(fileName, std::move(passes), onHalt, onProgress);
}
std::string TBEYNDDOD::DisplayName() const { return "3+7+3 Beyond DoD Standards"; }

void TGUTMANN::Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
                     const TProgressOperationCallback& onProgress) {
    TPassList passes = Passes({R, R, R, R});
    passes.push_back(Hex({0x55}));
    passes.push_back(Hex({0xAA}));
    passes.push_back(Hex({0x92, 0x49, 0x24}));
    passes.push_back(Hex({0x49, 0x24, 0x92}));
    passes.push_back(Hex({0x24, 0x92, 0x49}));
    for (int k = 0; k < 16; ++k) passes.push_back(Hex({static_cast<uint8_t>(0x11 * k)}));
    passes.push_back(Hex({0x92, 0x49, 0x24}));
    passes.push_back(Hex({0x49, 0x24, 0x92}));
    passes.push_back(Hex({0x24, 0x92, 0x49}));
    passes.push_back(Hex({0x6D, 0xB6, 0xDB}));
    passes.push_back(Hex({0xB6, 0xDB, 0x6D}));
    passes.push_back(Hex({0xDB, 0x6D, 0xB6}));
    for (int k = 0; k < 4; ++k) passes.push_back(R());
    ExecutePasses(fileName, std::move(passes), onHalt, onProgress);
}
std::string TGUTMANN::DisplayName() const { return "Guttman algorithm"; }

}  // namespace tellvane
