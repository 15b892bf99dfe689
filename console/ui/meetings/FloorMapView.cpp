#include "FloorMapView.h"

#include <QKeyEvent>
#include <QLineF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <cmath>

namespace {
constexpr double Margin = 40;
constexpr double Radius = 9;
const QColor PresenterColour(0xe8, 0xb4, 0x1c);
const QColor GuestColour(0x2f, 0x6d, 0xb5);
const QColor TalkingColour(0xe0, 0x4a, 0x1a);
const QColor SpawnColour(0x2e, 0x9d, 0x4c);
} // namespace

FloorMapView::FloorMapView(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(240, 180);
    setAccessibleName(tr("Floor map"));
}

void FloorMapView::setMeeting(const SeenMeeting &seen)
{
    const double zoom = mapGeometry.zoom();
    meeting = seen;
    refit();
    mapGeometry.setZoom(zoom);
    update();
}

void FloorMapView::selectParticipant(qint32 clientId)
{
    selected = clientId;
    update();
}

void FloorMapView::refit()
{
    QList<QPointF> points;
    for (const SeenParticipant &participant : meeting.participants) {
        if (participant.place)
            points.append({participant.place->x, participant.place->z});
    }
    for (const SpawnMark &spawn : meeting.spawnPoints)
        points.append({spawn.place.x, spawn.place.z});
    mapGeometry.fit(FloorMapGeometry::boundsOf(points), size(), Margin);
}

void FloorMapView::resizeEvent(QResizeEvent *)
{
    const double zoom = mapGeometry.zoom();
    refit();
    mapGeometry.setZoom(zoom);
}

void FloorMapView::zoomBy(double factor)
{
    mapGeometry.setZoom(mapGeometry.zoom() * factor);
    update();
}

void FloorMapView::wheelEvent(QWheelEvent *event)
{
    zoomBy(event->angleDelta().y() > 0 ? 1.25 : 0.8);
    event->accept();
}

void FloorMapView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomBy(1.25);
        break;
    case Qt::Key_Minus:
        zoomBy(0.8);
        break;
    case Qt::Key_0:
        mapGeometry.setZoom(1);
        update();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void FloorMapView::mousePressEvent(QMouseEvent *event)
{
    qint32 nearest = 0;
    double best = Radius * 2;
    for (const SeenParticipant &participant : meeting.participants) {
        if (!participant.place)
            continue;
        const double distance = QLineF(event->position(), mapGeometry.toView(participant.place->x,
                                                                             participant.place->z))
                                    .length();
        if (distance < best) {
            best = distance;
            nearest = participant.clientId;
        }
    }
    if (nearest == 0)
        return;
    selectParticipant(nearest);
    emit participantChosen(nearest);
}

void FloorMapView::drawLabel(QPainter &painter, const QPointF &at, double gap, double rise,
                             const QString &label) const
{
    // Right of the mark, or left of it where the text would leave the view.
    const double textWidth = painter.fontMetrics().horizontalAdvance(label);
    const double left =
        at.x() + gap + textWidth <= width() - 2 ? at.x() + gap : at.x() - gap - textWidth;
    painter.drawText(QPointF(left, at.y() + rise), label);
}

void FloorMapView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().base());
    const QColor text = palette().color(QPalette::Text);

    // A grid of one world unit, faint, so that distances can be judged.
    if (mapGeometry.scale() >= 8) {
        painter.setPen(QPen(palette().color(QPalette::Mid), 0.5, Qt::DotLine));
        const QPointF topLeft = mapGeometry.toWorld(QPointF(0, 0));
        const QPointF bottomRight = mapGeometry.toWorld(QPointF(width(), height()));
        for (double x = std::floor(topLeft.x()); x <= bottomRight.x(); ++x)
            painter.drawLine(QPointF(mapGeometry.toView(x, 0).x(), 0),
                             QPointF(mapGeometry.toView(x, 0).x(), height()));
        for (double z = std::floor(bottomRight.y()); z <= topLeft.y(); ++z)
            painter.drawLine(QPointF(0, mapGeometry.toView(0, z).y()),
                             QPointF(width(), mapGeometry.toView(0, z).y()));
    }

    for (const SpawnMark &spawn : meeting.spawnPoints) {
        const QPointF at = mapGeometry.toView(spawn.place.x, spawn.place.z);
        QPainterPath diamond;
        diamond.moveTo(at + QPointF(0, -7));
        diamond.lineTo(at + QPointF(7, 0));
        diamond.lineTo(at + QPointF(0, 7));
        diamond.lineTo(at + QPointF(-7, 0));
        diamond.closeSubpath();
        painter.setPen(QPen(SpawnColour.darker(), 1));
        painter.setBrush(SpawnColour);
        painter.drawPath(diamond);
        painter.setPen(SpawnColour.darker());
        drawLabel(painter, at, 10, 4, spawn.name);
    }

    int unplaced = 0;
    for (const SeenParticipant &participant : meeting.participants) {
        if (!participant.place) {
            ++unplaced;
            continue;
        }
        const QPointF at = mapGeometry.toView(participant.place->x, participant.place->z);
        QLineF heading = QLineF::fromPolar(
            Radius * 2.2, FloorMapGeometry::screenAngle(participant.place->heading));
        heading.translate(at);
        painter.setPen(QPen(text, 2));
        painter.drawLine(heading);
        if (participant.talking) {
            painter.setPen(QPen(TalkingColour, 3));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(at, Radius + 5, Radius + 5);
        }
        if (participant.clientId == selected) {
            painter.setPen(QPen(palette().color(QPalette::Highlight), 4));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(at, Radius + 10, Radius + 10);
        }
        painter.setPen(QPen(text, 1));
        painter.setBrush(participant.isPresenter() ? PresenterColour : GuestColour);
        painter.drawEllipse(at, Radius, Radius);
        painter.setPen(text);
        drawLabel(painter, at, Radius + 4, -Radius, participant.alias);
    }
    if (unplaced > 0) {
        painter.setPen(text);
        painter.drawText(rect().adjusted(6, 0, -6, -6), Qt::AlignBottom | Qt::AlignLeft,
                         unplaced == 1 ? tr("1 participant without a position")
                                       : tr("%1 participants without a position").arg(unplaced));
    }
}
