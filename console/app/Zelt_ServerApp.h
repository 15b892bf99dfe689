#pragma once

#include <QMainWindow>

#include <memory>

class ConsoleConfig;

// The console's main window.
class Zelt_ServerApp : public QMainWindow
{
    Q_OBJECT

public:
    explicit Zelt_ServerApp(const QStringList &arguments, QWidget *parent = nullptr);
    ~Zelt_ServerApp() override;

    int getInactivityTime() const;
    const ConsoleConfig &config() const { return *m_config; }

private:
    std::unique_ptr<ConsoleConfig> m_config;
};
