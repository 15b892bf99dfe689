#include "UserActivityFilter.h"

#include <QMainWindow>
#include <QSignalSpy>
#include <QtTest>

// The inactivity filter the program attaches to its main window.
class TestActivityFilter : public QObject
{
    Q_OBJECT

private slots:
    void inactivityNeedsAnInactiveWindow()
    {
        QMainWindow window;
        UserActivityFilter filter(&window, 50);
        window.installEventFilter(&filter);
        QSignalSpy inactive(&filter, &UserActivityFilter::userInactive);
        QSignalSpy active(&filter, &UserActivityFilter::userActive);

        // A hidden window is never the active one: the interval runs out.
        QTRY_COMPARE_WITH_TIMEOUT(inactive.count(), 1, 5000);
        QVERIFY(filter.isInactive());

        // Any input ends it, exactly once.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &press);
        QCoreApplication::sendEvent(&window, &press);
        QCOMPARE(active.count(), 1);
        QVERIFY(!filter.isInactive());

        // While the window is active the filter keeps waiting, however long it takes.
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        inactive.clear();
        QTest::qWait(400);
        QCOMPARE(inactive.count(), 0);
    }
};

QTEST_MAIN(TestActivityFilter)
#include "tst_activityfilter.moc"
