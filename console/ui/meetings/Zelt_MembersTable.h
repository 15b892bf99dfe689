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

    // Six columns with their widths; User and Host stay hidden.
    void setUpColumns();
    void showClients(const QList<Zelt_Service_API::ZeltMirrorClientInfo> &clients);
    // The selected client as its row stored it.
    std::optional<Zelt_Service_API::ZeltMirrorClientInfo> selectedClient() const;
    void setSelectedRole(const QString &role);
};
