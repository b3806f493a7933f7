#include "platform/qt/udisksbus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QVariantMap>

#include <fcntl.h>

namespace salvyn {
namespace {

const QString kService = QStringLiteral("org.freedesktop.UDisks2");
const QString kBlockInterface = QStringLiteral("org.freedesktop.UDisks2.Block");
// Long enough for the user to read the password question and answer it.
constexpr int kAuthorizationTimeoutMs = 5 * 60 * 1000;

UDisksBus::Opened descriptorFrom(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {-1, reply.errorName()};
    const auto descriptor = qdbus_cast<QDBusUnixFileDescriptor>(reply.arguments().constFirst());
    if (!descriptor.isValid())
        return {-1, QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs")};
    // The message owns its descriptor; ours must outlive it.
    return {::fcntl(descriptor.fileDescriptor(), F_DUPFD_CLOEXEC, 0), {}};
}

UDisksBus::Opened callOpen(const QString& blockObject, const QString& method, const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, blockObject, kBlockInterface, method);
    call.setArguments(arguments);
    call.setInteractiveAuthorizationAllowed(true);
    return descriptorFrom(QDBusConnection::systemBus().call(call, QDBus::Block, kAuthorizationTimeoutMs));
}

} // namespace

bool SystemUDisksBus::isAvailable()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected() || !(bus.connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing))
        return false;
    QDBusConnectionInterface* daemon = bus.interface();
    return daemon != nullptr
        && (daemon->isServiceRegistered(kService).value()
            || daemon->activatableServiceNames().value().contains(kService));
}

QString SystemUDisksBus::blockObjectFor(const QString& devicePath)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/UDisks2/Manager"),
                                                       QStringLiteral("org.freedesktop.UDisks2.Manager"),
                                                       QStringLiteral("ResolveDevice"));
    call.setArguments({QVariantMap{{QStringLiteral("path"), devicePath}}, QVariantMap{}});
    const QDBusMessage reply = QDBusConnection::systemBus().call(call);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    const auto objects = qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().constFirst());
    return objects.isEmpty() ? QString() : objects.constFirst().path();
}

UDisksBus::Opened SystemUDisksBus::openForBackup(const QString& blockObject)
{
    return callOpen(blockObject, QStringLiteral("OpenForBackup"), {QVariantMap{}});
}

UDisksBus::Opened SystemUDisksBus::openDeviceForReading(const QString& blockObject)
{
    return callOpen(blockObject, QStringLiteral("OpenDevice"), {QStringLiteral("r"), QVariantMap{}});
}

} // namespace salvyn
