#pragma once

#include <QString>

class QTimer;
class QWidget;

// Freezes an idle window: the status polls stop, the window is disabled and its title says
// " - INACTIVE" until the user comes back. Transfers switch the freeze off while they run.
class InactivityFreeze
{
public:
    InactivityFreeze(QWidget *window, QTimer *statusTimer);

    // Only a signed-in session in a window that is not the active one freezes.
    void userInactive(bool signedIn);
    void userActive();
    // Off thaws a frozen window at once.
    void setEnabled(bool enabled);
    bool isFrozen() const { return frozen; }

private:
    QWidget *window;
    QTimer *statusTimer;
    QString savedTitle;
    bool frozen = false;
    bool enabled = true;
};
