#include "ConsoleHarness.h"
#include "Zelt_Login.h"
#include "Zelt_SpawnPointsDialog.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include <memory>

using Zelt_Service_API::ZeltMeetingInfo;
using Zelt_Service_API::ZeltSpawnPoint;

// The console at its first-start size, as each role sees it: nothing wider than the window,
// nothing a screen reader cannot name.
class TestLayout : public QObject
{
    Q_OBJECT

    std::unique_ptr<ConsoleHarness> console;

    void signIn(const QString &user)
    {
        console = std::make_unique<ConsoleHarness>();
        QVERIFY2(console->error().isEmpty(), qPrintable(console->error()));
        QVERIFY2(console->signIn(user), qPrintable(user));
        console->window->show();
        QVERIFY(QTest::qWaitForWindowExposed(console->window.get()));
    }

    static bool iconOnly(const QAbstractButton *button)
    {
        const auto *tool = qobject_cast<const QToolButton *>(button);
        return !button->icon().isNull() &&
               (button->text().isEmpty() ||
                (tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly));
    }

private slots:
    void cleanup() { console.reset(); }

    void roleFitsTheFirstStartWidth_data()
    {
        QTest::addColumn<QString>("user");
        QTest::newRow("presenter") << "anna";
        QTest::newRow("administrator") << "vera";
    }
    void roleFitsTheFirstStartWidth()
    {
        QFETCH(QString, user);
        signIn(user);
        QCoreApplication::processEvents();
        QVERIFY2(console->window->width() <= 900,
                 qPrintable(QString::number(console->window->width())));
        QVERIFY(console->window->minimumSizeHint().width() <= 900);
    }

    void componentButtonsWaitForTheSession()
    {
        console = std::make_unique<ConsoleHarness>();
        QStringList enabledDuringLogin;
        whenDialogShows<Zelt_Login>([this, &enabledDuringLogin](Zelt_Login *) {
            for (auto *button : console->child<QWidget>("grpAssets")->findChildren<QPushButton *>())
                if (button->isVisibleTo(console->window.get()) && button->isEnabled())
                    enabledDuringLogin << button->objectName();
        });
        QVERIFY(console->signIn(QStringLiteral("vera")));
        QCOMPARE(enabledDuringLogin, QStringList());
    }

    void iconOnlyButtonsAreNamed()
    {
        signIn(QStringLiteral("vera"));
        int seen = 0;
        for (auto *button : console->window->findChildren<QAbstractButton *>()) {
            // Qt's own dock title buttons are named by Qt.
            if (!iconOnly(button) || button->objectName().startsWith(QStringLiteral("qt_")))
                continue;
            ++seen;
            QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(button->objectName()));
            QVERIFY2(!button->toolTip().isEmpty(), qPrintable(button->objectName()));
        }
        QVERIFY(seen >= 5);
    }

    void spawnPointIdsShowInFull()
    {
        ZeltSpawnPoint point;
        point.setName(QStringLiteral("Start"));
        ZeltMeetingInfo info;
        info.setMeetingId(QStringLiteral("acme01"));
        info.setSpawnPoints({point, point});
        Zelt_SpawnPointsDialog dialog(info, nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("tblSpawnPoints"));
        const QString id = table->item(0, 0)->text();
        QCOMPARE(id, "Default");
        QVERIFY(table->columnWidth(0) >= table->fontMetrics().horizontalAdvance(id));
        QCOMPARE(table->horizontalScrollBar()->isVisible(), false);
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
