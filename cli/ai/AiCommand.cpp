// vistrelune-cli ai: AI edits of image files through the cloud image service.
#include "CliArgs.h"
#include "Commands.h"

#include "ai/AiKeySource.h"
#include "ai/JobPolling.h"
#include "ai/RequestPreparation.h"
#include "io/ImageIO.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace vst::cli {
namespace {

using namespace vst::ai;

void say(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
}

double realOption(const CliArgs& a, const std::string& name, double fallback) {
    const auto text = a.option(name);
    if (!text) return fallback;
    try {
        std::size_t used = 0;
        const double value = std::stod(*text, &used);
        if (used == text->size()) return value;
    } catch (const std::exception&) { }
    throw std::runtime_error("--" + name + " needs a number, not \"" + *text + "\"");
}

AiEditInput readInput(const CliArgs& a, AiEdit edit) {
    AiEditInput in;
    in.edit = edit;
    in.image = ie::io::loadImage(a.positional()[1]).bitmap;
    if (const auto mask = a.option("mask")) in.mask = ie::io::loadImage(*mask).bitmap;
    in.prompt = a.option("prompt").value_or("");
    in.search = edit == AiEdit::SearchAndRecolor ? a.option("select").value_or("")
                                                 : a.option("search").value_or("");
    in.background = a.option("background").value_or(in.prompt);
    in.left = a.intOption("left").value_or(0);
    in.up = a.intOption("up").value_or(0);
    in.right = a.intOption("right").value_or(0);
    in.down = a.intOption("down").value_or(0);
    if (a.option("creativity")) in.creativity = realOption(a, "creativity", 0);
    return in;
}

Common::TResults awaitJob(
    const IStabilityAI& client, const Common::TResults& first, double pollSeconds) {
    if (first.Id.empty()) throw std::runtime_error("The service gave no job identifier.");
    say("Job " + first.Id + " started; checking its result every "
        + std::to_string(int(pollSeconds)) + " s...");
    return waitForJob(client.StableImage().Results(), first.Id,
        std::chrono::milliseconds(std::llround(pollSeconds * 1000)),
        [](const Common::TResults&) { say("Operation in progress..."); });
}

} // namespace

int runAi(const std::vector<std::string>& args) {
    const CliArgs a(args);
    a.expectOnly({ "prompt", "search", "select", "background", "left", "up", "right", "down",
        "creativity", "mode", "mask", "key-file", "base-url", "poll-interval" });
    if (a.positional().size() != 3) throw std::runtime_error("usage: ai EDIT IN OUT [options]");
    const std::string& name = a.positional()[0];
    const auto edit = aiEditFromName(name, a.option("mode").value_or(""));
    if (!edit) throw std::runtime_error("unknown AI edit \"" + name + "\" (or --mode)");
    const std::string key = apiKeyForCommandLine(a.option("key-file"));
    auto client = TStabilityAIFactory::CreateInstance(key);
    client->setBaseURL(a.option("base-url").value_or(TStabilityAIAPI::kDefaultBaseUrl));

    const PreparedEdit prepared = prepareEdit(readInput(a, *edit));
    for (const std::string& line : prepared.log)
        say(line);
    say("Sending " + name + " (" + std::to_string(prepared.sentWidth) + "x"
        + std::to_string(prepared.sentHeight) + ")...");
    Common::TResults answer = sendEdit(*client, prepared);
    if (isJobEdit(*edit)) answer = awaitJob(*client, answer, realOption(a, "poll-interval", 10));
    const ie::Bitmap result = finishEdit(prepared, answer);
    ie::io::saveImage(a.positional()[2], result);
    say("Operation ended successfully: " + a.positional()[2] + " (" + std::to_string(result.width())
        + "x" + std::to_string(result.height()) + ")");
    return 0;
}

} // namespace vst::cli
