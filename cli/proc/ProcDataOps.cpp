// Comparison, hidden data and encryption in "vistrelune-cli proc".
#include "ProcOperations.h"

#include "proc/analysis/Compare.h"
#include "proc/hidden/Encryption.h"
#include "proc/hidden/HiddenData.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vst::cli {

namespace {

// Formats that change pixels on saving: hidden data and encrypted pixels would not survive.
void requireLossless(const std::string& path) {
    static const std::array<const char*, 11> lossy { ".jpg", ".jpeg", ".jpe", ".jfif", ".gif",
        ".webp", ".heic", ".heif", ".avif", ".jp2", ".j2k" };
    const std::string ext = ie::io::extensionOf(path);
    if (std::find(lossy.begin(), lossy.end(), ext) != lossy.end())
        throw std::runtime_error("saving as " + ext
            + " would change the pixels and lose the result: choose a lossless full-colour "
              "format such as .png or .tif");
}

int compare(ProcJob& job) {
    const auto other = ie::io::loadImage(job.params.requiredText("with"));
    const auto result = ie::proc::compareImages(job.input.bitmap, other.bitmap);
    std::printf("Similarity: %.1f%%\n", result.similarity * 100.0);
    if (job.outPath != "-") ie::io::saveImage(job.outPath, result.difference);
    return 0;
}

int hiddenRead(ProcJob& job) {
    const auto data = ie::proc::readHiddenData(job.input.bitmap);
    if (!data) throw std::runtime_error("the image holds no hidden data");
    if (job.outPath == "-") {
        std::fwrite(data->data(), 1, data->size(), stdout);
        return 0;
    }
    std::ofstream out(job.outPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data->data()), std::streamsize(data->size()));
    if (!out) throw std::runtime_error("cannot write " + job.outPath);
    return 0;
}

int hiddenWrite(ProcJob& job) {
    const ProcParams& p = job.params;
    const auto text = p.text("text");
    const auto file = p.text("file");
    if (bool(text) == bool(file)) throw std::runtime_error("give either text= or file=");
    std::vector<std::uint8_t> data;
    if (text) {
        data.assign(text->begin(), text->end());
    } else {
        std::ifstream in(*file, std::ios::binary);
        if (!in) throw std::runtime_error("cannot read " + *file);
        data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    requireLossless(job.outPath);
    ie::Bitmap b = job.input.bitmap;
    ie::proc::writeHiddenData(b, data);
    saveResult(job, b);
    return 0;
}

int encrypt(ProcJob& job) {
    const int cipher = job.params.choice("cipher", { "chacha20", "aes256ctr" }, 0);
    requireLossless(job.outPath);
    ie::Bitmap b = job.input.bitmap;
    ie::proc::encryptPixels(b, job.params.requiredText("password"),
        cipher == 0 ? ie::proc::PixelCipher::ChaCha20 : ie::proc::PixelCipher::Aes256Ctr);
    saveResult(job, b);
    return 0;
}

int decrypt(ProcJob& job) {
    ie::Bitmap b = job.input.bitmap;
    ie::proc::decryptPixels(b, job.params.requiredText("password"));
    saveResult(job, b);
    return 0;
}

} // namespace

std::vector<ProcOperation> dataOperations() {
    return {
        { "compare", { "with" }, "compare with=FILE (OUT: difference map, or - for none)",
            compare },
        { "hidden-read", {}, "hidden-read (OUT: file for the bytes, or - for the output)",
            hiddenRead },
        { "hidden-write", { "text", "file" }, "hidden-write (text=T | file=F)", hiddenWrite },
        { "encrypt", { "password", "cipher" }, "encrypt password=P [cipher=chacha20|aes256ctr]",
            encrypt },
        { "decrypt", { "password" }, "decrypt password=P", decrypt },
    };
}

} // namespace vst::cli
