// A running meeting with 300 participants, polled 100 times: the GUI thread's time per poll to
// record it (the listing's places read, the recorder, one SQLite transaction) and, with the
// Attendance dialog open on its floor map, to refresh the dialog and draw the map.

#include "AttendanceMonitor.h"
#include "BenchSupport.h"
#include "FloorMapView.h"
#include "LivePoll.h"
#include "Zelt_AttendanceDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using Zelt_Service_API::ZeltMeetingInfo;

namespace {
constexpr int Participants = 300;
constexpr int Polls = 100;

// The listing's JSON: one running meeting, everyone moving a little and some talking.
QByteArray listing(QRandomGenerator &random)
{
    QJsonArray clients;
    for (int id = 1; id <= Participants; ++id) {
        const auto vector = [](double x, double y, double z) {
            return QJsonObject{{"x", x}, {"y", y}, {"z", z}};
        };
        clients.append(
            QJsonObject{{"Id", id},
                        {"Alias", QStringLiteral("Guest %1").arg(id)},
                        {"currentRole", id == 1 ? "Presenter" : "User"},
                        {"MeetingId", "Big01"},
                        {"voiceEnabled", true},
                        {"voiceIsTalking", random.bounded(10) == 0},
                        {"Credentials", QJsonObject{{"User", QStringLiteral("guest%1").arg(id)}}},
                        {"Position", vector(id % 20 + random.generateDouble(), 0,
                                            id / 20 + random.generateDouble())},
                        {"Rotation", vector(0, random.bounded(360), 0)}});
    }
    QJsonArray spawns;
    for (int i = 0; i < 4; ++i)
        spawns.append(QJsonObject{{"Id", i},
                                  {"Name", QStringLiteral("Point %1").arg(i)},
                                  {"Position", QJsonObject{{"x", i * 5}, {"y", 0}, {"z", -3}}},
                                  {"Rotation", QJsonObject{{"x", 0}, {"y", 0}, {"z", 0}}}});
    const QJsonObject meeting{
        {"meetingId", "Big01"}, {"statusMirror", 1}, {"clients", clients}, {"spawnPoints", spawns}};
    return QJsonDocument(QJsonArray{meeting}).toJson(QJsonDocument::Compact);
}

struct Figures
{
    QList<double> ms;
    void print(const char *what)
    {
        std::sort(ms.begin(), ms.end());
        std::printf("%-44s median %7.2f ms   max %7.2f ms\n", what, ms.at(ms.size() / 2),
                    ms.last());
    }
};

// Times run once per poll; the reply is parsed as the REST client does before the clock starts.
template <typename Run> Figures timePolls(Run run)
{
    QRandomGenerator random(7);
    Figures figures;
    const QDateTime start = QDateTime::currentDateTime();
    for (int i = 0; i < Polls; ++i) {
        const QByteArray reply = listing(random);
        QList<ZeltMeetingInfo> parsed;
        Zelt_Common_API::zeltReadResult(parsed, QString::fromUtf8(reply));
        QElapsedTimer timer;
        timer.start();
        run(LivePoll::fromListing(parsed, reply, start.addSecs(10 * i)));
        figures.ms << timer.nsecsElapsed() / 1e6;
    }
    return figures;
}
} // namespace

int main(int argc, char *argv[])
{
    BenchSupport::offscreenUnlessChosen();
    QApplication application(argc, argv);
    std::printf("%d polls of one meeting with %d participants\n", Polls, Participants);

    {
        QTemporaryDir dir;
        AttendanceMonitor monitor(dir.path(), 10, 90);
        monitor.setOwner("bench", "http://svc");
        Figures figures = timePolls([&](const LivePoll &poll) { monitor.record(poll); });
        figures.print("record (places, recorder, SQLite)");
    }
    {
        QTemporaryDir dir;
        AttendanceMonitor monitor(dir.path(), 10, 90);
        monitor.setOwner("bench", "http://svc");
        Zelt_AttendanceDialog dialog(&monitor, nullptr);
        dialog.resize(1000, 700);
        dialog.showMeeting("big01", "Big01");
        auto *tabs = dialog.findChild<QTabWidget *>("tabAttendance");
        auto *map = dialog.findChild<FloorMapView *>("floorMap");
        dialog.show();
        tabs->setCurrentIndex(1);
        QImage canvas(map->size(), QImage::Format_ARGB32_Premultiplied);
        Figures figures = timePolls([&](const LivePoll &poll) {
            monitor.record(poll); // the open dialog refreshes its session and map
            map->render(&canvas);
        });
        figures.print("record + dialog refresh + map drawn");
    }
    return 0;
}
