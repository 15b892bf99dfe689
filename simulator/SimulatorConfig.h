#pragma once

#include <QHostAddress>
#include <QString>

namespace VorelSim {

struct SimulatorConfig
{
    QHostAddress address = QHostAddress::LocalHost;
    quint16 port = 0; // 0: a free port

    // Prefixes in front of the services' own paths ("/auth/...", "/meetings", "/zelt/svc/...",
    // and "/" for the AWS stand-ins), so that an ini file's host and path values can point
    // anywhere below the server.
    QString authBase;
    QString meetingBase;
    QString serviceBase;
    QString awsBase;
    QString controlBase = QStringLiteral("/_sim");

    // Where temporary storage credentials point.
    QString s3Endpoint = QStringLiteral("http://127.0.0.1:4568");
    // Amazon S3 accounts get a region instead of an endpoint, as the real service hands out.
    QString s3Region = QStringLiteral("eu-central-1");
    QString s3Bucket = QStringLiteral("vorel");
    QString s3Key = QStringLiteral("S3RVER");
    QString s3Secret = QStringLiteral("S3RVER");

    qint64 tokenLifetime = 300;         // access token, seconds
    qint64 refreshLifetime = 1800;      // refresh token, seconds
    qint64 storageTokenLifetime = 3600; // temporary storage credentials, seconds

    bool meetingServiceAuth = true; // the meeting service wants a bearer token
    bool frozenClock = false;       // start with the clock frozen (tests)
    quint32 randomSeed = 20240601;  // live meeting simulation
};

} // namespace VorelSim
