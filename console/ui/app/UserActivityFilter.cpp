#include "UserActivityFilter.h"

#include <QEvent>
#include <QWidget>

UserActivityFilter::UserActivityFilter(QWidget *parent, int interval)
    : QObject(parent), m_interval(interval), watchedWidget(parent)
{
    connect(&timer, &QTimer::timeout, this, &UserActivityFilter::timeout);
    timer.start(m_interval);
}

void UserActivityFilter::setInterval(int milliseconds)
{
    m_interval = milliseconds;
    timer.start(m_interval);
}

bool UserActivityFilter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::TouchBegin:
    case QEvent::Wheel:
    case QEvent::WindowActivate:
    case QEvent::WindowStateChange:
        timer.start(m_interval);
        if (inactive) {
            inactive = false;
            emit userActive();
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void UserActivityFilter::timeout()
{
    // Someone working in the window is not idle, however long no input reaches the filter.
    if (watchedWidget && watchedWidget->isActiveWindow())
        return;
    timer.stop();
    inactive = true;
    emit userInactive();
}
