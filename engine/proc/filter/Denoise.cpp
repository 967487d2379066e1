#include "proc/filter/Denoise.h"

#include "proc/filter/Blur.h"
#include "proc/filter/FilterCore.h"
#include "proc/filter/Median.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

#include <cmath>

namespace ie::proc {

using namespace detail;

namespace {

// The colour samples of `area` as a contiguous matrix, blue first as OpenCV expects.
template <class T> cv::Mat toMat(const Bitmap& src, Rect area, int C) {
    const int outC = C == 1 ? 1 : 3;
    cv::Mat m(area.h, area.w, CV_MAKETYPE(sizeof(T) == 1 ? CV_8U : CV_16U, outC));
    for (int y = 0; y < area.h; ++y) {
        const T* s = row<T>(src, area.y + y) + std::size_t(area.x) * C;
        T* d = m.ptr<T>(y);
        for (int x = 0; x < area.w; ++x)
            if (outC == 1)
                d[x] = s[x];
            else
                for (int k = 0; k < 3; ++k)
                    d[x * 3 + k] = s[x * C + 2 - k];
    }
    return m;
}

template <class T> void fromMat(const cv::Mat& m, Rect area, Rect rect, int C, Bitmap& dst) {
    const int outC = m.channels();
    for (int y = rect.y; y < rect.bottom(); ++y) {
        const T* s = m.ptr<T>(y - area.y) + std::size_t(rect.x - area.x) * outC;
        T* d = mutableRow<T>(dst, y) + std::size_t(rect.x) * C;
        for (int x = 0; x < rect.w; ++x)
            if (outC == 1)
                d[x] = s[x];
            else
                for (int k = 0; k < 3; ++k)
                    d[x * C + k] = s[x * 3 + 2 - k];
    }
}

// Runs an OpenCV filter on the work rectangle plus `margin` pixels of context.
template <class Run>
void viaOpenCv(Bitmap& image, const Selection* selection, const char* what, int margin, Run&& run) {
    filterWithSource(image, selection, what, [&](const Bitmap& src, Bitmap& dst, Rect rect) {
        const Rect area
            = Rect { rect.x - margin, rect.y - margin, rect.w + 2 * margin, rect.h + 2 * margin }
                  .intersected(src.rect());
        dispatch(src.pixelFormat(), [&](auto layout) {
            using T = typename decltype(layout)::Sample;
            const cv::Mat in = toMat<T>(src, area, layout.channels);
            cv::Mat out;
            run(in, out);
            fromMat<T>(out, area, rect, layout.channels, dst);
        });
    });
}

} // namespace

void bilateralDenoise(
    Bitmap& image, int diameter, double sigmaColor, double sigmaSpace, const Selection* selection) {
    requireFilterable(image, "Denoise");
    if (diameter <= 1 || sigmaColor <= 0) return;
    viaOpenCv(image, selection, "Denoise", diameter, [&](const cv::Mat& in, cv::Mat& out) {
        if (in.depth() == CV_8U) {
            cv::bilateralFilter(in, out, diameter, sigmaColor, sigmaSpace);
            return;
        }
        cv::Mat f, g;
        in.convertTo(f, CV_32F, 1.0 / 257.0);
        cv::bilateralFilter(f, g, diameter, sigmaColor, sigmaSpace);
        g.convertTo(out, CV_16U, 257.0);
    });
}

void nonLocalMeansDenoise(Bitmap& image, double h, const Selection* selection) {
    requireFilterable(image, "Denoise");
    if (h <= 0) return;
    viaOpenCv(image, selection, "Denoise", 10, [&](const cv::Mat& in, cv::Mat& out) {
        if (in.depth() == CV_16U)
            cv::fastNlMeansDenoising(
                in, out, std::vector<float> { float(h * 257) }, 7, 21, cv::NORM_L1);
        else if (in.channels() == 3)
            cv::fastNlMeansDenoisingColored(in, out, float(h), float(h));
        else
            cv::fastNlMeansDenoising(in, out, float(h));
    });
}

void smoothing(Bitmap& image, SmoothMethod method, double strength, const Selection* selection) {
    switch (method) {
    case SmoothMethod::Gaussian:
        return gaussianBlur(image, strength, selection);
    case SmoothMethod::Box:
        return boxBlur(image, int(std::lround(strength)), selection);
    case SmoothMethod::Median:
        return median(image, int(std::lround(strength)), selection);
    case SmoothMethod::Bilateral:
        return bilateralDenoise(image, 9, strength, 5, selection);
    case SmoothMethod::NonLocalMeans:
        return nonLocalMeansDenoise(image, strength, selection);
    }
}

} // namespace ie::proc
