// Password encryption of an image's pixels with a size-keeping stream cipher, and a check record
// kept in the pixels so that a wrong password is refused instead of scrambling further.
#pragma once

#include "imaging/Bitmap.h"

#include <cstdint>
#include <string>

namespace ie::proc {

/// The stream cipher of an encryption (numbers stored in the record).
enum class PixelCipher : std::uint8_t { ChaCha20 = 1, Aes256Ctr = 2 };

/// Scrambles the colour samples of `image` (alpha stays) with a key derived from the UTF-8
/// `password` by PBKDF2-HMAC-SHA256 and a random salt. The salt and a check value go into the
/// lowest bits of the image's last samples (see SampleBits::kReservedBits). Throws ie::Error for
/// an empty password, an image that is already encrypted, too small, or in a format without
/// full-colour samples.
void encryptPixels(
    Bitmap& image, const std::string& password, PixelCipher cipher = PixelCipher::ChaCha20);

/// Restores an image encrypted with `password`. A wrong password, or an image that is not
/// encrypted, throws ie::Error and leaves the pixels as they were. The lowest bits that held the
/// record are cleared, so the result may differ from the original by one unit in those samples.
void decryptPixels(Bitmap& image, const std::string& password);

/// True when `image` carries an encryption record.
bool isEncrypted(const Bitmap& image);

} // namespace ie::proc
