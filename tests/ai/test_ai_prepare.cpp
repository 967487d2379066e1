// Request preparation: the service's image limits, the body size, the mask, required texts and
// the answer brought back to the layer.
#include "AiTestSupport.h"
#include "support/TestImages.h"

#include "ai/ImageBytes.h"
#include "ai/RequestPreparation.h"

#include <gtest/gtest.h>

using namespace vst::ai;
using vst::test::clientFor;
using vst::test::FakeService;

namespace {

ie::Bitmap plain(int w, int h) {
    ie::Bitmap b(w, h, ie::PixelFormat::Rgb24);
    b.fill({ 90, 100, 110, 255 });
    return b;
}

ie::Bitmap maskOf(int w, int h) {
    ie::Bitmap m(w, h, ie::PixelFormat::Gray8);
    m.fill({ 0, 0, 0, 255 });
    m.fillRect({ 0, 0, w / 2, h / 2 }, { 255, 255, 255, 255 });
    return m;
}

AiEditInput inputFor(AiEdit edit, int w, int h) {
    AiEditInput in;
    in.edit = edit;
    in.image = plain(w, h);
    in.mask = maskOf(w, h);
    in.prompt = "a description";
    in.search = "a thing";
    in.background = "a beach";
    in.left = 10;
    return in;
}

std::string failureOf(const AiEditInput& in) {
    try {
        prepareEdit(in);
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

} // namespace

TEST(AiPrepare, ImagesOutsideTheLimitsFailClearly) {
    struct Case {
        AiEdit edit;
        int w, h;
        std::string message; ///< empty: accepted
    };
    const Case cases[] = {
        { AiEdit::Erase, 63, 100,
            "The image is too small for this edit: it must be at least 64 pixels on each side, "
            "and it is 63x100." },
        { AiEdit::UpscaleFast, 32, 32, "" },
        { AiEdit::UpscaleFast, 31, 40,
            "The image is too small for this edit: it must be at least 32 pixels on each side, "
            "and it is 31x40." },
        { AiEdit::Outpaint, 161, 64,
            "The image's proportions (161x64) are outside 1:2.5 to 2.5:1, which this edit does "
            "not accept." },
        { AiEdit::Outpaint, 160, 64, "" },
        { AiEdit::SearchAndRecolor, 64, 200,
            "The image's proportions (64x200) are outside 1:2.5 to 2.5:1, which this edit does "
            "not accept." },
        { AiEdit::Erase, 400, 64, "" }, // erase takes any proportions
    };
    for (const Case& c : cases)
        EXPECT_EQ(failureOf(inputFor(c.edit, c.w, c.h)), c.message) << int(c.edit);
}

TEST(AiPrepare, MissingInputsFailClearly) {
    auto erase = inputFor(AiEdit::Erase, 64, 64);
    erase.mask = ie::Bitmap();
    EXPECT_EQ(failureOf(erase), "Erasing or replacing an area needs a selection.");
    auto inpaint = inputFor(AiEdit::Inpaint, 64, 64);
    inpaint.mask = maskOf(32, 32);
    EXPECT_EQ(
        failureOf(inpaint), "The selection mask (32x32) is not the size of the image (64x64).");
    for (const AiEdit edit : { AiEdit::UpscaleConservative, AiEdit::UpscaleCreative }) {
        auto upscale = inputFor(edit, 64, 64);
        upscale.prompt = " \r\n";
        EXPECT_EQ(failureOf(upscale),
            "Conservative and creative upscaling need a description of the image.");
    }
    auto outpaint = inputFor(AiEdit::Outpaint, 64, 64);
    outpaint.left = 0;
    EXPECT_EQ(failureOf(outpaint), "Give at least one direction to extend the image.");
}

TEST(AiPrepare, OversizedImageIsSentSmallerAndTheAnswerScaledBack) {
    FakeService fake;
    auto client = clientFor(fake.baseUrl());
    const auto prepared = prepareEdit(inputFor(AiEdit::RemoveBackground, 2100, 2100));
    EXPECT_LE(std::int64_t(prepared.sentWidth) * prepared.sentHeight, 4194304);
    EXPECT_EQ(prepared.sentWidth, prepared.sentHeight);
    ASSERT_EQ(prepared.log.size(), 1u);
    EXPECT_NE(prepared.log[0].find("is sent at"), std::string::npos) << prepared.log[0];
    const auto answer = sendEdit(*client, prepared);
    const ie::Bitmap result = finishEdit(prepared, answer);
    EXPECT_EQ(result.width(), 2100);
    EXPECT_EQ(result.height(), 2100);
}

TEST(AiPrepare, OversizedOutpaintScalesItsMarginsAndFastUpscaleItsSides) {
    auto in = inputFor(AiEdit::Outpaint, 4000, 3000); // 12 MP over 9.4 MP
    in.left = 200;
    const auto outpaint = prepareEdit(in);
    EXPECT_LT(outpaint.left, 200);
    EXPECT_GT(outpaint.left, 150);
    EXPECT_EQ(outpaint.targetWidth, 4200);
    EXPECT_EQ(outpaint.targetHeight, 3000);
    const auto fast = prepareEdit(inputFor(AiEdit::UpscaleFast, 2000, 500));
    EXPECT_EQ(fast.sentWidth, 1536);
    EXPECT_EQ(fast.sentHeight, 384);
    EXPECT_EQ(fast.targetWidth, 0); // an upscale's answer keeps its larger size
}

TEST(AiPrepare, OpaqueImageTooLargeAsPngGoesCompressed) {
    FakeService fake;
    auto client = clientFor(fake.baseUrl());
    AiEditInput in = inputFor(AiEdit::Erase, 1900, 1900);
    in.image = vst::test::noise(1900, 1900, ie::PixelFormat::Rgb24);
    const auto prepared = prepareEdit(in);
    EXPECT_NE(prepared.encoding, ImageEncoding::Png);
    EXPECT_LT(prepared.image.size() + prepared.mask.size(), kMaxRequestBytes);
    ASSERT_FALSE(prepared.log.empty());
    EXPECT_NE(prepared.log.back().find("too large to send as PNG"), std::string::npos);
    const auto result = finishEdit(prepared, sendEdit(*client, prepared));
    EXPECT_EQ(result.width(), 1900);
}

TEST(AiPrepare, EraseAndInpaintSendTheSelectionAsAWhiteMask) {
    FakeService fake;
    auto client = clientFor(fake.baseUrl());
    for (const AiEdit edit : { AiEdit::Erase, AiEdit::Inpaint }) {
        sendEdit(*client, prepareEdit(inputFor(edit, 80, 64)));
        const auto request = fake.lastRequest();
        const auto* mask = request.part("mask");
        ASSERT_TRUE(mask);
        EXPECT_EQ(request.partNames()[1], "mask");
        const ie::Bitmap m = decodeImage(
            { reinterpret_cast<const std::uint8_t*>(mask->content.data()), mask->content.size() });
        EXPECT_EQ(m.width(), 80);
        EXPECT_EQ(m.scanline(0)[0], 255); // selected
        EXPECT_EQ(m.scanline(63)[79], 0);
    }
}

TEST(AiPrepare, FilteredOrFailedAnswersAreFailures) {
    FakeService fake;
    auto client = clientFor(fake.baseUrl());
    const auto prepared = prepareEdit(inputFor(AiEdit::RemoveBackground, 64, 64));
    fake.setFinishReason("CONTENT_FILTERED");
    EXPECT_THROW(
        {
            try {
                finishEdit(prepared, sendEdit(*client, prepared));
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(),
                    "The service's content filter refused this request; the "
                    "image was not changed.");
                throw;
            }
        },
        std::runtime_error);
    fake.setFinishReason("ERROR");
    EXPECT_THROW(finishEdit(prepared, sendEdit(*client, prepared)), std::runtime_error);
    EXPECT_THROW(finishEdit(prepared, Common::TStableImage {}), std::runtime_error);
}
