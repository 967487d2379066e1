// vistrelune-cli apply and effects: effect texts applied to image files, and the list of effects.
#include "Commands.h"

#include "effects/EffectText.h"
#include "effects/ImageEffect.h"
#include "imaging/Convert.h"
#include "io/ImageIO.h"
#include "proc/filter/EffectCatalogue.h"

#include <cstdio>
#include <stdexcept>

namespace vst::cli {

namespace {

const char* kApplyUsage = "usage: apply IN OUT --effect TEXT [--effect TEXT ...]";

struct ApplyArgs {
    std::vector<std::string> files;
    ie::ImageEffectsList effects;
};

// "--effect" may repeat, so the generic option parser (one value per name) does not fit.
ApplyArgs parseApplyArgs(const std::vector<std::string>& argv) {
    ApplyArgs out;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (a == "--effect") {
            if (i + 1 >= argv.size()) throw std::runtime_error("--effect needs an effect text");
            out.effects.add(ie::ImageEffect::fromString(argv[++i]));
        } else if (a.rfind("--", 0) == 0) {
            throw std::runtime_error("unknown option " + a + "; " + kApplyUsage);
        } else {
            out.files.push_back(a);
        }
    }
    if (out.files.size() != 2 || out.effects.size() == 0) throw std::runtime_error(kApplyUsage);
    return out;
}

// Paletted, 1-bit and CMYK pictures have no channels the adjustments can shift directly.
ie::Bitmap workingCopy(const ie::Bitmap& image) {
    switch (image.pixelFormat()) {
    case ie::PixelFormat::Bw1:
    case ie::PixelFormat::Palette8:
    case ie::PixelFormat::Cmyk32:
        return ie::convertTo(image, ie::PixelFormat::Rgb24);
    default:
        return image;
    }
}

const char* kindName(ie::ParamKind kind) {
    switch (kind) {
    case ie::ParamKind::Integer:
        return "integer";
    case ie::ParamKind::Color:
        return "colour";
    default:
        return "real";
    }
}

std::string rangeText(const ie::EffectParam& p) {
    if (p.kind == ie::ParamKind::Color) return "0x000000 .. 0xFFFFFF";
    return ie::effect_text::formatNumber(p.min) + " .. " + ie::effect_text::formatNumber(p.max);
}

// Operation 22 names a catalogue effect by group and position; p1, p2 ... are its parameters.
void printCatalogue() {
    std::printf("    inner effects (group/effect: name, then the meaning of p1, p2 ...):\n");
    for (const ie::proc::EffectGroup& g : ie::proc::effectCatalogue())
        for (std::size_t i = 0; i < g.effects.size(); ++i) {
            const ie::proc::CatalogueEffect& e = g.effects[i];
            std::string params;
            for (const ie::proc::EffectParam& p : e.params)
                params += " " + p.id + " " + ie::effect_text::formatNumber(p.minimum) + ".."
                    + ie::effect_text::formatNumber(p.maximum) + " (default "
                    + ie::effect_text::formatNumber(p.defaultValue) + ")";
            std::printf("      %d/%zu: %s%s%s\n", g.number, i, e.displayName.c_str(),
                params.empty() ? "" : ":", params.c_str());
        }
}

} // namespace

int runApply(const std::vector<std::string>& argv) {
    const ApplyArgs args = parseApplyArgs(argv); // every text is checked before any work
    auto loaded = ie::io::loadImage(args.files[0]);
    ie::Bitmap image = workingCopy(loaded.bitmap);
    args.effects.Apply(image);
    ie::io::saveImage(args.files[1], image, {}, loaded.metadata);
    return 0;
}

int runEffects(const std::vector<std::string>& argv) {
    if (!argv.empty()) throw std::runtime_error("usage: effects (takes no arguments)");
    for (int op = ie::kEffectOpFirst; op <= ie::kEffectOpLast; ++op) {
        std::printf("%d  %s\n", op, std::string(ie::effectName(op)).c_str());
        std::printf("    defaults: %s\n", ie::ImageEffect::withDefaults(op).AsString().c_str());
        for (const ie::EffectParam& p : ie::effectParams(op))
            std::printf("    %-18s %-8s %-22s default %s\n", p.id, kindName(p.kind),
                rangeText(p).c_str(), ie::effect_text::formatNumber(p.defaultValue).c_str());
        if (op == int(ie::EffectOp::OtherEffects)) printCatalogue();
    }
    std::printf(
        "Effect text: OPERATION/ENABLED/VERSION/P1/P2/... (version %d)\n", ie::kEffectTextVersion);
    return 0;
}

} // namespace vst::cli
