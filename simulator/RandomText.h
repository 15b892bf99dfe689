#pragma once

#include <QString>

namespace VorelSim::RandomText {

// Identifiers and secrets the services hand out; unpredictable, never meaningful.
QString uuid();
QString token(int length); // letters and digits
QString fromAlphabet(const QString &alphabet, int length);

} // namespace VorelSim::RandomText
