#include "platform/qt/udisksopener.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <cerrno>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace salvyn {
namespace {

// Stands in for udisks2: knows one device and answers each open as scripted. Descriptors
// come from a temporary file standing in for the device.
class FakeUDisksBus : public UDisksBus {
public:
    explicit FakeUDisksBus(std::string backingFile) : m_backingFile(std::move(backingFile)) {}

    bool isAvailable() override { return calls << QStringLiteral("isAvailable"), available; }
    QString blockObjectFor(const QString& devicePath) override
    {
        calls << QStringLiteral("resolve ") + devicePath;
        return devicePath == QLatin1String("/dev/sdb1") ? QStringLiteral("/org/freedesktop/UDisks2/block_devices/sdb1")
                                                        : QString();
    }
    Opened openForBackup(const QString& blockObject) override
    {
        return calls << QStringLiteral("backup ") + blockObject, answer(backupError, backupMode);
    }
    Opened openDeviceForReading(const QString& blockObject) override
    {
        return calls << QStringLiteral("read ") + blockObject, answer(readError, readMode);
    }

    bool available = true;
    QString backupError, readError; // empty: the open succeeds
    int backupMode = O_RDONLY, readMode = O_RDONLY;
    QStringList calls;
    int lastHandedOut = -1;

private:
    Opened answer(const QString& error, int mode)
    {
        if (!error.isEmpty())
            return {-1, error};
        return {lastHandedOut = ::open(m_backingFile.c_str(), mode | O_CLOEXEC), {}};
    }

    std::string m_backingFile;
};

class UDisksOpenerTest : public testing::Test {
protected:
    UDisksOpenerTest()
    {
        QFile device(dir.filePath(QStringLiteral("sdb1")));
        EXPECT_TRUE(device.open(QIODevice::WriteOnly) && device.write("SECTOR-0") == 8);
        auto fake = std::make_unique<FakeUDisksBus>(device.fileName().toStdString());
        bus = fake.get();
        opener = std::make_unique<UDisksOpener>(std::move(fake));
    }

    static std::string firstBytes(int fd)
    {
        char bytes[8] = {};
        return ::pread(fd, bytes, sizeof bytes, 0) == 8 ? std::string(bytes, sizeof bytes) : std::string();
    }

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
    bus->readError = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");
    errno = 0;
    EXPECT_EQ(opener->openReadOnly("/dev/sdb1"), -1) << "both opens failing";
    EXPECT_EQ(errno, EACCES);
}

TEST_F(UDisksOpenerTest, AUserWhoDeclinesIsAskedOnlyOnce)
{
    for (const char* refusal : {"org.freedesktop.UDisks2.Error.NotAuthorizedDismissed",
                                "org.freedesktop.UDisks2.Error.NotAuthorizedCanObtain",
                                "org.freedesktop.UDisks2.Error.NotAuthorized"}) {
        bus->calls.clear();
        bus->backupError = QString::fromLatin1(refusal);
        errno = 0;
        EXPECT_EQ(opener->openReadOnly("/dev/sdb1"), -1) << refusal;
        EXPECT_EQ(errno, EACCES);
        EXPECT_FALSE(bus->calls.last().startsWith(QLatin1String("read "))) << refusal;
    }
}

TEST_F(UDisksOpenerTest, ADescriptorThatCouldWriteIsClosedAndRefused)
{
    bus->backupMode = O_RDWR;
    errno = 0;
    EXPECT_EQ(opener->openReadOnly("/dev/sdb1"), -1);
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(::fcntl(bus->lastHandedOut, F_GETFD), -1);

    bus->backupError = QStringLiteral("org.freedesktop.UDisks2.Error.Failed");
    bus->readMode = O_WRONLY;
    EXPECT_EQ(opener->openReadOnly("/dev/sdb1"), -1);
    EXPECT_EQ(::fcntl(bus->lastHandedOut, F_GETFD), -1);
}

TEST_F(UDisksOpenerTest, WithoutUdisksOrForOtherPathsNothingIsAsked)
{
    bus->available = false;
    errno = 0;
    EXPECT_EQ(opener->openReadOnly("/dev/sdb1"), -1);
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(bus->calls, QStringList{"isAvailable"});

    bus->available = true;
    bus->calls.clear();
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
