// The vistrelune-cli commands; each returns the process exit code and throws on failure.
#pragma once

#include <string>
#include <vector>

namespace vst::cli {

int runInfo(const std::vector<std::string>& args);
int runConvert(const std::vector<std::string>& args);
int runProject(const std::vector<std::string>& args);
int runRender(const std::vector<std::string>& args);
int runExport(const std::vector<std::string>& args);
int runApply(const std::vector<std::string>& args);
int runEffects(const std::vector<std::string>& args);
int runProc(const std::vector<std::string>& args);
int runAi(const std::vector<std::string>& args);

} // namespace vst::cli
