#include "MeetingPassword.h"

#include <QCryptographicHash>

namespace {
const QChar Bullet(0x2022);
}

QString MeetingPassword::digest(const QString &plain)
{
    const QByteArray hash = QCryptographicHash::hash(plain.toUtf8(), QCryptographicHash::Sha512);
    return QString::fromLatin1(hash.toBase64());
}

QString MeetingPassword::mask()
{
    return QString(8, Bullet);
}

bool MeetingPassword::isMasked(const QString &text)
{
    return text.contains(Bullet);
}
