// vistrelune-cli: the engine from the command line.
#include "Commands.h"

#include "project/ProjectFormat.h"

#include <cstdio>
#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

const char* kUsage = "usage: vistrelune-cli COMMAND ...\n"
                     "  info FILE\n"
                     "  convert IN OUT [--page N] [--quality Q] [--resize WxH | --scale P%] "
                     "[--filter NAME] [--params FILE]\n"
                     "  project info P.vstl\n"
                     "  project from-images OUT.vstl [--layers] IMG...\n"
                     "  render P.vstl OUT [--variant NAME]\n"
                     "  export P.vstl --format EXT --out DIR [--name BASE] "
                     "[--variants default|other|all] [--size WxH | --scale P%]\n"
                     "  apply IN OUT --effect TEXT [--effect TEXT ...]\n"
                     "  effects\n"
                     "  proc IN OUT OPERATION [name=value ...]\n"
                     "  ai EDIT IN OUT [--prompt T] [--search T] [--select T] [--background T] "
                     "[--left N --up N --right N --down N] [--creativity X] "
                     "[--mode conservative|creative|fast] [--mask FILE] [--key-file F] "
                     "[--base-url URL]\n";

} // namespace

int main(int argc, char** argv) {
    const std::map<std::string, std::function<int(const std::vector<std::string>&)>> commands = {
        { "info", vst::cli::runInfo },
        { "convert", vst::cli::runConvert },
        { "project", vst::cli::runProject },
        { "render", vst::cli::runRender },
        { "export", vst::cli::runExport },
        { "apply", vst::cli::runApply },
        { "effects", vst::cli::runEffects },
        { "proc", vst::cli::runProc },
        { "ai", vst::cli::runAi },
    };
    vst::project::registerProjectFormat();
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    auto it = commands.find(argv[1]);
    if (it == commands.end()) {
        std::fprintf(stderr, "error: unknown command \"%s\"\n%s", argv[1], kUsage);
        return 2;
    }
    try {
        return it->second(std::vector<std::string>(argv + 2, argv + argc));
    } catch (const std::exception& e) {
        std::string msg = e.what();
        for (auto& c : msg)
            if (c == '\n' || c == '\r') c = ' ';
        std::fprintf(stderr, "error: %s\n", msg.c_str());
        return 1;
    }
}
