#include "app/VisionCheck.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

namespace vst::app {

bool visionLibraryUsable() {
    try {
        cv::Mat image(16, 16, CV_8UC3, cv::Scalar(40, 80, 120));
        cv::Mat mask = cv::Mat::zeros(16, 16, CV_8UC1);
        mask.at<std::uint8_t>(8, 8) = 255;
        cv::Mat healed;
        cv::inpaint(image, mask, healed, 3, cv::INPAINT_TELEA);
        cv::Mat labels, background, foreground;
        cv::grabCut(image, labels, cv::Rect(2, 2, 12, 12), background, foreground, 1,
            cv::GC_INIT_WITH_RECT);
        return !healed.empty() && !labels.empty();
    } catch (const cv::Exception&) {
        return false;
    }
}

} // namespace vst::app
