#pragma once

#include <QString>

// How byte counts are shown. Two house styles exist: the transfer displays show KB whole and
// MB/GB with two decimals; the lists show a whole number, stepping up while above 1024.
namespace SizeText {
enum class Unit
{
    KB,
    MB,
    GB
};

struct Scaled
{
    QString number;
    Unit unit;
};

// KB below 1024 KB (no decimals), MB below 1024 MB, else GB (two decimals).
Scaled transferSize(qint64 bytes);
// "N KB", "N MB", "N GB" or "N TB": kilobytes divided by 1024 while strictly above 1024.
QString listSize(qint64 bytes);
} // namespace SizeText
