#include "ConsoleHarness.h"
#include "ConsoleTranslator.h"
#include "Zelt_Login.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLibraryInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

namespace {
struct Entry
{
    QString context;
    QString source;
    QString translation;
    QString type;
};

QList<Entry> readTs(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    QList<Entry> entries;
    QString context;
    QXmlStreamReader xml(&file);
    while (xml.readNextStartElement()) {
        if (xml.name() == u"TS")
            continue;
        if (xml.name() != u"context") {
            xml.skipCurrentElement();
            continue;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() == u"name") {
                context = xml.readElementText();
            } else if (xml.name() == u"message") {
                Entry entry{context, {}, {}, {}};
                while (xml.readNextStartElement()) {
                    if (xml.name() == u"source") {
                        entry.source = xml.readElementText();
                    } else if (xml.name() == u"translation") {
                        entry.type = xml.attributes().value(QStringLiteral("type")).toString();
                        entry.translation = xml.readElementText();
                    } else {
                        xml.skipCurrentElement();
                    }
                }
                entries.append(entry);
            } else {
                xml.skipCurrentElement();
            }
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return entries;
}

QStringList placeholders(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("%\\d"));
    QStringList found;
    for (const auto &match : marker.globalMatch(text))
        found.append(match.captured());
    found.sort();
    return found;
}

bool hasAccelerator(QString text)
{
    return text.remove(QStringLiteral("&&")).contains(QLatin1Char('&'));
}
} // namespace

// The German translation: complete in its source, and in effect once installed for de_DE.
class TestTranslation : public QObject
{
    Q_OBJECT

private slots:
    void germanTsFileIsComplete()
    {
        QString error;
        const QList<Entry> entries = readTs(
            qEnvironmentVariable("VOREL_SOURCE_DIR") + "/translations/vorel_console_de.ts", &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(entries.size() > 300);
        for (const Entry &entry : entries) {
            const QByteArray where = (entry.context + ": " + entry.source).toUtf8();
            QVERIFY2(entry.type.isEmpty(), where + " is " + entry.type.toUtf8());
            QVERIFY2(!entry.translation.isEmpty(), where + " has no translation");
            QVERIFY2(placeholders(entry.source) == placeholders(entry.translation),
                     where + " changes its placeholders");
            QVERIFY2(hasAccelerator(entry.source) == hasAccelerator(entry.translation),
                     where + " changes its accelerator");
            QCOMPARE(entry.translation.count(u'\n'), entry.source.count(u'\n'));
        }
    }

    void germanLocaleShowsGermanTexts()
    {
        auto translator = std::make_unique<ConsoleTranslator>(QLocale(QStringLiteral("de_DE")),
                                                              QStringList{VOREL_QM_DIR});
        QVERIFY(translator->consoleTranslated());
        const bool qtGerman = QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                                            QStringLiteral("/qtbase_de.qm"));
        QCOMPARE(translator->qtTranslated(), qtGerman);

        ConsoleHarness console;
        QVERIFY2(console.error().isEmpty(), qPrintable(console.error()));
        QString loginTitle, cancelText;
        whenDialogShows<Zelt_Login>([&](Zelt_Login *dialog) {
            loginTitle = dialog->windowTitle();
            cancelText =
                dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->text();
        });
        console.login.typeCredentials(QStringLiteral("anna"), QStringLiteral("wrong"));
        QVERIFY(console.signIn(QStringLiteral("anna")));

        QCOMPARE(loginTitle, QStringLiteral("Anmeldung"));
        if (qtGerman)
            QCOMPARE(cancelText, QStringLiteral("Abbrechen"));
        QCOMPARE(console.prompt.titles(Prompt::Kind::Critical),
                 QStringList{QStringLiteral("Anmeldung fehlgeschlagen")});
        QCOMPARE(console.prompt.texts(Prompt::Kind::Critical),
                 QStringList{QStringLiteral(
                     "Die Anmeldung ist fehlgeschlagen. Ist Ihr Passwort richtig?")});
        QCOMPARE(console.child<QPushButton>("btnMeetingCreate")->text(),
                 QStringLiteral("&Erstellen"));
        QCOMPARE(console.child<QPushButton>("btnMeetingEdit")->text(),
                 QStringLiteral("Be&arbeiten"));
        QCOMPARE(console.child<QPushButton>("btnQueue")->text(), QStringLiteral("Warteschlange"));

        // Gone with its translator, the console speaks its source language again.
        translator.reset();
        QCOMPARE(QCoreApplication::translate("Zelt_LoginClass", "Login"), QStringLiteral("Login"));
    }
};

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
