#include "LoginFailure.h"
#include "SizeText.h"
#include "VersionNumber.h"
#include "Zelt_LoginData.h"

#include <QtTest>

// The small rules the main window's displays and checks are built from.
class TestRules : public QObject
{
    Q_OBJECT

private slots:
    void loginFailureKinds_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("kind");
        using E = QNetworkReply;
        using K = LoginFailure::Kind;
        QTest::newRow("400") << int(E::ProtocolInvalidOperationError) << int(K::Refused);
        QTest::newRow("401") << int(E::AuthenticationRequiredError) << int(K::Refused);
        QTest::newRow("403") << int(E::ContentAccessDenied) << int(K::Refused);
        QTest::newRow("404") << int(E::ContentNotFoundError) << int(K::ServiceError);
        QTest::newRow("500") << int(E::InternalServerError) << int(K::ServiceError);
        QTest::newRow("unknown HTTP status") << int(E::UnknownContentError) << int(K::ServiceError);
        QTest::newRow("refused") << int(E::ConnectionRefusedError) << int(K::Unreachable);
        QTest::newRow("proxy") << int(E::ProxyConnectionRefusedError) << int(K::Unreachable);
        QTest::newRow("no scheme") << int(E::ProtocolUnknownError) << int(K::Unreachable);
    }
    void loginFailureKinds()
    {
        QFETCH(int, error);
        QTEST(int(LoginFailure::of(QNetworkReply::NetworkError(error))), "kind");
    }

private slots:
    void loginFailureDetailLeavesTheBodyOut_data()
    {
        QTest::addColumn<QString>("errorText");
        QTest::addColumn<QString>("detail");
        const QString replied = "Error transferring http://h/login - server replied: Bad Gateway";
        QTest::newRow("no body") << "Connection refused, "
                                 << "Connection refused";
        QTest::newRow("HTML page") << replied + ", <html><body>a, b</body></html>" << replied;
        QTest::newRow("service's error")
            << replied + R"(, {"code": 502, "message": "Realm down", "source": "auth"})"
            << replied + " (Realm down)";
    }
    void loginFailureDetailLeavesTheBodyOut()
    {
        QFETCH(QString, errorText);
        QTEST(LoginFailure::detail(errorText), "detail");
    }

    void buildDescriptionGivesVersion_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("dotted");
        QTest::newRow("this build") << "v3.1-2-gb60c8eb"
                                    << "3.1.2";
        QTest::newRow("on the tag") << "v4.0-0-g0123456"
                                    << "4.0.0";
        QTest::newRow("only a major") << "v7-12-gabcdef0"
                                      << "7.12.0";
        QTest::newRow("too short") << "v1"
                                   << "0.0.0";
    }
    void buildDescriptionGivesVersion()
    {
        QFETCH(QString, description);
        QTEST(VersionNumber::fromBuildDescription(description).dotted(), "dotted");
    }

    void statusMessageNamesVersion_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("named");
        QTest::addColumn<QString>("dotted");
        QTest::newRow("with v") << "OK - Version v2.10.3" << true << "2.10.3";
        QTest::newRow("with V") << "OK - Version V2.0.30" << true << "2.0.30";
        QTest::newRow("without v") << "OK - Version 1.2.3" << true << "1.2.3";
        QTest::newRow("dash separated") << "OK - Version v2-1-7" << true << "2.1.7";
        QTest::newRow("two parts") << "OK - Version 2.10" << false << "";
        QTest::newRow("four parts") << "OK - Version 2.10.3.4" << false << "";
        QTest::newRow("no marker") << "Version 2.10.3" << false << "";
        QTest::newRow("marker is case-sensitive") << "ok - version 2.10.3" << false << "";
        QTest::newRow("non-numeric part is 0") << "OK - Version 2.x.3" << true << "2.0.3";
    }
    void statusMessageNamesVersion()
    {
        QFETCH(QString, message);
        QFETCH(bool, named);
        const auto version = VersionNumber::fromStatusMessage(message);
        QCOMPARE(version.has_value(), named);
        if (named)
            QTEST(version->dotted(), "dotted");
    }

    void versionOrderAndBundleGate()
    {
        QVERIFY(VersionNumber({3, 1, 9}) < VersionNumber({3, 2, 0}));
        QVERIFY(!(VersionNumber({3, 1, 0}) < VersionNumber({3, 0, 99})));
        QVERIFY(!(VersionNumber({3, 1, 2}) < VersionNumber({3, 1, 2})));
        QVERIFY(!serviceSupportsAssetBundles({2, 0, 29}));
        QVERIFY(serviceSupportsAssetBundles({2, 0, 30}));
        QVERIFY(serviceSupportsAssetBundles({2, 1, 0}));
        QVERIFY(serviceSupportsAssetBundles({3, 0, 0}));
        QVERIFY(!serviceSupportsAssetBundles({1, 9, 99}));
    }

    void transferSizeUnits_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("unit");
        QTest::newRow("1023 KB") << qint64(1023) * 1024 << "1023" << int(SizeText::Unit::KB);
        QTest::newRow("1024 KB") << qint64(1024) * 1024 << "1.00" << int(SizeText::Unit::MB);
        QTest::newRow("just under a GB")
            << qint64(1048575) * 1024 << "1024.00" << int(SizeText::Unit::MB);
        QTest::newRow("one GB") << qint64(1048576) * 1024 << "1.00" << int(SizeText::Unit::GB);
        QTest::newRow("above 2^31")
            << qint64(3) * 1024 * 1024 * 1024 << "3.00" << int(SizeText::Unit::GB);
        QTest::newRow("less than a KB") << qint64(1023) << "0" << int(SizeText::Unit::KB);
    }
    void transferSizeUnits()
    {
        QFETCH(qint64, bytes);
        const SizeText::Scaled scaled = SizeText::transferSize(bytes);
        QTEST(scaled.number, "number");
        QTEST(int(scaled.unit), "unit");
    }

    void listSizeSteps_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("500 bytes") << qint64(500) << "0 KB";
        QTest::newRow("1536 bytes") << qint64(1536) << "1 KB";
        QTest::newRow("unit changes only above 1024") << qint64(1048576) << "1024 KB";
        QTest::newRow("2 MB") << qint64(2097152) << "2 MB";
        QTest::newRow("3 GB") << qint64(3221225472) << "3 GB";
        QTest::newRow("one byte") << qint64(1) << "0 KB";
        QTest::newRow("5000 TB") << qint64(5000) * 1024 * 1024 * 1024 * 1024 << "5000 TB";
    }
    void listSizeSteps()
    {
        QFETCH(qint64, bytes);
        QTEST(SizeText::listSize(bytes), "text");
    }

    void storageCredentialsAreDueInTheirLastMinute()
    {
        const QDateTime now(QDate(2026, 12, 8), QTime(12, 0, 0), Qt::UTC);
        Zelt_LoginData session;
        session.storageTokenExpiry = now.addSecs(59);
        QVERIFY2(!session.storageCredentialsDue(now), "static credentials never expire");
        session.storageSessionToken = QStringLiteral("token");
        QVERIFY(session.storageCredentialsDue(now));
        session.storageTokenExpiry = now.addSecs(60);
        QVERIFY(!session.storageCredentialsDue(now));
        session.storageTokenExpiry = now.addSecs(61);
        QVERIFY(!session.storageCredentialsDue(now));
        // An expiry read as local time compares by the instant it names.
        session.storageTokenExpiry = now.addSecs(30).toLocalTime();
        QVERIFY(session.storageCredentialsDue(now));
    }
};

QTEST_MAIN(TestRules)
#include "tst_rules.moc"
