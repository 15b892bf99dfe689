#include "ExitRecorder.h"
#include "OpenDialogs.h"
#include "ProcessLauncher.h"
#include "QtPrompt.h"
#include "ScriptedPrompt.h"

#include <QDialog>
#include <QtTest>

class TestSeams : public QObject
{
    Q_OBJECT

    QtPrompt dialogs;

private slots:
    // As the program does at start.
    void initTestCase() { Prompt::setCurrent(&dialogs); }

    void scriptedPromptAnswersInOrderAndRecords()
    {
        ScriptedPrompt prompt;
        prompt.answerButton(Prompt::No);
        prompt.answer(QStringLiteral("typed"));
        prompt.answer(QVariant()); // cancel the integer input

        QCOMPARE(Prompt::question(nullptr, QStringLiteral("Delete"), QStringLiteral("Sure?")),
                 Prompt::No);
        QCOMPARE(Prompt::current().text(nullptr, QStringLiteral("Name"), QStringLiteral("Label"),
                                        Prompt::Echo::Normal, QString()),
                 std::optional<QString>(QStringLiteral("typed")));
        QVERIFY(!Prompt::current().integer(nullptr, QStringLiteral("N"), QString(), 1, 0, 9, 1));
        // Nothing queued: the default button.
        QCOMPARE(Prompt::warning(nullptr, QStringLiteral("W"), QStringLiteral("careful"),
                                 Prompt::Ok | Prompt::Cancel, Prompt::Cancel),
                 Prompt::Cancel);

        QCOMPARE(prompt.shown.size(), 4);
        QCOMPARE(prompt.titles(Prompt::Kind::Question), QStringList{"Delete"});
        QCOMPARE(prompt.texts(Prompt::Kind::Warning), QStringList{"careful"});
        QCOMPARE(prompt.pendingAnswers(), 0);
    }

    void promptIsRestoredWhenScriptEnds()
    {
        {
            ScriptedPrompt prompt;
            QCOMPARE(&Prompt::current(), static_cast<Prompt *>(&prompt));
        }
        QVERIFY(dynamic_cast<QtPrompt *>(&Prompt::current()));
    }

    void withoutPromptEveryQuestionGetsItsDefault()
    {
        Prompt *dialogs = Prompt::setCurrent(nullptr);
        QCOMPARE(Prompt::question(nullptr, QStringLiteral("Q"), QStringLiteral("?"),
                                  Prompt::Yes | Prompt::No, Prompt::No),
                 Prompt::No);
        QCOMPARE(Prompt::critical(nullptr, QStringLiteral("C"), QStringLiteral("!")), Prompt::Ok);
        QVERIFY(!Prompt::current().text(nullptr, QStringLiteral("T"), QString(),
                                        Prompt::Echo::Password, QStringLiteral("x")));
        QVERIFY(
            Prompt::current().existingDirectory(nullptr, QStringLiteral("D"), QString()).isEmpty());
        Prompt::setCurrent(dialogs);
    }

    void exitIsIntercepted()
    {
        ExitRecorder recorder(closeOpenDialogs);
        QDialog dialog;
        dialog.show();
        ProgramExit::now(-1);
        // The program would be gone: later exits do not count, and open dialogs are closed.
        ProgramExit::now(0);
        QCOMPARE(recorder.codes, (QList<int>{-1}));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void launcherPassesArgumentsUntouched()
    {
        // Blanks, quotes and shell characters arrive as they are: no shell is involved.
        const QStringList arguments{QStringLiteral("a b"), QStringLiteral("\"q\""),
                                    QStringLiteral("$(echo x);|&")};
        const auto result = ProcessLauncher::current().run(
            QStringLiteral("printf"), QStringList{QStringLiteral("%s\\n")} + arguments, 10000);
        QVERIFY(result.started);
        QVERIFY(result.finished);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(QString::fromUtf8(result.standardOutput), arguments.join('\n') + '\n');
    }

    void launcherReportsMissingProgramAndTimeOut()
    {
        const auto missing =
            ProcessLauncher::current().run(QStringLiteral("/nonexistent/program"), {}, 5000);
        QVERIFY(!missing.started);

        const auto slow =
            ProcessLauncher::current().run(QStringLiteral("sleep"), {QStringLiteral("30")}, 300);
        QVERIFY(slow.started);
        QVERIFY(!slow.finished);
        QCOMPARE(slow.exitCode, -1);
    }
};

QTEST_MAIN(TestSeams)
#include "tst_seams.moc"
