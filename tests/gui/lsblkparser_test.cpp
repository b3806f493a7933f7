// Recorded lsblk answers, through the parser and the rules of the media list; the real
// provider and the utility runner it asks.
#include "media/diskinfo.h"
#include "media/qt/diskinfoprovider.h"
#include "media/qt/lsblkparser.h"
#include "media/qt/systemcommand.h"

#include <gtest/gtest.h>

#include <QtWidgets>

#include <filesystem>

using namespace std::chrono_literals;

namespace salvyn {
namespace {

QByteArray recorded(const char* name)
{
    // The test folder as the build knows it: __FILE__ may be relative to wherever the compiler ran.
    const auto path = std::filesystem::path(QT_TESTCASE_SOURCEDIR) / "data" / "lsblk" / name;
    QFile file(QString::fromStdString(path.string()));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return file.readAll();
}

DiskInfo propertiesOf(const char* json, const char* udev = nullptr)
{
    const UdevProperties properties = udev ? parseUdevProperties(recorded(udev).toStdString()) : UdevProperties{};
    return diskInfoFromChain(parseLsblkChain(recorded(json)), properties);
}

using Texts = std::vector<std::string>;

Texts recordOf(const char* json, const char* udev = nullptr)
{
    const std::optional<MyDataObject> r = find_disk_info(propertiesOf(json, udev));
    return r ? Texts{r->nsStrDiskIdentifier(), r->nsStrVolName(), r->nsStrFileSystem(), r->nsStrSize(), r->nsStrParentDisk(), r->nsStrSectors()}
             : Texts{};
}

struct Recording {
    const char* json;
    const char* udev;
    Texts record;                        // empty: never listed
    std::optional<std::string> optical;  // the disc in an optical drive
    const char* bus;                     // nullptr: not asked
    int hotPluggable;                    // -1: not asked
};

TEST(RecordedLsblk, EachRecordingGivesItsRecordOrNone)
{
    const Recording recordings[] = {
        {"usb-stick-fat32-partition.json", nullptr,
         {"sdb1", "KINGSTON", "MS-DOS (FAT32)", "14.84  GB ", "sdb", "31129600"}, {}, "USB", 1},
        // An unpartitioned stick is its own parent.
        {"usb-stick-unpartitioned.json", nullptr, {"sdc", "STICK", "MS-DOS (FAT16)", "3.75  GB ", "sdc", "7864320"},
         {}, nullptr, -1},
        // Not removable by the kernel's flag, yet it can be taken out.
        {"sd-card-mmcblk0p1.json", nullptr,
         {"mmcblk0p1", "EOS_DIGITAL", "MS-DOS (FAT32)", "29.72  GB ", "mmcblk0", "62324736"}, {}, "MMC", 1},
        {"exfat-card-without-label-old-lsblk.json", nullptr,
         {"sdd1", "Untitled", "ExFAT", "59.45  GB ", "sdd", "124669952"}, {}, nullptr, 1},
        {"loop-image-partition.json", nullptr, {}, {}, "Disk Image", 0},
        {"optical-cd.json", "optical-cd.udev", {}, "CD-ROM", nullptr, -1},
        {"optical-dvd.json", "optical-dvd.udev", {"sr0", "HOLIDAY_2014", "UDF", "4.38  GB ", "sr0", "9175040"},
         "DVD-ROM", nullptr, -1},
        {"usb-disk-8004304896-bytes.json", nullptr, {"sde1", "Backup", "NTFS", "7.45  GB ", "sde", "15633408"}, {},
         nullptr, -1},
        // An encrypted volume follows its chain to the stick.
        {"usb-encrypted-volume.json", nullptr, {"dm-0", "Untitled", "ext4", "29.79  GB ", "sdf", "62484480"}, {},
         nullptr, -1},
        {"garbage-output.txt", nullptr, {}, {}, nullptr, -1},
    };
    for (const Recording& recording : recordings) {
        SCOPED_TRACE(recording.json);
        const DiskInfo properties = propertiesOf(recording.json, recording.udev);
        EXPECT_EQ(recordOf(recording.json, recording.udev), recording.record);
        EXPECT_EQ(diskInfoText(properties, kOpticalDeviceType), recording.optical);
        if (recording.bus) {
            EXPECT_EQ(diskInfoText(properties, kBusProtocol), recording.bus);
        }
        if (recording.hotPluggable >= 0) {
            EXPECT_EQ(isHotPluggable(parseLsblkChain(recorded(recording.json))), recording.hotPluggable == 1);
        }
    }
}

TEST(RecordedLsblk, ChainsAndMountPoints)
{
    const BlockDeviceChain exfat = parseLsblkChain(recorded("exfat-card-without-label-old-lsblk.json"));
    ASSERT_EQ(exfat.size(), 2u);
    EXPECT_TRUE(exfat[0].removable);
    EXPECT_EQ(exfat[0].mountPoints, (std::vector<std::string>{"/media/anna/3A5F-1C22"}));
    EXPECT_TRUE(exfat[1].mountPoints.empty());
    const BlockDeviceChain disk = parseLsblkChain(recorded("usb-disk-8004304896-bytes.json"));
    EXPECT_EQ(disk.front().mountPoints, (std::vector<std::string>{"/media/anna/Backup"}));
    EXPECT_EQ(parseLsblkChain(recorded("usb-encrypted-volume.json")).size(), 3u);
    EXPECT_FALSE(isHotPluggable(parseLsblkChain(recorded("internal-disk.json"))));
    // An answer without a kernel name gives no record.
    const DiskInfo nameless = propertiesOf("answer-without-kname.json");
    EXPECT_FALSE(nameless.contains(kDeviceIdentifier));
    EXPECT_EQ(diskInfoText(nameless, kVolumeName), "KINGSTON");
    EXPECT_TRUE(recordOf("answer-without-kname.json").empty());
}

TEST(RecordedLsblk, GarbageAndOddDocumentsGiveNothingOddSizesReadAsUnknownDeepNestingIsCutShort)
{
    for (const QByteArray& json : {recorded("garbage-output.txt"), QByteArray(), QByteArray("[1,2,3]"),
                                   QByteArray(R"({"blockdevices": []})"), QByteArray(R"({"blockdevices": [7]})"),
                                   QByteArray(R"({"blockdevices": {"kname": "sdb1"}})")})
        EXPECT_TRUE(parseLsblkChain(json).empty()) << json.toStdString();
    // Sizes that are not whole bytes read as unknown.
    for (const char* size : {"-5", "1.5", "\"12a\"", "\"\"", "true", "null", "1e300"}) {
        const QByteArray json = QByteArray(R"({"blockdevices": [{"kname": "sdb1", "size": )") + size + "}]}";
        const BlockDeviceChain chain = parseLsblkChain(json);
        ASSERT_EQ(chain.size(), 1u) << size;
        EXPECT_EQ(chain[0].sizeBytes, std::nullopt) << size;
    }
    const BlockDeviceChain big = parseLsblkChain(R"({"blockdevices": [{"kname": "sdb", "size": 18000207937536}]})");
    EXPECT_EQ(big[0].sizeBytes, 18000207937536u);
    // A deeply nested document is cut short.
    const BlockDeviceChain chain = parseLsblkChain(
        R"({"blockdevices": [)" + QByteArray(R"({"kname": "dm", "type": "crypt", "children": [)").repeated(100)
        + R"({"kname": "sdz", "type": "disk", "hotplug": true})" + QByteArray("]}").repeated(100) + "]}");
    EXPECT_EQ(chain.size(), 16u);
    EXPECT_FALSE(isHotPluggable(chain));
}

// As a card's folder looks once the card has been unmounted: the disk below it (the system
// disk) must not be described in the card's place; nor is anything without a device node.
TEST(LsblkDiskInfoProvider, DesignatorsThatAreNoMountedDeviceDescribeNothing)
{
    QTemporaryDir leftBehind;
    for (const QString& designator : {leftBehind.path(), leftBehind.path() + QStringLiteral("/gone"),
                                      QStringLiteral("/proc"), QString(), QStringLiteral("/dev/salvyn-no-such-device")})
        EXPECT_TRUE(LsblkDiskInfoProvider().diskInfo(designator).empty()) << designator.toStdString();
}

TEST(SystemCommand, AnswersWhatTheUtilityWroteOrNothingWhenItCannotRun)
{
    // No shell: the quote, the semicolon and the dollar reach the utility unchanged.
    EXPECT_EQ(runSystemCommand(QStringLiteral("echo"), {QStringLiteral("a'b; $HOME")}), QByteArray("a'b; $HOME\n"));
    EXPECT_EQ(runSystemCommand(QStringLiteral("false"), {}), QByteArray()) << "a failing utility still answers";
    EXPECT_FALSE(runSystemCommand(QStringLiteral("salvyn-no-such-utility"), {}));
    EXPECT_FALSE(runSystemCommand(QStringLiteral("sleep"), {QStringLiteral("30")}, 50ms));
}

} // namespace
} // namespace salvyn
