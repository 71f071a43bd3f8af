#include "crypto/CipherFactory.h"

#include "crypto/CipherBlowfish.h"
#include "crypto/CipherCast.h"
#include "crypto/CipherDes.h"
#include "crypto/CipherIce.h"
#include "crypto/CipherIdea.h"
#include "crypto/CipherMars.h"
#include "crypto/CipherMisty1.h"
#include "crypto/CipherRc2.h"
#include "crypto/CipherRc5.h"
#include "crypto/CipherRc6.h"
#include "crypto/CipherRijndael.h"
#include "crypto/CipherSerpent.h"
#include "crypto/CipherTea.h"
#include "crypto/CipherTwofish.h"

namespace tellvane {

namespace {

template <class T>
std::unique_ptr<TDCP_blockcipher> Make() {
    return std::make_unique<T>();
}

}  // namespace

const std::array<TCipherFactoryEntry, CipherCount>& CipherFactoryTable() {
    static const std::array<TCipherFactoryEntry, CipherCount> table = {{
        {"BFS", "Blowfish", &Make<TDCP_blowfish>},
        {"CS1", "CAST-128", &Make<TDCP_cast128>},
        {"CS2", "CAST-256", &Make<TDCP_cast256>},
        {"DES", "DES", &Make<TDCP_des>},
        {"3DE", "3DES", &Make<TDCP_3des>},
        {"ICE", "ICE", &Make<TDCP_ice>},
        {"TIC", "Thin ICE", &Make<TDCP_thinice>},
        {"IC2", "ICE2", &Make<TDCP_ice2>},
        {"IDE", "IDEA", &Make<TDCP_idea>},
        {"MAR", "MARS", &Make<TDCP_mars>},
        {"MI1", "MISTY 1", &Make<TDCP_misty1>},
        {"RC2", "RC2", &Make<TDCP_rc2>},
        {"RC5", "RC5", &Make<TDCP_rc5>},
        {"RC6", "RC6", &Make<TDCP_rc6>},
        {"RIJ", "RIJNDAEL", &Make<TDCP_rijndael>},
        {"SER", "Serpent", &Make<TDCP_serpent>},
        {"TEA", "TEA", &Make<TDCP_tea>},
        {"TFS", "TWOFISH", &Make<TDCP_twofish>},
    }};
    return table;
}

std::unique_ptr<TDCP_blockcipher> CreateCipher(std::string_view sign) {
    for (const auto& entry : CipherFactoryTable())
        if (entry.Sign == sign) return entry.Create();
    return nullptr;
}

}  // namespace tellvane
