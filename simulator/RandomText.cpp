#include "RandomText.h"

#include <QRandomGenerator>
#include <QUuid>

namespace VorelSim::RandomText {

QString uuid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QString token(int length)
{
    return fromAlphabet(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"), length);
}

QString fromAlphabet(const QString &alphabet, int length)
{
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i)
        text.append(alphabet.at(QRandomGenerator::global()->bounded(int(alphabet.size()))));
    return text;
}

} // namespace VorelSim::RandomText
