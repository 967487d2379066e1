#include "StabilitySender.h"

#include "app/Translation.h"

#include <QPointer>

namespace vst::ai {
namespace {
QPointer<TStabilitySender>& current() {
    static QPointer<TStabilitySender> sender;
    return sender;
}
TStabilitySender* asSender(QObject* sender) {
    return dynamic_cast<TStabilitySender*>(sender);
}
} // namespace

TStabilitySender* CurrentSender() {
    return current().data();
}

void setCurrentSender(TStabilitySender* sender) {
    current() = sender;
}

void ReportStart(QObject* sender) {
    ReportText(sender, vst::app::Translate("Request sended. Please wait..."));
}

void ReportText(QObject* sender, const QString& text) {
    if (auto* s = asSender(sender)) s->reportText(text);
}

void ReportImage(QObject* sender, const Common::TStableImage& result) {
    auto* s = asSender(sender);
    if (!s) return;
    (void)result.GetStream(); // "The stream is empty." for an answer without image or video
    if (!result.Image.empty()) s->reportImage(result);
    ReportText(sender, vst::app::Translate("Operation ended successfully"));
}

void ReportResults(QObject* sender, const Common::TResults& result) {
    auto* s = asSender(sender);
    if (!s) return;
    if (!result.Id.empty()) {
        // The job belongs to the request's own sender: a newer edit may be current by now.
        s->Id = QString::fromStdString(result.Id);
        s->armCheckResultTimer();
    }
    if (result.Status != "in-progress") {
        try {
            ReportImage(sender, result);
        } catch (const std::exception&) {
            // The first answer of a job carries only its identifier.
        }
        return;
    }
    ReportText(
        sender, vst::app::Translate("Operation in progress. Checking the result in 30 seconds..."));
}

} // namespace vst::ai
