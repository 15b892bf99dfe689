#pragma once

#include "ConsoleConfig.h"
#include "ScriptedPrompt.h"
#include "SimulatorServer.h"
#include "Zelt_LoginData.h"

#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// The stand-in (demo fixture, frozen clock) on a free port, a console configuration pointing at
// it and a session record, as the main window would hand them to the live info object.
class InfoHarness
{
public:
    InfoHarness();

    // Empty when the stand-in runs.
    QString error() const { return m_error; }

    // The configuration for the stand-in's services; a non-empty host replaces the stand-in's.
    ConsoleConfig *config(const QString &authHost = {}, const QString &serviceHost = {});
    // Logs the account in at the stand-in and fills the session record as the login dialog does.
    bool signIn(const QString &userId);

    VorelSim::SimulatorServer sim;
    Zelt_LoginData login;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ConsoleConfig> m_config;
    int m_configs = 0;
    QString m_error;
};

// Counts the answers, success or failure, of one operation of a REST client. Its spies connect
// after the live info object's own result slots, so a counted answer has already been handled.
class AnswerCounter
{
public:
    AnswerCounter(const QObject *client, const QByteArray &operation);
    bool isValid() const { return m_done && m_failed && m_done->isValid() && m_failed->isValid(); }
    int count() const { return int(m_done->count() + m_failed->count()); }

private:
    std::unique_ptr<QSignalSpy> m_done;
    std::unique_ptr<QSignalSpy> m_failed;
};

// A scripted prompt that also writes "box" into a shared event list, so tests can check where
// a message box came among the signals.
class RecordingPrompt : public ScriptedPrompt
{
public:
    explicit RecordingPrompt(QStringList *events) : m_events(events) {}
    Button message(Kind kind, QObject *parent, const QString &title, const QString &text,
                   Buttons buttons, Button defaultButton) override
    {
        m_events->append(QStringLiteral("box"));
        return ScriptedPrompt::message(kind, parent, title, text, buttons, defaultButton);
    }

private:
    QStringList *m_events;
};
