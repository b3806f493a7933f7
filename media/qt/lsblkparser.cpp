#include "media/qt/lsblkparser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <charconv>

namespace salvyn {
namespace {

// No real device stack is deeper; a hostile document must not make the walk unbounded.
constexpr int kMaximumChainLength = 16;

std::optional<std::string> text(const QJsonObject& node, const char* key)
{
    const QJsonValue value = node.value(QLatin1String(key));
    if (!value.isString())
        return std::nullopt;
    return value.toString().toStdString();
}

bool flag(const QJsonObject& node, const char* key)
{
    const QJsonValue value = node.value(QLatin1String(key));
    if (value.isBool())
        return value.toBool();
    if (value.isDouble())
        return value.toDouble() != 0;
    const QString written = value.toString();
    return written == QLatin1String("1") || written == QLatin1String("true");
}

std::optional<std::uint64_t> sizeBytes(const QJsonObject& node)
{
    const QJsonValue value = node.value(QLatin1String("size"));
    if (value.isDouble()) {
        const qint64 bytes = value.toInteger(-1);
        return bytes < 0 ? std::nullopt : std::optional<std::uint64_t>(static_cast<std::uint64_t>(bytes));
    }
    const std::string digits = value.toString().toStdString();
    std::uint64_t bytes = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), bytes);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return bytes;
}

std::vector<std::string> mountPoints(const QJsonObject& node)
{
    std::vector<std::string> points;
    const QJsonValue many = node.value(QLatin1String("mountpoints"));
    const QJsonArray listed = many.isArray() ? many.toArray()
                                             : QJsonArray{node.value(QLatin1String("mountpoint"))};
    for (const QJsonValue& point : listed) {
        if (point.isString() && !point.toString().isEmpty())
            points.push_back(point.toString().toStdString());
    }
    return points;
}

BlockDevice blockDevice(const QJsonObject& node)
{
    BlockDevice device;
    device.kernelName = text(node, "kname");
    device.path = text(node, "path");
    device.type = text(node, "type");
    device.sizeBytes = sizeBytes(node);
    device.transport = text(node, "tran");
    device.removable = flag(node, "rm");
    device.hotPluggable = flag(node, "hotplug");
    device.fileSystemType = text(node, "fstype");
    device.fileSystemVersion = text(node, "fsver");
    device.label = text(node, "label");
    // lsblk writes null for a volume without a label: it reads as an empty name.
    if (!device.label && node.contains(QLatin1String("label")))
        device.label = std::string();
    device.mountPoints = mountPoints(node);
    return device;
}

QJsonObject firstObject(const QJsonValue& list)
{
    const QJsonArray array = list.toArray();
    return array.isEmpty() ? QJsonObject() : array.first().toObject();
}

} // namespace

BlockDeviceChain parseLsblkChain(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return {};
    BlockDeviceChain chain;
    QJsonObject node = firstObject(document.object().value(QLatin1String("blockdevices")));
    while (!node.isEmpty() && chain.size() < kMaximumChainLength) {
        chain.push_back(blockDevice(node));
        node = firstObject(node.value(QLatin1String("children")));
    }
    return chain;
}

} // namespace salvyn
