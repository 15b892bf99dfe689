#include "Zelt_ServerApp.h"

#include "ConsoleConfig.h"

Zelt_ServerApp::Zelt_ServerApp(const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent), m_config(std::make_unique<ConsoleConfig>(arguments))
{
}

Zelt_ServerApp::~Zelt_ServerApp() = default;

int Zelt_ServerApp::getInactivityTime() const
{
    return m_config->getInactivityTime();
}
