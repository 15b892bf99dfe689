#pragma once

#include "meeting/ZeltMeeting.h"
#include "service/ZeltMeetingInfo.h"

#include <QMap>
#include <QTableWidget>

// The meetings table: one row per meeting in key order, decorated with the live state.
class Zelt_MeetingsTable : public QTableWidget
{
    Q_OBJECT

public:
    explicit Zelt_MeetingsTable(QWidget *parent = nullptr);

    // Eight columns, each as wide as its header, the title taking the free width; the Creator
    // column starts hidden. Once set up, the columns keep their widths.
    void setUpColumns();
    // The Creator column, for those who see other users' meetings.
    void showCreatorColumn();
    void showMeetings(const QMap<QString, Zelt_MeetingService_API::ZeltMeeting> &meetings);
    // Status, time left and users of the running meetings; rows without live info keep their
    // status image.
    void showLiveState(const QMap<QString, Zelt_MeetingService_API::ZeltMeeting> &meetings,
                       const QMap<QString, Zelt_Service_API::ZeltMeetingInfo> &info,
                       const QDateTime &now);
    // The key of the selected meeting, empty without a selection.
    QString selectedKey() const;

private:
    QString keyOfRow(int row) const;
};
