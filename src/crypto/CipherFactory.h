#pragma once
// The one table that names every cipher by its three-character signature and its caption, in
// registry order.
#include <array>
#include <memory>
#include <string_view>

#include "crypto/BlockCipher.h"

namespace tellvane {

struct TCipherFactoryEntry {
    std::string_view Sign;                        // e.g. "BFS"; also the key of its description
    std::string_view Caption;                     // its text in the algorithm choice, e.g. "Blowfish"
    std::unique_ptr<TDCP_blockcipher> (*Create)();  // a new, unkeyed instance
};

constexpr size_t CipherCount = 18;

// "BFS" "CS1" "CS2" "DES" "3DE" "ICE" "TIC" "IC2" "IDE" "MAR" "MI1" "RC2" "RC5" "RC6" "RIJ" "SER"
// "TEA" "TFS", in this order.
const std::array<TCipherFactoryEntry, CipherCount>& CipherFactoryTable();

// A new unkeyed cipher for SIGN, or null when no cipher has that signature.
std::unique_ptr<TDCP_blockcipher> CreateCipher(std::string_view sign);

}  // namespace tellvane
