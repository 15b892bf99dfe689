#pragma once

#include <QString>

// Meeting passwords are stored and sent only as digests; the editor shows a stored one as a mask.
namespace MeetingPassword {

// Base64 of the SHA-512 digest of the UTF-8 bytes.
QString digest(const QString &plain);
// Eight bullets: stands for a stored password without revealing its length.
QString mask();
// Whether a field still shows the mask (or part of it) rather than something typed.
bool isMasked(const QString &text);

} // namespace MeetingPassword
