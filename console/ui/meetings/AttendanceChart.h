#pragma once

#include "AttendanceRecords.h"

#include <QList>
#include <QWidget>

// Participants and talkers of one session over time, as two step lines.
class AttendanceChart : public QWidget
{
    Q_OBJECT

public:
    explicit AttendanceChart(QWidget *parent = nullptr);
    void setSamples(const QList<AttendanceSample> &samples);
    QSize sizeHint() const override { return {480, 200}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<AttendanceSample> samples;
};
