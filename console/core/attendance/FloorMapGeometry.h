#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

// The floor seen from above: world x to the right, world z up the screen. The content's bounds
// fill the view with a margin, keeping the aspect; zoom scales about the view's centre.
class FloorMapGeometry
{
public:
    static constexpr double MinZoom = 0.25;
    static constexpr double MaxZoom = 16;

    // The smallest rectangle holding every point (x = world x, y = world z).
    static QRectF boundsOf(const QList<QPointF> &points);
    // bounds in world x/z (x = x, y = z); a bounds without extent still gets a room around it.
    void fit(const QRectF &bounds, const QSizeF &view, double margin);
    void setZoom(double zoom);
    double zoom() const { return zoomFactor; }

    QPointF toView(double x, double z) const;
    QPointF toWorld(const QPointF &view) const; // x = world x, y = world z
    // A heading (degrees about the vertical axis, 0 facing +z, growing clockwise seen from above)
    // as the angle of a screen direction, in degrees as QLineF counts them.
    static double screenAngle(double heading) { return 90.0 - heading; }
    // Pixels per world unit.
    double scale() const { return fitScale * zoomFactor; }

private:
    QPointF centreWorld;
    QPointF centreView;
    double fitScale = 1;
    double zoomFactor = 1;
};
