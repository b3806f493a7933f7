#pragma once
// The few requests Salvyn makes to the udisks2 service on the system bus, to read a block
// device the user has no right to open. The real bus talks D-Bus; tests answer from a
// script. Calls block until udisks answers, which includes the time the user takes to
// type the administrator password. Any thread.
#include <QString>

namespace salvyn {

class UDisksBus {
public:
    struct Opened {
        int fd = -1;        // owned by the caller when not -1
        QString errorName;  // D-Bus error name when fd is -1
    };

    virtual ~UDisksBus() = default;
    virtual bool isAvailable() = 0;
    // The udisks block object of a device path ("/dev/sdb1"); empty when udisks does not know it.
    virtual QString blockObjectFor(const QString& devicePath) = 0;
    // A descriptor for imaging the device; udisks refuses it while the device is in use.
    virtual Opened openForBackup(const QString& blockObject) = 0;
    // A descriptor opened with mode "r", also for a mounted device.
    virtual Opened openDeviceForReading(const QString& blockObject) = 0;
};

class SystemUDisksBus : public UDisksBus {
public:
    bool isAvailable() override;
    QString blockObjectFor(const QString& devicePath) override;
    Opened openForBackup(const QString& blockObject) override;
    Opened openDeviceForReading(const QString& blockObject) override;
};

} // namespace salvyn
