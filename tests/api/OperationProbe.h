#pragma once

#include <QByteArray>
#include <QMetaMethod>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QString>

#include <functional>
#include <memory>

// Watches the four answer signals of one client operation (<operation>Signal, ...SignalFull,
// ...SignalE, ...SignalEFull), found by name as a caller connecting by name would find them.
class OperationProbe
{
public:
    OperationProbe(const QObject *client, const QByteArray &operation);

    // Empty when all four signals exist with the parameters callers rely on, else what is wrong.
    // The spies below exist only when this is empty.
    QString signatureProblem() const;
    // Waits until ...SignalFull or ...SignalEFull arrives.
    bool waitForAnswer();

    // Whether exactly the success pair (or the failure pair) arrived, each signal once.
    bool succeededOnce() const;
    bool failedOnce() const;
    // What ...SignalEFull carried.
    QNetworkReply::NetworkError errorType() const;
    QString errorText() const;

    QSignalSpy &signal() { return *m_spies[0]; }
    QSignalSpy &signalFull() { return *m_spies[1]; }
    QSignalSpy &signalE() { return *m_spies[2]; }
    QSignalSpy &signalEFull() { return *m_spies[3]; }

private:
    QByteArray m_operation;
    QMetaMethod m_methods[4];
    std::unique_ptr<QSignalSpy> m_spies[4];
};

// Calls one operation (call returns the client it was called on) and waits for its answer. Null,
// with a warning, when the client lacks the operation's signals or no answer came.
std::unique_ptr<OperationProbe> answerOf(const QByteArray &operation,
                                         const std::function<const QObject *()> &call);
