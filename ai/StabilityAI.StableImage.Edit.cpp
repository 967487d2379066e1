#include "StabilityAI.StableImage.Edit.h"

namespace vst::ai {

using Common::addInt;
using Common::addReal;
using Common::addText;
using Common::TResults;
using Common::TStableImage;

TErase& TErase::Mask(const std::string& FilePath) {
    AddImageFile("mask", FilePath);
    return *this;
}

TErase& TErase::Mask(std::span<const std::uint8_t> Stream, bool) {
    AddImage("mask", Stream);
    return *this;
}

TInpaint& TInpaint::Mask(const std::string& FilePath) {
    AddImageFile("mask", FilePath);
    return *this;
}

TInpaint& TInpaint::Mask(std::span<const std::uint8_t> Stream, bool) {
    AddImage("mask", Stream);
    return *this;
}

TInpaint& TInpaint::NegativePrompt(const std::string& value) {
    addText(*this, "negative_prompt", value);
    return *this;
}

TOutpaint& TOutpaint::Left(std::int64_t value) {
    addInt(*this, "left", value, 0, 2000);
    return *this;
}

TOutpaint& TOutpaint::Right(std::int64_t value) {
    addInt(*this, "right", value, 0, 2000);
    return *this;
}

TOutpaint& TOutpaint::Up(std::int64_t value) {
    addInt(*this, "up", value, 0, 2000);
    return *this;
}

TOutpaint& TOutpaint::Down(std::int64_t value) {
    addInt(*this, "down", value, 0, 2000);
    return *this;
}

TOutpaint& TOutpaint::Creativity(double value) {
    addReal(*this, "creativity", value, 0, 1);
    return *this;
}

TOutpaint& TOutpaint::Prompt(const std::string& value) {
    addText(*this, "prompt", value);
    return *this;
}

TSearchAndReplace& TSearchAndReplace::SearchPrompt(const std::string& value) {
    addText(*this, "search_prompt", value);
    return *this;
}

TSearchAndReplace& TSearchAndReplace::SelectPrompt(const std::string& value) {
    addText(*this, "select_prompt", value);
    return *this;
}

TSearchAndReplace& TSearchAndReplace::NegativePrompt(const std::string& value) {
    addText(*this, "negative_prompt", value);
    return *this;
}

using TRelight = TReplaceBackgroundAndRelight;

TRelight& TRelight::SubjectImage(const std::string& FilePath) {
    AddImageFile("subject_image", FilePath);
    return *this;
}

TRelight& TRelight::SubjectImage(std::span<const std::uint8_t> Stream, bool) {
    AddImage("subject_image", Stream);
    return *this;
}

TRelight& TRelight::BackgroundReference(const std::string& FilePath) {
    AddImageFile("background_reference", FilePath);
    return *this;
}

TRelight& TRelight::BackgroundReference(std::span<const std::uint8_t> Stream, bool) {
    AddImage("background_reference", Stream);
    return *this;
}

TRelight& TRelight::LightReference(const std::string& FilePath) {
    AddImageFile("light_reference", FilePath);
    return *this;
}

TRelight& TRelight::LightReference(std::span<const std::uint8_t> Stream, bool) {
    AddImage("light_reference", Stream);
    return *this;
}

TRelight& TRelight::BackgroundPrompt(const std::string& value) {
    addText(*this, "background_prompt", value);
    return *this;
}

TRelight& TRelight::ForegroundPrompt(const std::string& value) {
    addText(*this, "foreground_prompt", value);
    return *this;
}

TRelight& TRelight::NegativePrompt(const std::string& value) {
    addText(*this, "negative_prompt", value);
    return *this;
}

TRelight& TRelight::PreserveOriginalSubject(double value) {
    addReal(*this, "preserve_original_subject", value, 0, 1);
    return *this;
}

TRelight& TRelight::OriginalBackgroundDepth(double value) {
    addReal(*this, "original_background_depth", value, 0, 1);
    return *this;
}

TRelight& TRelight::KeepOriginalBackground(bool value) {
    AddField("keep_original_background", value ? "true" : "false");
    return *this;
}

TRelight& TRelight::LightSourceDirection(TLightSourceDirection value) {
    AddField("light_source_direction", toWireText(value));
    return *this;
}

TRelight& TRelight::LightSourceStrength(double value) {
    addReal(*this, "light_source_strength", value, 0, 1);
    return *this;
}

TRelight& TRelight::OutputFormat(TOutPutFormat value) {
    AddField("output_format", toWireText(value));
    return *this;
}

TRelight& TRelight::Seed(std::int64_t value) {
    addInt(*this, "seed", value, 0, kMaxSeed);
    return *this;
}

namespace {
const std::string kEdit = "v2beta/stable-image/edit/";
}

TStableImage TEditRoute::Erase(const TParamProc<TErase>& proc, const RequestOptions& o) const {
    return postForm<TStableImage>(kEdit + "erase", proc, o);
}

CancelToken TEditRoute::Erase(const TParamProc<TErase>& proc, const TImageCallBacks& cb) const {
    return async<TStableImage>(&TEditRoute::Erase, proc, cb);
}

TStableImage TEditRoute::Inpaint(const TParamProc<TInpaint>& proc, const RequestOptions& o) const {
    return postForm<TStableImage>(kEdit + "inpaint", proc, o);
}

CancelToken TEditRoute::Inpaint(const TParamProc<TInpaint>& proc, const TImageCallBacks& cb) const {
    return async<TStableImage>(&TEditRoute::Inpaint, proc, cb);
}

TStableImage TEditRoute::Outpaint(
    const TParamProc<TOutpaint>& proc, const RequestOptions& o) const {
    return postForm<TStableImage>(kEdit + "outpaint", proc, o);
}

CancelToken TEditRoute::Outpaint(
    const TParamProc<TOutpaint>& proc, const TImageCallBacks& cb) const {
    return async<TStableImage>(&TEditRoute::Outpaint, proc, cb);
}

TStableImage TEditRoute::RemoveBackground(
    const TParamProc<TRemoveBackground>& proc, const RequestOptions& o) const {
    return postForm<TStableImage>(kEdit + "remove-background", proc, o);
}

CancelToken TEditRoute::RemoveBackground(
    const TParamProc<TRemoveBackground>& proc, const TImageCallBacks& cb) const {
    return async<TStableImage>(&TEditRoute::RemoveBackground, proc, cb);
}

TResults TEditRoute::ReplaceBackgroundAndRelight(
    const TParamProc<TRelight>& proc, const RequestOptions& o) const {
    return postForm<TResults>(kEdit + "replace-background-and-relight", proc, o);
}

CancelToken TEditRoute::ReplaceBackgroundAndRelight(
    const TParamProc<TRelight>& proc, const TResultsCallBacks& cb) const {
    return async<TResults>(&TEditRoute::ReplaceBackgroundAndRelight, proc, cb);
}

TStableImage TEditRoute::SearchAndRecolor(
    const TParamProc<TSearchAndReplace>& proc, const RequestOptions& o) const {
    return postForm<TStableImage>(kEdit + "search-and-recolor", proc, o);
}

CancelToken TEditRoute::SearchAndRecolor(
    const TParamProc<TSearchAndReplace>& proc, const TImageCallBacks& cb) const {
    return async<TStableImage>(&TEditRoute::SearchAndRecolor, proc, cb);
}

TStableImage TEditRoute::SearchAndReplace(
    const TParamProc<TSearchAndReplace>& proc, const RequestOptions& o) const {
    return postForm<TStableImage>(kEdit + "search-and-replace", proc, o);
}

CancelToken TEditRoute::SearchAndReplace(
    const TParamProc<TSearchAndReplace>& proc, const TImageCallBacks& cb) const {
    return async<TStableImage>(&TEditRoute::SearchAndReplace, proc, cb);
}

} // namespace vst::ai
