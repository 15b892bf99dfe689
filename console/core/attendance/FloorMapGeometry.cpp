#include "FloorMapGeometry.h"

#include <QtGlobal>

namespace {
// The least room shown, in world units, so that one person alone is not blown up.
constexpr double MinExtent = 4;
} // namespace

QRectF FloorMapGeometry::boundsOf(const QList<QPointF> &points)
{
    if (points.isEmpty())
        return {};
    QPointF low = points.first();
    QPointF high = low;
    for (const QPointF &point : points) {
        low = {qMin(low.x(), point.x()), qMin(low.y(), point.y())};
        high = {qMax(high.x(), point.x()), qMax(high.y(), point.y())};
    }
    return QRectF(low, high);
}

void FloorMapGeometry::fit(const QRectF &bounds, const QSizeF &view, double margin)
{
    centreWorld = bounds.center();
    centreView = QPointF(view.width() / 2, view.height() / 2);
    const double width = qMax(bounds.width(), MinExtent);
    const double height = qMax(bounds.height(), MinExtent);
    const double usableWidth = qMax(1.0, view.width() - 2 * margin);
    const double usableHeight = qMax(1.0, view.height() - 2 * margin);
    fitScale = qMin(usableWidth / width, usableHeight / height);
}

void FloorMapGeometry::setZoom(double zoom)
{
    zoomFactor = qBound(MinZoom, zoom, MaxZoom);
}

QPointF FloorMapGeometry::toView(double x, double z) const
{
    return {centreView.x() + (x - centreWorld.x()) * scale(),
            centreView.y() - (z - centreWorld.y()) * scale()};
}

QPointF FloorMapGeometry::toWorld(const QPointF &view) const
{
    return {centreWorld.x() + (view.x() - centreView.x()) / scale(),
            centreWorld.y() - (view.y() - centreView.y()) / scale()};
}
