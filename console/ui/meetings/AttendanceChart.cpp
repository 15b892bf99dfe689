#include "AttendanceChart.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor ParticipantsColour(0x2f, 0x6d, 0xb5);
const QColor TalkersColour(0xe0, 0x7b, 0x1a);
} // namespace

AttendanceChart::AttendanceChart(QWidget *parent) : QWidget(parent)
{
    setMinimumHeight(140);
    setAccessibleName(tr("Participants and talkers over time"));
}

void AttendanceChart::setSamples(const QList<AttendanceSample> &list)
{
    samples = list;
    update();
}

void AttendanceChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().base());
    const QFontMetrics metrics = fontMetrics();
    const QRectF plot =
        QRectF(rect()).adjusted(metrics.horizontalAdvance(QStringLiteral("0000")) + 8,
                                metrics.height() + 8, -12, -metrics.height() - 8);
    painter.setPen(palette().color(QPalette::Text));
    if (samples.isEmpty() || plot.width() < 10 || plot.height() < 10) {
        painter.drawText(rect(), Qt::AlignCenter, tr("No polls recorded"));
        return;
    }
    int most = 1;
    for (const AttendanceSample &sample : samples)
        most = qMax(most, sample.participants);
    const qint64 start = samples.first().at.toMSecsSinceEpoch();
    const qint64 span = qMax<qint64>(1, samples.last().at.toMSecsSinceEpoch() - start);
    const auto x = [&](const QDateTime &at) {
        return plot.left() + plot.width() * double(at.toMSecsSinceEpoch() - start) / double(span);
    };
    const auto y = [&](int count) { return plot.bottom() - plot.height() * count / most; };

    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawText(
        QRectF(0, plot.top() - metrics.height() / 2, plot.left() - 4, metrics.height()),
        Qt::AlignRight, QString::number(most));
    painter.drawText(
        QRectF(0, plot.bottom() - metrics.height() / 2, plot.left() - 4, metrics.height()),
        Qt::AlignRight, QStringLiteral("0"));
    const QLocale locale;
    painter.drawText(QPointF(plot.left(), plot.bottom() + metrics.ascent() + 4),
                     locale.toString(samples.first().at.time(), QLocale::ShortFormat));
    const QString end = locale.toString(samples.last().at.time(), QLocale::ShortFormat);
    painter.drawText(QPointF(plot.right() - metrics.horizontalAdvance(end),
                             plot.bottom() + metrics.ascent() + 4),
                     end);

    const auto line = [&](int AttendanceSample::*count, const QColor &colour) {
        QPainterPath path(QPointF(x(samples.first().at), y(samples.first().*count)));
        for (const AttendanceSample &sample : samples) {
            path.lineTo(x(sample.at), path.currentPosition().y());
            path.lineTo(x(sample.at), y(sample.*count));
        }
        painter.setPen(QPen(colour, 2));
        painter.drawPath(path);
    };
    line(&AttendanceSample::participants, ParticipantsColour);
    line(&AttendanceSample::talkers, TalkersColour);

    // The legend, top right.
    qreal legendX = plot.right();
    for (const auto &[text, colour] : {std::pair{tr("Talking"), TalkersColour},
                                       std::pair{tr("Participants"), ParticipantsColour}}) {
        legendX -= metrics.horizontalAdvance(text);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(QPointF(legendX, metrics.ascent() + 2), text);
        legendX -= 20;
        painter.setPen(QPen(colour, 3));
        painter.drawLine(QPointF(legendX, metrics.height() / 2.0 + 2),
                         QPointF(legendX + 14, metrics.height() / 2.0 + 2));
        legendX -= 12;
    }
}
