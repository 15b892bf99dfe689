#pragma once

#include "ExitRecorder.h"
#include "LoginDriver.h"
#include "ScriptedPrompt.h"
#include "SimulatorServer.h"
#include "Zelt_ServerApp.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

// The whole console against the platform stand-in in this process (demo fixture, frozen
// clock): scripted dialogs, intercepted exits and a login driver, as a user would meet them.
class ConsoleHarness
{
public:
    ConsoleHarness();
    ~ConsoleHarness();

    // Empty when the stand-in runs.
    QString error() const { return m_error; }
    // Starts the console and logs in as user (password: user + "-demo"); true once the session
    // runs and the first poll has been answered.
    bool signIn(const QString &user);

    template <typename T> T *child(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    int requestCount(const char *operation) const
    {
        return int(sim.received(QString::fromLatin1(operation)).size());
    }

    VorelSim::SimulatorServer sim;
    ScriptedPrompt prompt;
    ExitRecorder exits;
    LoginDriver login;
    std::unique_ptr<Zelt_ServerApp> window;

private:
    QTemporaryDir m_dir;
    QString m_error;
};

// Runs act on the next visible top-level dialog of class T, once, from the event loop: for
// dialogs that block in exec().
template <typename T, typename Act> void whenDialogShows(Act act)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *dialog = qobject_cast<T *>(widget); dialog && dialog->isVisible()) {
                poll->deleteLater();
                poll->stop();
                act(dialog);
                return;
            }
        }
    });
    poll->start(10);
}
