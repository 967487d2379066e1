#include "JobPolling.h"

#include <thread>

namespace vst::ai {
namespace {
void sleepUnlessCancelled(std::chrono::milliseconds interval, const CancelToken& cancel) {
    const auto end = std::chrono::steady_clock::now() + interval;
    while (std::chrono::steady_clock::now() < end) {
        if (cancel.cancelled()) throw RequestCancelled();
        std::this_thread::sleep_for(std::min(interval, std::chrono::milliseconds(50)));
    }
}
} // namespace

Common::TResults waitForJob(const TResultsRoute& route, const std::string& id,
    std::chrono::milliseconds interval,
    const std::function<void(const Common::TResults&)>& onWaiting, const RequestOptions& options) {
    for (;;) {
        sleepUnlessCancelled(interval, options.Cancel);
        Common::TResults results = route.Fetch(id, options);
        if (results.Status != "in-progress") return results;
        if (onWaiting) onWaiting(results);
    }
}

} // namespace vst::ai
