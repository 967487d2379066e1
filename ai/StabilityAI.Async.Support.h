// Runs a request on the thread pool and reports its start, result or failure on the UI thread.
#pragma once

#include "HttpTransport.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThreadPool>

#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>

namespace vst::ai {

/// The callbacks of one asynchronous request; each is optional.
template <class T> struct TAsynCallBack {
    /// Passed to every callback. When it is destroyed before a callback is due, the callback is
    /// dropped: its view or dialog has gone.
    QPointer<QObject> Sender;
    std::function<void(QObject*)> OnStart;
    /// The result is freed right after the callback returns; do not keep a reference.
    std::function<void(QObject*, T&)> OnSuccess;
    std::function<void(QObject*, const QString&)> OnError;
};

namespace detail {
/// Queues `call` to the application object's thread without waiting.
void queueToUiThread(std::function<void()> call);

/// The callbacks as the worker sees them: shared, read-only, looked at on the UI thread.
template <class U> struct Delivery {
    TAsynCallBack<U> use;
    bool hadSender = false;
    /// False once a given sender has been destroyed (UI thread only).
    bool live() const { return !hadSender || !use.Sender.isNull(); }
};
} // namespace detail

/// Copies the callbacks and runs the request function as one task on the global thread pool.
template <class U> class TAsynCallBackExec {
public:
    /// Calls `Value` now, on the calling thread, and keeps the record.
    explicit TAsynCallBackExec(const std::function<TAsynCallBack<U>()>& Value)
        : m_use(Value ? Value() : TAsynCallBack<U> {}) { }

    /// Starts the request; returns at once. Throws when no application object runs the queue.
    void Run(std::function<U()> Value) const {
        if (!QCoreApplication::instance())
            throw std::logic_error("asynchronous AI requests need an application object");
        auto d = std::make_shared<const detail::Delivery<U>>(
            detail::Delivery<U> { m_use, !m_use.Sender.isNull() });
        QThreadPool::globalInstance()->start([d, request = std::move(Value)] {
            if (d->use.OnStart)
                detail::queueToUiThread([d] {
                    if (d->live()) d->use.OnStart(d->use.Sender.data());
                });
            try {
                auto result = std::make_shared<U>(request());
                detail::queueToUiThread([d, result] {
                    if (d->live() && d->use.OnSuccess)
                        d->use.OnSuccess(d->use.Sender.data(), *result);
                });
            } catch (const std::exception& e) {
                const QString message = QString::fromUtf8(e.what());
                if (d->use.OnError)
                    detail::queueToUiThread([d, message] {
                        if (d->live()) d->use.OnError(d->use.Sender.data(), message);
                    });
            }
        });
    }

private:
    TAsynCallBack<U> m_use;
};

/// Runs `request` asynchronously with the callbacks `callbacks` gives; the request receives a
/// cancel token that the returned copy can trip.
template <class U, class F>
CancelToken runAsync(F request, const std::function<TAsynCallBack<U>()>& callbacks) {
    CancelToken token;
    TAsynCallBackExec<U>(callbacks).Run(
        [request = std::move(request), token] { return request(token); });
    return token;
}

} // namespace vst::ai
