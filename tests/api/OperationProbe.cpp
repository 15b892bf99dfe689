#include "OperationProbe.h"

#include <QDebug>
#include <QMetaObject>
#include <QTest>

namespace {

const char *const suffixes[4] = {"Signal", "SignalFull", "SignalE", "SignalEFull"};

QMetaMethod findSignal(const QObject *client, const QByteArray &name)
{
    const QMetaObject *meta = client->metaObject();
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() == QMetaMethod::Signal && method.name() == name)
            return method;
    }
    return QMetaMethod();
}

} // namespace

OperationProbe::OperationProbe(const QObject *client, const QByteArray &operation)
    : m_operation(operation)
{
    for (int i = 0; i < 4; ++i) {
        m_methods[i] = findSignal(client, operation + suffixes[i]);
        if (m_methods[i].isValid())
            m_spies[i] = std::make_unique<QSignalSpy>(client, m_methods[i]);
    }
}

QString OperationProbe::signatureProblem() const
{
    for (int i = 0; i < 4; ++i) {
        if (!m_methods[i].isValid())
            return QStringLiteral("no signal %1%2").arg(m_operation, suffixes[i]);
    }
    const bool hasResult = m_methods[0].parameterCount() == 1;
    using Names = QList<QByteArray>;
    const Names expected[4] = {hasResult ? Names{"summary"} : Names{},
                               hasResult ? Names{"worker", "summary"} : Names{"worker"},
                               hasResult ? Names{"summary", "error_type", "error_str"}
                                         : Names{"error_type", "error_str"},
                               Names{"worker", "error_type", "error_str"}};
    for (int i = 0; i < 4; ++i) {
        if (m_methods[i].parameterNames() != expected[i])
            return QStringLiteral("unexpected parameters: ") +
                   QString::fromLatin1(m_methods[i].methodSignature());
    }
    if (m_methods[1].parameterTypes().value(0) != "ZeltHttpRequestWorker*" ||
        m_methods[2].parameterTypes().value(hasResult ? 1 : 0) != "QNetworkReply::NetworkError" ||
        m_methods[3].parameterTypes().value(2) != "QString")
        return QStringLiteral("unexpected parameter types in the %1 signals").arg(m_operation);
    return QString();
}

bool OperationProbe::waitForAnswer()
{
    return QTest::qWaitFor([this] { return !signalFull().isEmpty() || !signalEFull().isEmpty(); },
                           20000);
}

bool OperationProbe::succeededOnce() const
{
    return m_spies[0]->size() == 1 && m_spies[1]->size() == 1 && m_spies[2]->isEmpty() &&
           m_spies[3]->isEmpty();
}

bool OperationProbe::failedOnce() const
{
    return m_spies[0]->isEmpty() && m_spies[1]->isEmpty() && m_spies[2]->size() == 1 &&
           m_spies[3]->size() == 1;
}

QNetworkReply::NetworkError OperationProbe::errorType() const
{
    return m_spies[3]->value(0).value(1).value<QNetworkReply::NetworkError>();
}

QString OperationProbe::errorText() const
{
    return m_spies[3]->value(0).value(2).toString();
}

std::unique_ptr<OperationProbe> answerOf(const QByteArray &operation,
                                         const std::function<const QObject *()> &call)
{
    // Answers arrive through the event loop, so watching after the call misses nothing.
    auto probe = std::make_unique<OperationProbe>(call(), operation);
    if (!probe->signatureProblem().isEmpty()) {
        qWarning() << probe->signatureProblem();
        return nullptr;
    }
    return probe->waitForAnswer() ? std::move(probe) : nullptr;
}
