#include "SimClock.h"

namespace VorelSim {

QDateTime SimClock::now() const
{
    if (m_frozenAt)
        return *m_frozenAt;
    return QDateTime::currentDateTimeUtc().addMSecs(m_offsetMs);
}

void SimClock::freeze()
{
    if (!m_frozenAt)
        m_frozenAt = now();
}

void SimClock::resume()
{
    if (!m_frozenAt)
        return;
    m_offsetMs = QDateTime::currentDateTimeUtc().msecsTo(*m_frozenAt);
    m_frozenAt.reset();
}

void SimClock::advance(qint64 seconds)
{
    if (m_frozenAt)
        m_frozenAt = m_frozenAt->addSecs(seconds);
    else
        m_offsetMs += seconds * 1000;
}

} // namespace VorelSim
