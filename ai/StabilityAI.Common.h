// The parameter bases and the result classes shared by the edit and upscale routes.
#pragma once

#include "MultipartForm.h"
#include "ParamChecks.h"
#include "StabilityAI.Types.h"

#include <QJsonObject>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vst::ai::Common {

/// Adds a checked text part.
void addText(TMultipartFormData& form, const std::string& field, const std::string& value);
/// Adds a checked integer part in decimal.
void addInt(TMultipartFormData& form, const std::string& field, std::int64_t value, std::int64_t lo,
    std::int64_t hi);
/// Adds a checked real part in "C"-locale text.
void addReal(
    TMultipartFormData& form, const std::string& field, double value, double lo, double hi);

// Setters chain: each returns the most derived parameter object (Self).

/// prompt, negative_prompt, seed, output_format.
template <class Self> class TStableImageCommon : public TMultipartFormData {
public:
    Self& Prompt(const std::string& value) { return add(addText, "prompt", value); }
    Self& NegativePrompt(const std::string& value) {
        return add(addText, "negative_prompt", value);
    }
    Self& Seed(std::int64_t value) {
        addInt(*this, "seed", value, 0, kMaxSeed);
        return self();
    }
    Self& OutputFormat(TOutPutFormat value) {
        AddField("output_format", toWireText(value));
        return self();
    }

protected:
    Self& self() { return static_cast<Self&>(*this); }
    template <class F> Self& add(F f, const char* field, const std::string& value) {
        f(*this, field, value);
        return self();
    }
};

/// image, output_format.
template <class Self> class TEditCommon : public TMultipartFormData {
public:
    Self& Image(const std::string& FilePath) {
        AddImageFile("image", FilePath);
        return self();
    }
    /// The whole stream is sent; `StreamFreed` only mattered for who frees it.
    Self& Image(std::span<const std::uint8_t> Stream, bool StreamFreed = true) {
        (void)StreamFreed;
        AddImage("image", Stream);
        return self();
    }
    Self& OutputFormat(TOutPutFormat value) {
        AddField("output_format", toWireText(value));
        return self();
    }

protected:
    Self& self() { return static_cast<Self&>(*this); }
};

/// ... and seed.
template <class Self> class TEditSeedCommon : public TEditCommon<Self> {
public:
    Self& Seed(std::int64_t value) {
        addInt(*this, "seed", value, 0, kMaxSeed);
        return this->self();
    }
};

/// ... and grow_mask.
template <class Self> class TEditSeedAndGrowMaskCommon : public TEditSeedCommon<Self> {
public:
    Self& GrowMask(std::int64_t value) {
        addInt(*this, "grow_mask", value, 0, 20);
        return this->self();
    }
};

/// ... and prompt.
template <class Self>
class TEditSeedAndGrowMaskAndPromtCommon : public TEditSeedAndGrowMaskCommon<Self> {
public:
    Self& Prompt(const std::string& value) {
        addText(*this, "prompt", value);
        return this->self();
    }
};

/// The prompt fields and image of the upscale routes.
template <class Self> class TUpscaleCommon : public TStableImageCommon<Self> {
public:
    Self& Image(const std::string& FilePath) {
        this->AddImageFile("image", FilePath);
        return this->self();
    }
    Self& Image(std::span<const std::uint8_t> Stream, bool StreamFreed = true) {
        (void)StreamFreed;
        this->AddImage("image", Stream);
        return this->self();
    }
};

/// How a generation ended.
enum class TFinishReason { SUCCESS, CONTENT_FILTERED, ERROR };

/// The upper-case name of a finish reason.
std::string toText(TFinishReason value);

/// The JSON answer of an image route.
class TJSONStableImage {
public:
    std::string Image; ///< "image": base64
    std::string Video; ///< "video": base64
    std::optional<TFinishReason> FinishReason; ///< "finish_reason"
    std::optional<std::int64_t> Seed; ///< "seed"

protected:
    /// False when a known key has a value that cannot be converted.
    bool readJson(const QJsonObject& object);
};

/// An image answer with its file helpers.
class TStableImage : public TJSONStableImage {
public:
    std::string FileName; ///< the file last written by SaveToFile

    static std::optional<TStableImage> FromJson(const QJsonObject& object);

    /// The decoded bytes of Image; throws "The stream is empty." when there is neither an image
    /// nor a video, and a clear message when the text is not base64.
    std::vector<std::uint8_t> GetStream() const;
    /// Writes the decoded Video, or Image when there is no video, replacing the file.
    void SaveToFile(const std::string& path);
};

/// The answer of a job route or of a result fetch.
class TResults : public TStableImage {
public:
    std::string Id; ///< "id": the job that finishes later
    std::string Status; ///< "status": "in-progress" while the job runs
    std::string Result; ///< "result": the finished image, base64

    static std::optional<TResults> FromJson(const QJsonObject& object);
};

} // namespace vst::ai::Common
