// Request parameters: range and length checks with their messages, and each route's body.
#include "AiTestSupport.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace vst::ai;
using vst::test::clientFor;
using vst::test::FakeService;

namespace {

std::string messageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

} // namespace

TEST(AiParams, RangeAndLengthChecksRefuseWithTheirMessages) {
    const std::string prompt10001(10001, 'p');
    const std::pair<std::function<void()>, std::string> cases[] = {
        { [] { TOutpaint().Left(2001); }, "left must be in [0..2000] : 2001" },
        { [] { TOutpaint().Right(-1); }, "right must be in [0..2000] : -1" },
        { [] { TOutpaint().Up(2001); }, "up must be in [0..2000] : 2001" },
        { [] { TOutpaint().Down(5000); }, "down must be in [0..2000] : 5000" },
        { [] { TOutpaint().Creativity(1.5); }, "creativity must be in [0..1] : 1.50" },
        { [] { TErase().Seed(4294967295); }, "seed must be in [0..4294967294] : 4294967295" },
        { [] { TErase().GrowMask(21); }, "grow_mask must be in [0..20] : 21" },
        { [] { TUpscaleConservative().Creativity(0.1); },
            "creativity must be in [0.2..0.5] : 0.10" },
        { [] { TUpscaleCreative().Creativity(0.36); }, "creativity must be in [0..0.35] : 0.36" },
        { [] { TUpscaleCreative().Creativity(std::nan("")); },
            "creativity must be in [0..0.35] : nan" },
        { [] { TReplaceBackgroundAndRelight().LightSourceStrength(-0.1); },
            "light_source_strength must be in [0..1] : -0.10" },
        { [&] { TInpaint().Prompt(prompt10001); }, "prompt too long max 10000 : (10001)" },
        { [&] { TSearchAndReplace().SearchPrompt(prompt10001); },
            "search_prompt too long max 10000 : (10001)" },
        { [&] { TUpscaleFast().Image(std::string("/no/such/file.png")); },
            "File not found : /no/such/file.png" },
    };
    for (const auto& [call, message] : cases)
        EXPECT_EQ(messageOf(call), message);
}

TEST(AiParams, BoundsAreInclusiveAndRealsUseAPoint) {
    TOutpaint outpaint;
    outpaint.Left(2000).Up(0).Creativity(0.25).Prompt(std::string(10000, 'p'));
    TUpscaleConservative conservative;
    conservative.Creativity(0.2).Creativity(0.5).Seed(4294967294);
    ASSERT_EQ(outpaint.Parts().size(), 4u);
    EXPECT_EQ(outpaint.Parts()[0].Data, "2000");
    EXPECT_EQ(outpaint.Parts()[2].Data, "0.25");
    EXPECT_EQ(conservative.Parts()[0].Data, "0.2"); // a setter called twice adds twice
    EXPECT_EQ(conservative.Parts()[1].Data, "0.5");
    EXPECT_EQ(conservative.Parts()[2].Data, "4294967294");
    // Counted in UTF-16 units as the service does: 10000 "é" pass.
    std::string accents;
    for (int i = 0; i < 10000; ++i)
        accents += "\xc3\xa9";
    EXPECT_NO_THROW(TInpaint().Prompt(accents));
}

TEST(AiParams, FailingCheckSendsNothing) {
    FakeService fake;
    auto client = clientFor(fake.baseUrl());
    const auto png = vst::test::pngOf(64, 64);
    EXPECT_THROW(
        client->StableImage().Edit().Outpaint([png](TOutpaint& p) { p.Image(png).Left(2001); }),
        std::runtime_error);
    EXPECT_EQ(fake.requestCount(), 0);
}

TEST(AiParams, FilePathImageIsSentUnderTheFixedFileName) {
    FakeService fake;
    auto client = clientFor(fake.baseUrl());
    const std::string path = vst::test::scratchDir("ai-params") + "/secret-folder-photo.png";
    const auto png = vst::test::pngOf(64, 64);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    client->StableImage().Edit().RemoveBackground(
        [path](TRemoveBackground& p) { p.Image(path).OutputFormat(TOutPutFormat::png); });
    const auto request = fake.lastRequest();
    const auto* image = request.part("image");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->filename, "FileNameForHeader.png");
    EXPECT_EQ(image->content.size(), png.size());
}

// Every request the program sends, as its edits fill them: path, parts in order, values.
TEST(AiParams, EachRouteSendsItsFieldsInOrder) {
    FakeService fake;
    auto client = clientFor(fake.baseUrl());
    const auto png = vst::test::pngOf(80, 64);
    const auto& edit = client->StableImage().Edit();
    const auto& upscale = client->StableImage().Upscale();
    using Fields = std::vector<std::pair<std::string, std::string>>;
    const std::string I = "<image>";
    struct Case {
        std::function<void()> send;
        std::string path;
        Fields fields;
    };
    const std::string e = "/v2beta/stable-image/edit/";
    const std::string u = "/v2beta/stable-image/upscale/";
    const Case cases[] = {
        { [&] {
             edit.Erase(
                 [&](TErase& p) { p.Image(png).Mask(png).OutputFormat(TOutPutFormat::png); });
         },
            e + "erase", { { "image", I }, { "mask", I }, { "output_format", "png" } } },
        { [&] {
             edit.Inpaint([&](TInpaint& p) {
                 p.Image(png)
                     .Mask(png)
                     .Prompt("a cat\r\non a mat")
                     .OutputFormat(TOutPutFormat::png);
             });
         },
            e + "inpaint",
            { { "image", I }, { "mask", I }, { "prompt", "a cat\r\non a mat" },
                { "output_format", "png" } } },
        { [&] {
             edit.SearchAndReplace([&](TSearchAndReplace& p) {
                 p.Image(png).Prompt("dog").SearchPrompt("cat").OutputFormat(TOutPutFormat::png);
             });
         },
            e + "search-and-replace",
            { { "image", I }, { "prompt", "dog" }, { "search_prompt", "cat" },
                { "output_format", "png" } } },
        { [&] {
             edit.SearchAndRecolor([&](TSearchAndReplace& p) {
                 p.Image(png).Prompt("red").SelectPrompt("car").OutputFormat(TOutPutFormat::png);
             });
         },
            e + "search-and-recolor",
            { { "image", I }, { "prompt", "red" }, { "select_prompt", "car" },
                { "output_format", "png" } } },
        { [&] {
             edit.RemoveBackground(
                 [&](TRemoveBackground& p) { p.Image(png).OutputFormat(TOutPutFormat::png); });
         },
            e + "remove-background", { { "image", I }, { "output_format", "png" } } },
        { [&] {
             edit.ReplaceBackgroundAndRelight([&](TReplaceBackgroundAndRelight& p) {
                 p.SubjectImage(png).BackgroundPrompt("beach").OutputFormat(TOutPutFormat::png);
             });
         },
            e + "replace-background-and-relight",
            { { "subject_image", I }, { "background_prompt", "beach" },
                { "output_format", "png" } } },
        { [&] {
             edit.Outpaint([&](TOutpaint& p) {
                 p.Image(png).Left(100).Up(0).Right(0).Down(0).OutputFormat(TOutPutFormat::png);
             });
         },
            e + "outpaint",
            { { "image", I }, { "left", "100" }, { "up", "0" }, { "right", "0" }, { "down", "0" },
                { "output_format", "png" } } },
        { [&] {
             upscale.Conservative([&](TUpscaleConservative& p) {
                 p.Image(png).Prompt("").OutputFormat(TOutPutFormat::png);
             });
         },
            u + "conservative", { { "image", I }, { "prompt", "" }, { "output_format", "png" } } },
        { [&] {
             upscale.Creative([&](TUpscaleCreative& p) {
                 p.Image(png).Prompt("hills").OutputFormat(TOutPutFormat::png);
             });
         },
            u + "creative", { { "image", I }, { "prompt", "hills" }, { "output_format", "png" } } },
        { [&] {
             upscale.Fast([&](TUpscaleFast& p) { p.Image(png).OutputFormat(TOutPutFormat::png); });
         },
            u + "fast", { { "image", I }, { "output_format", "png" } } },
    };
    const std::string pngText(png.begin(), png.end());
    for (const Case& c : cases) {
        try {
            c.send();
        } catch (const std::exception&) {
            // The fake refuses an empty upscale prompt as the service does; the body still counts.
        }
        const auto rec = fake.lastRequest();
        EXPECT_EQ(rec.method, "POST");
        EXPECT_EQ(rec.path, c.path);
        ASSERT_EQ(rec.parts.size(), c.fields.size()) << c.path;
        for (std::size_t i = 0; i < c.fields.size(); ++i) {
            const auto& part = rec.parts[i];
            EXPECT_EQ(part.name, c.fields[i].first) << c.path;
            if (c.fields[i].second == I) {
                EXPECT_EQ(part.content, pngText) << c.path << " " << part.name;
                EXPECT_EQ(part.filename, "FileNameForHeader.png");
                EXPECT_EQ(part.content_type, "image/png");
            } else {
                EXPECT_EQ(part.content, c.fields[i].second) << c.path << " " << part.name;
                EXPECT_EQ(part.filename, "");
                EXPECT_EQ(part.content_type, "");
            }
        }
    }
}

TEST(AiParams, ResultsFetchCopiesTheFinishedResultIntoImage) {
    FakeService fake;
    auto client = clientFor(fake.baseUrl());
    const auto& results = client->StableImage().Results();
    fake.queueAnswer({ 202, R"({"id":"j1","status":"in-progress"})" });
    auto running = results.Fetch("j1");
    EXPECT_EQ(running.Status, "in-progress");
    EXPECT_EQ(running.Image, "");
    fake.queueAnswer({ 200, R"({"result":"aGk=","finish_reason":"SUCCESS"})" });
    EXPECT_EQ(results.Fetch("j1").Image, "aGk=");
    fake.queueAnswer({ 200, R"({"image":"b2s=","result":""})" });
    EXPECT_EQ(results.Fetch("j1").Image, "b2s=");
    EXPECT_EQ(fake.lastRequest().path, "/v2beta/results/j1");
    EXPECT_EQ(fake.lastRequest().method, "GET");
}

TEST(AiParams, UnsafeJobIdentifiersNeverReachThePath) {
    FakeService fake;
    auto client = clientFor(fake.baseUrl());
    for (const std::string& id : std::vector<std::string> {
             "../../v1/user/account", "a b", "x?y=1", "", std::string(129, 'a') })
        EXPECT_THROW(client->StableImage().Results().Fetch(id), std::runtime_error) << id;
    EXPECT_EQ(fake.requestCount(), 0);
    EXPECT_TRUE(isSafeJobId("job1-abc_DEF"));
}
