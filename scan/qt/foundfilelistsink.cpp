#include "scan/qt/foundfilelistsink.h"

#include "results/ui/foundfilelist.h"

#include <QByteArray>
#include <QString>

#include <utility>

namespace salvyn {

void FoundFileListSink::addPhotoBytes(std::span<const std::uint8_t> bytes)
{
    m_photoBytes.append(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

void FoundFileListSink::addImageWithDataAt(const std::string& name, const std::string& uid, std::uint64_t firstSector,
                                           std::uint64_t)
{
    m_images.addImageWithData(std::exchange(m_photoBytes, {}), QString::fromStdString(name),
                              QString::fromStdString(uid), firstSector);
}

void FoundFileListSink::addImageWithData_2(const std::string& name, const std::string& uid,
                                           std::uint64_t firstSector, std::uint64_t endSector)
{
    m_images.addImageWithData_2(QString::fromStdString(name), QString::fromStdString(uid), firstSector, endSector);
}

} // namespace salvyn
