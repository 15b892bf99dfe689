#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

// Watches the main window for user input; reports inactivity once the window has not been the
// active window for a whole interval, and activity at the next input.
class UserActivityFilter : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int interval READ interval WRITE setInterval)

public:
    UserActivityFilter(QWidget *parent, int interval);

    int interval() const { return m_interval; }
    void setInterval(int milliseconds);
    bool isInactive() const { return inactive; }

signals:
    void userInactive();
    void userActive();

public slots:
    void timeout();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_interval;
    QWidget *watchedWidget;
    QTimer timer;
    bool inactive = false;
};
