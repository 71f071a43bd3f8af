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
        {"BFS", &Make<TDCP_blowfish>},
        {"CS1", &Make<TDCP_cast128>},
        {"CS2", &Make<TDCP_cast256>},
        {"DES", &Make<TDCP_des>},
        {"3DE", &Make<TDCP_3des>},
        {"ICE", &Make<TDCP_ice>},
        {"TIC", &Make<TDCP_thinice>},
        {"IC2", &Make<TDCP_ice2>},
        {"IDE", &Make<TDCP_idea>},
        {"MAR", &Make<TDCP_mars>},
        {"MI1", &Make<TDCP_misty1>},
        {"RC2", &Make<TDCP_rc2>},
        {"RC5", &Make<TDCP_rc5>},
        {"RC6", &Make<TDCP_rc6>},
        {"RIJ", &Make<TDCP_rijndael>},
        {"SER", &Make<TDCP_serpent>},
        {"TEA", &Make<TDCP_tea>},
        {"TFS", &Make<TDCP_twofish>},
    }};
    return table;
}

std::unique_ptr<TDCP_blockcipher> CreateCipher(std::string_view sign) {
    for (const auto& entry : CipherFactoryTable())
        if (entry.Sign == sign) return entry.Create();
    return nullptr;
}

}  // namespace tellvane
