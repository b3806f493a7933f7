#include "scan/qt/foundfilelistsink.h"

#include "results/ui/foundfilelist.h"

#include <QByteArray>
#include <QString>

namespace salvyn {

void FoundFileListSink::addImageWithDataAt(std::span<const std::uint8_t> bytes, const std::string& name,
                                           const std::string& uid, std::uint64_t firstSector)
{
    if (bytes.empty())
        return;
    m_images.addImageWithData(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())),
                              QString::fromStdString(name), QString::fromStdString(uid), firstSector);
}

void FoundFileListSink::addImageWithData_2(const std::string& name, const std::string& uid,
                                           std::uint64_t firstSector, std::uint64_t endSector)
{
    m_images.addImageWithData_2(QString::fromStdString(name), QString::fromStdString(uid), firstSector, endSector);
}

} // namespace salvyn
