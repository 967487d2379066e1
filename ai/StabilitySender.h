// The sender of AI requests and the display callbacks that report to it on the UI thread.
#pragma once

#include "StabilityAI.Common.h"

#include <QObject>
#include <QString>

namespace vst::ai {

/// What a request reports to: a progress log, a result timer and the image it loads into.
/// The editor's AI dialog implements it; the callbacks below reach it only on the UI thread.
class TStabilitySender : public QObject {
public:
    /// The running job's identifier (job routes only); empty until an answer carries one.
    QString Id;

    /// Appends a line to the progress log.
    virtual void reportText(const QString& text) = 0;
    /// Loads the decoded answer into the layer captured at send time; throws when the answer
    /// holds no image.
    virtual void reportImage(const Common::TStableImage& result) = 0;
    /// Starts the one-shot result timer that triggers the next fetch.
    virtual void armCheckResultTimer() = 0;
};

/// The sender of the AI edit being sent; null before the first. UI thread only.
TStabilitySender* CurrentSender();
void setCurrentSender(TStabilitySender* sender);

/// Logs "Request sended. Please wait...".
void ReportStart(QObject* sender);
/// Logs `text` as it is.
void ReportText(QObject* sender, const QString& text);
/// Loads the result, then logs "Operation ended successfully".
void ReportImage(QObject* sender, const Common::TStableImage& result);
/// A job answer: keeps its identifier and arms the timer, loads a finished result, or logs
/// that the job still runs.
void ReportResults(QObject* sender, const Common::TResults& result);

} // namespace vst::ai
