#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sim/wire.h"

// Test-side requests for the model, written byte by byte so the model's
// reader is checked against an independent writer.
namespace simtest {

inline void PutU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t value) {
    out[at] = static_cast<std::uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

struct TestRequest {
    std::uint16_t opcode = sim::op::kDiscover;
    sim::SessionBytes session{1, 2, 3, 4, 5, 6, 7, 8};
    sim::DeviceId deviceId{};
    std::string user = "admin";
    std::string password;
    std::vector<std::pair<std::int16_t, std::string>> records;
};

inline std::vector<std::uint8_t> BuildRequest(const TestRequest& req) {
    std::vector<std::uint8_t> out(sim::kHeaderSize, 0);
    out[0] = 0xAA;
    out[1] = 0x55;
    PutU16(out, 2, req.opcode);
    for (std::size_t i = 0; i < 8; ++i)
        out[8 + i] = req.session[i];
    if (req.opcode != sim::op::kDiscover) {
        for (std::size_t i = 0; i < 8; ++i)
            out[16 + i] = req.deviceId[i];
        std::vector<std::uint8_t> block(sim::kCredentialBlockSize, 0);
        const auto user = sim::Base64Encode(req.user.substr(0, 48));
        const auto password = sim::Base64Encode(req.password.substr(0, 48));
        std::copy(user.begin(), user.end(), block.begin());
        std::copy(password.begin(), password.end(), block.begin() + 64);
        out.insert(out.end(), block.begin(), block.end());
        for (const auto& [type, text] : req.records) {
            const std::size_t padded = text.empty() ? 0 : text.size() - text.size() % 4 + 4;
            const std::size_t at = out.size();
            out.resize(at + 4 + padded, 0);
            PutU16(out, at, static_cast<std::uint16_t>(type));
            PutU16(out, at + 2, static_cast<std::uint16_t>(4 + padded));
            std::copy(text.begin(), text.end(), out.begin() + static_cast<std::ptrdiff_t>(at + 4));
        }
    }
    PutU16(out, 42, static_cast<std::uint16_t>(out.size() - sim::kHeaderSize));
    return out;
}

}  // namespace simtest
