// The shared library exports its facades and nothing of the protocol layer beneath them.
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

class tst_LibraryExports : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheFacadesAreExported();
};

void tst_LibraryExports::onlyTheFacadesAreExported()
{
    QProcess nm;
    nm.start(QStringLiteral("nm"),
             {QStringLiteral("--dynamic"), QStringLiteral("--defined-only"),
              QStringLiteral("--demangle"), QStringLiteral(BRENN_AWS_LIBRARY_FILE)});
    QVERIFY(nm.waitForFinished(30000));
    QCOMPARE(nm.exitCode(), 0);
    // Strong symbols (T, D, B, R) are the library's own definitions; weak ones are inline
    // template and Qt code that every user instantiates anyway.
    static const QRegularExpression strong(QStringLiteral("^[0-9a-f]+ [TDBR] (.*)$"));
    static const QRegularExpression api(
        QStringLiteral("^(Brenn_AWS::(Storage_S3|Token_Service|Translate)::|QAWSException::)"));
    QStringList exported;
    for (const QString &line : QString::fromUtf8(nm.readAllStandardOutput()).split('\n')) {
        const QRegularExpressionMatch match = strong.match(line);
        if (match.hasMatch())
            exported.append(match.captured(1));
    }
    QVERIFY(exported.size() > 40);
    for (const QString &symbol : exported)
        QVERIFY2(api.match(symbol).hasMatch(), qPrintable(symbol));
    for (const char *needed :
         {"Brenn_AWS::Storage_S3::UploadObjectMultipart(",
          "Brenn_AWS::Storage_S3::DownloadObjectMultipart(",
          "Brenn_AWS::Storage_S3::UpdateCredentials(", "Brenn_AWS::Token_Service::AssumeRole(",
          "Brenn_AWS::Translate::TranslateText(",
          "QAWSException::QAWSException(QAWSException const&)"}) {
        QVERIFY2(!exported.filter(QLatin1String(needed)).isEmpty(), needed);
    }
}

QTEST_GUILESS_MAIN(tst_LibraryExports)
#include "tst_library_exports.moc"
