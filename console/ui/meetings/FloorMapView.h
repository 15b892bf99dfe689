#pragma once

#include "FloorMapGeometry.h"
#include "LivePoll.h"

#include <QWidget>

// A running meeting's floor seen from above: everyone at their place with their heading, the
// talking ones ringed, the presenter in gold, the spawn points as green diamonds. The view
// fits the content at every poll; the wheel or + and - zoom, 0 fits again.
class FloorMapView : public QWidget
{
    Q_OBJECT

public:
    explicit FloorMapView(QWidget *parent = nullptr);

    void setMeeting(const SeenMeeting &meeting);
    // Marks the participant with this client id (0: none) without announcing it.
    void selectParticipant(qint32 clientId);
    qint32 selectedParticipant() const { return selected; }
    const FloorMapGeometry &geometry() const { return mapGeometry; }
    QSize sizeHint() const override { return {480, 360}; }

signals:
    // The user picked a participant on the map.
    void participantChosen(qint32 clientId);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void refit();
    void drawLabel(QPainter &painter, const QPointF &at, double gap, double rise,
                   const QString &label) const;
    void zoomBy(double factor);

    SeenMeeting meeting;
    FloorMapGeometry mapGeometry;
    qint32 selected = 0;
};
