#include "InactivityFreeze.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

InactivityFreeze::InactivityFreeze(QWidget *window, QTimer *statusTimer)
    : window(window), statusTimer(statusTimer)
{
}

void InactivityFreeze::userInactive(bool signedIn)
{
    if (window->isActiveWindow() || !signedIn || !enabled)
        return;
    statusTimer->stop();
    window->setEnabled(false);
    savedTitle = window->windowTitle();
    window->setWindowTitle(savedTitle +
                           QCoreApplication::translate("InactivityFreeze", " - INACTIVE"));
    frozen = true;
}

void InactivityFreeze::userActive()
{
    if (!frozen)
        return;
    statusTimer->start();
    window->setEnabled(true);
    window->setWindowTitle(savedTitle);
    frozen = false;
}

void InactivityFreeze::setEnabled(bool on)
{
    enabled = on;
    if (!on)
        userActive();
}
