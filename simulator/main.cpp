// vorel-sim: runs the meeting platform's stand-in until it is terminated.
#include "SimulatorServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorel-sim"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Stand-in of the Vorel meeting platform's services"));
    parser.addHelpOption();
    const QCommandLineOption port({QStringLiteral("p"), QStringLiteral("port")},
                                  QStringLiteral("Port to listen on, 0 for a free one."),
                                  QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption fixture(
        QStringLiteral("fixture"), QStringLiteral("State to load (JSON)."), QStringLiteral("file"),
        QStringLiteral(VOREL_SIM_DEFAULT_FIXTURE));
    const QCommandLineOption s3Endpoint(
        QStringLiteral("s3-endpoint"),
        QStringLiteral("Object store handed out with storage credentials."), QStringLiteral("url"));
    const QCommandLineOption s3Bucket(QStringLiteral("s3-bucket"),
                                      QStringLiteral("Bucket of the object store."),
                                      QStringLiteral("name"));
    const QCommandLineOption s3Key(QStringLiteral("s3-key"),
                                   QStringLiteral("Access key id of the object store."),
                                   QStringLiteral("key"));
    const QCommandLineOption s3Secret(QStringLiteral("s3-secret"),
                                      QStringLiteral("Secret access key of the object store."),
                                      QStringLiteral("secret"));
    const QCommandLineOption tokenLifetime(QStringLiteral("token-lifetime"),
                                           QStringLiteral("Lifetime of access tokens in seconds."),
                                           QStringLiteral("seconds"));
    parser.addOptions({port, fixture, s3Endpoint, s3Bucket, s3Key, s3Secret, tokenLifetime});
    parser.process(app);

    VorelSim::SimulatorConfig config;
    bool valid = true;
    config.port = parser.value(port).toUShort(&valid);
    if (!valid) {
        err << "vorel-sim: invalid port " << parser.value(port) << Qt::endl;
        return 2;
    }
    if (parser.isSet(s3Endpoint))
        config.s3Endpoint = parser.value(s3Endpoint);
    if (parser.isSet(s3Bucket))
        config.s3Bucket = parser.value(s3Bucket);
    if (parser.isSet(s3Key))
        config.s3Key = parser.value(s3Key);
    if (parser.isSet(s3Secret))
        config.s3Secret = parser.value(s3Secret);
    if (parser.isSet(tokenLifetime)) {
        config.tokenLifetime = parser.value(tokenLifetime).toLongLong(&valid);
        if (!valid || config.tokenLifetime <= 0) {
            err << "vorel-sim: invalid token lifetime " << parser.value(tokenLifetime) << Qt::endl;
            return 2;
        }
    }

    VorelSim::SimulatorServer server(config);
    QString error;
    if (!server.loadFixture(parser.value(fixture), &error) || !server.start(&error)) {
        err << "vorel-sim: " << error << Qt::endl;
        return 1;
    }
    out << "Listening on " << server.baseUrl() << Qt::endl;
    out << "  auth service:    " << server.authServiceUrl().toString() << " (paths /auth/...)"
        << Qt::endl;
    out << "  meeting service: " << server.meetingServiceUrl().toString() << " (paths /meetings...)"
        << Qt::endl;
    out << "  main service:    " << server.mainServiceUrl().toString() << " (paths /zelt/svc/...)"
        << Qt::endl;
    out << "  STS, Translate:  " << server.awsUrl().toString() << "/" << Qt::endl;
    out << "  control:         " << server.baseUrl() << config.controlBase << Qt::endl;
    out << "  storage:         " << config.s3Endpoint << " bucket " << config.s3Bucket << Qt::endl;
    out << "Demo accounts (login / password):" << Qt::endl;
    for (const QString &line : server.accountSummary())
        out << "  " << line << Qt::endl;

    // Nothing is kept on disk, so ending by SIGTERM or SIGINT loses nothing.
    return app.exec();
}
