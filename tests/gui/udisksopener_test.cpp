#include "platform/qt/udisksopener.h"

#include <gtest/gtest.h>

#include <QtWidgets>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace salvyn {
namespace {

// Stands in for udisks2: knows one device and answers each open as scripted. Descriptors
// come from a temporary file standing in for the device.
struct FakeUDisksBus : UDisksBus {
    explicit FakeUDisksBus(QString backingFile) : backingFile(std::move(backingFile)) {}

    bool isAvailable() override { return calls << QStringLiteral("isAvailable"), available; }
    QString blockObjectFor(const QString& devicePath) override
    {
        calls << QStringLiteral("resolve ") + devicePath;
        return devicePath == QLatin1String("/dev/sdb1") ? QStringLiteral("/org/freedesktop/UDisks2/block_devices/sdb1") : QString();
    }
    Opened openForBackup(const QString& blockObject) override { return calls << QStringLiteral("backup ") + blockObject, answer(backupError, backupMode); }
    Opened openDeviceForReading(const QString& blockObject) override { return calls << QStringLiteral("read ") + blockObject, answer(readError, readMode); }

    bool available = true;
    QString backupError, readError; // empty: the open succeeds
    int backupMode = O_RDONLY, readMode = O_RDONLY;
    QStringList calls;
    int lastHandedOut = -1;
    QString backingFile;

    Opened answer(const QString& error, int mode) { return error.isEmpty() ? Opened{lastHandedOut = ::open(qPrintable(backingFile), mode | O_CLOEXEC), {}} : Opened{-1, error}; }
};

struct UDisksOpenerTest : testing::Test {
    UDisksOpenerTest()
    {
        QFile device(dir.filePath(QStringLiteral("sdb1")));
        EXPECT_TRUE(device.open(QIODevice::WriteOnly) && device.write("SECTOR-0") == 8);
        auto fake = std::make_unique<FakeUDisksBus>(device.fileName());
        bus = fake.get();
        opener = std::make_unique<UDisksOpener>(std::move(fake));
    }

    static std::string firstBytes(int fd) { char bytes[8] = {}; return ::pread(fd, bytes, 8, 0) == 8 ? std::string(bytes, 8) : std::string(); }

    QTemporaryDir dir;
    FakeUDisksBus* bus = nullptr;
    std::unique_ptr<UDisksOpener> opener;
};

TEST_F(UDisksOpenerTest, TheBackupDescriptorOrForAMountedDeviceTheReadingOneIsHandedOver)
{
    for (const char* backupError : {"", "org.freedesktop.UDisks2.Error.Failed"}) {
        bus->calls.clear();
        bus->backupError = QString::fromLatin1(backupError);
        const int fd = opener->openReadOnly("/dev/sdb1");
        ASSERT_GE(fd, 0);
        EXPECT_EQ(firstBytes(fd), "SECTOR-0");
        EXPECT_EQ(::fcntl(fd, F_GETFL) & O_ACCMODE, O_RDONLY);
        ::close(fd);
        EXPECT_EQ(bus->calls.last(), (*backupError ? "read " : "backup ") + QStringLiteral("/org/freedesktop/UDisks2/block_devices/sdb1"));
    }
}

// Every refusal is a plain EACCES; a user who declined is not asked again, and a descriptor
// that could write is closed.
TEST_F(UDisksOpenerTest, RefusalsDeclinesAndWritableDescriptorsGiveNoDescriptor)
{
    const QString failed = QStringLiteral("org.freedesktop.UDisks2.Error.Failed");
    const std::tuple<QString, QString, int, int, bool> cases[] = {
        {QStringLiteral("org.freedesktop.UDisks2.Error.NotAuthorizedDismissed"), {}, O_RDONLY, O_RDONLY, false},
        {QStringLiteral("org.freedesktop.UDisks2.Error.NotAuthorizedCanObtain"), {}, O_RDONLY, O_RDONLY, false},
        {QStringLiteral("org.freedesktop.UDisks2.Error.NotAuthorized"), {}, O_RDONLY, O_RDONLY, false},
        {failed, QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"), O_RDONLY, O_RDONLY, true},
        {{}, {}, O_RDWR, O_RDONLY, false},
        {failed, {}, O_RDONLY, O_WRONLY, true}};
    for (const auto& [backupError, readError, backupMode, readMode, readAsked] : cases) {
        SCOPED_TRACE(backupError.toStdString() + readError.toStdString() + std::to_string(backupMode + 10 * readMode));
        bus->backupError = backupError, bus->readError = readError, bus->backupMode = backupMode, bus->readMode = readMode;
        bus->lastHandedOut = -1;
        errno = 0;
        EXPECT_EQ(opener->openReadOnly("/dev/sdb1"), -1);
        EXPECT_EQ(errno, EACCES);
        EXPECT_EQ(bus->calls.last().startsWith(QLatin1String("read ")), readAsked);
        EXPECT_TRUE(bus->lastHandedOut < 0 || ::fcntl(bus->lastHandedOut, F_GETFD) == -1); // closed again
    }
}

TEST_F(UDisksOpenerTest, WithoutUdisksOrForOtherPathsNothingIsAsked)
{
    bus->available = false;
    errno = 0;
    EXPECT_EQ(opener->openReadOnly("/dev/sdb1"), -1);
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(bus->calls, QStringList{"isAvailable"});

    bus->available = true, bus->calls.clear();
    EXPECT_EQ(opener->openReadOnly("/home/anna/card.img"), -1);
    EXPECT_EQ(opener->openReadOnly("dev/sdb1"), -1);
    EXPECT_TRUE(bus->calls.isEmpty());

    EXPECT_EQ(opener->openReadOnly("/dev/sdq9"), -1);
    EXPECT_EQ(bus->calls, (QStringList{"isAvailable", "resolve /dev/sdq9"}));
}

TEST_F(UDisksOpenerTest, ScanAndPreviewMayAskAtTheSameTime)
{
    std::atomic<int> opened{0};
    {
        std::vector<std::jthread> askers;
        for (int asker = 0; asker < 4; ++asker)
            askers.emplace_back([&] {
                for (int attempt = 0; attempt < 25; ++attempt) {
                    const int fd = opener->openReadOnly("/dev/sdb1");
                    opened += fd >= 0 && firstBytes(fd) == "SECTOR-0";
                    ::close(fd);
                }
            });
    }
    EXPECT_EQ(opened.load(), 100);
    EXPECT_EQ(bus->calls.size(), 300);
}

TEST(UDisksPrivilegedOpen, DeclinesQuietlyWhereUdisksCannotHelp)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "Qt's D-Bus connection thread is not built for ThreadSanitizer";
#endif
    // A device udisks2 does not know, no udisks2, or no system bus at all (as in CI): a plain refusal.
    const RawSectorOpener::PrivilegedOpen open = udisksPrivilegedOpen();
    errno = 0;
    EXPECT_EQ(open("/dev/salvyn-no-such-device"), -1);
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(open("relative/path"), -1);
}

} // namespace
} // namespace salvyn
