#pragma once
// A file size as every screen shows it ("1.6 kB", "29.7 MB"), so the totals of the results and
// of a save read alike.
#include <QLocale>
#include <QString>

#include <cstdint>

namespace salvyn {

inline QString sizeText(std::uint64_t bytes)
{
    return QLocale().formattedDataSize(static_cast<qint64>(bytes), 1, QLocale::DataSizeTraditionalFormat);
}

} // namespace salvyn
