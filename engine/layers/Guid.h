// A 16-byte globally unique identifier, the identity of a layer.
#pragma once

#include <array>
#include <cstdint>

namespace ie {

/// 16 opaque bytes, stored as they are in project files. All zero means "no identifier".
struct Guid {
    std::array<std::uint8_t, 16> bytes {};

    /// A new random (version 4) identifier.
    static Guid generate();
    bool isNull() const;
    friend bool operator==(const Guid&, const Guid&) = default;
};

} // namespace ie
