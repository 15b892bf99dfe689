#pragma once

#include "service/ZeltMirrorClientInfo.h"

#include <QList>
#include <QTableWidget>

#include <optional>

// The clients of the selected running meeting, each row holding its client as JSON.
class Zelt_MembersTable : public QTableWidget
{
    Q_OBJECT

public:
    explicit Zelt_MembersTable(QWidget *parent = nullptr);

    // Six columns, each as wide as its header, the alias taking the free width; User and Host
    // stay hidden. Once set up, the columns keep their widths.
    void setUpColumns();
    // The clients of the meeting with that key, in list order.
    void showClients(const QString &meetingKey,
                     const QList<Zelt_Service_API::ZeltMirrorClientInfo> &clients);
    // The selected client as its row stored it.
    std::optional<Zelt_Service_API::ZeltMirrorClientInfo> selectedClient() const;
    void setSelectedRole(const QString &role);
    // Selects the row of the client with this id; nothing when none has it.
    void selectClient(qint32 clientId);

private:
    QString shownMeeting;
};
