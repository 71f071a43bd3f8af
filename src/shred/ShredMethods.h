#pragma once
// The eleven wiping methods. Each builds its pass list afresh for every file and hands it to the
// pass driver; none holds state, so one instance serves every file.
#include "shred/ShredAlgorithms.h"

namespace tellvane {

class TZeroPass final : public TShredAlgorithm {
public:
    void Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
               const TProgressOperationCallback& onProgress) override;
    std::string ClassName() const override { return "TZeroPass"; }
    std::string DisplayName() const override;
};

class TRandPass final : public TShredAlgorithm {
public:
    void Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
               const TProgressOperationCallback& onProgress) override;
    std::string ClassName() const override { return "TRandPass"; }
    std::string DisplayName() const override;
};

class TAntiSoftRecover final : public TShredAlgorithm {
public:
    void Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
               const TProgressOperationCallback& onProgress) override;
    std::string ClassName() const override { return "TAntiSoftRecover"; }
    std::string DisplayName() const override;
};

class TNAVSOMF final : public TShredAlgorithm {
public:
    void Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
               const TProgressOperationCallback& onProgress) override;
    std::string ClassName() const override { return "TNAVSOMF"; }
    std::string DisplayName() const override;
};

class TNAVSORL final : public TShredAlgorithm {
public:
    void Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
               const TProgressOperationCallback& onProgress) override;
    std::string ClassName() const override { return "TNAVSORL"; }
    std::string DisplayName() const override;
};

class TVSITR final : public TShredAlgorithm {
public:
    void Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
               const TProgressOperationCallback& onProgress) override;
    std::string ClassName() const override { return "TVSITR"; }
    std::string DisplayName() const override;
};

class TGOST final : public TShredAlgorithm {
public:
    void Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
               const TProgressOperationCallback& onProgress) override;
    std::string ClassName() const override { return "TGOST"; }
    std::string DisplayName() const override;
};

class TSchneier final : public TShredAlgorithm {
public:
    void Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
               const TProgressOperationCallback& onProgress) override;
    std::string ClassName() const override { return "TSchneier"; }
    std::string DisplayName() const override;
};

class TDOD final : public TShredAlgorithm {
public:
    void Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
               const TProgressOperationCallback& onProgress) override;
    std::string ClassName() const override { return "TDOD"; }
    std::string DisplayName() const override;
};

class TBEYNDDOD final : public TShredAlgorithm {
public:
    void Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
               const TProgressOperationCallback& onProgress) override;
    std::string ClassName() const override { return "TBEYNDDOD"; }
    std::string DisplayName() const override;
};

class TGUTMANN final : public TShredAlgorithm {
public:
    void Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
               const TProgressOperationCallback& onProgress) override;
    std::string ClassName() const override { return "TGUTMANN"; }
    std::string DisplayName() const override;
};

}  // namespace tellvane
