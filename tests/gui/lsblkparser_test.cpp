// Recorded lsblk answers, through the parser and the rules of the media list.
#include "media/diskinfo.h"
#include "media/qt/lsblkparser.h"

#include <gtest/gtest.h>

#include <QFile>

#include <filesystem>

namespace salvyn {
namespace {

QByteArray recorded(const char* name)
{
    const auto path = std::filesystem::path(__FILE__).parent_path().parent_path() / "data" / "lsblk" / name;
    QFile file(QString::fromStdString(path.string()));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return file.readAll();
}

DiskInfo propertiesOf(const char* json, const char* udev = nullptr)
{
    const UdevProperties properties = udev ? parseUdevProperties(recorded(udev).toStdString()) : UdevProperties{};
    return diskInfoFromChain(parseLsblkChain(recorded(json)), properties);
}

std::vector<std::string> recordOf(const char* json, const char* udev = nullptr)
{
    const std::optional<MyDataObject> record = find_disk_info(propertiesOf(json, udev));
    if (!record)
        return {};
    return {record->nsStrDiskIdentifier(), record->nsStrVolName(), record->nsStrFileSystem(),
            record->nsStrSize(),           record->nsStrParentDisk(), record->nsStrSectors()};
}

using Texts = std::vector<std::string>;

TEST(RecordedLsblk, UsbStickWithFat32Partition)
{
    EXPECT_EQ(recordOf("usb-stick-fat32-partition.json"),
              (Texts{"sdb1", "KINGSTON", "MS-DOS (FAT32)", "14.84  GB ", "sdb", "31129600"}));
    const DiskInfo properties = propertiesOf("usb-stick-fat32-partition.json");
    EXPECT_EQ(diskInfoText(properties, kBusProtocol), "USB");
    EXPECT_FALSE(properties.contains(kOpticalDeviceType));
    EXPECT_TRUE(isHotPluggable(parseLsblkChain(recorded("usb-stick-fat32-partition.json"))));
}

TEST(RecordedLsblk, UnpartitionedStickIsItsOwnParent)
{
    EXPECT_EQ(recordOf("usb-stick-unpartitioned.json"),
              (Texts{"sdc", "STICK", "MS-DOS (FAT16)", "3.75  GB ", "sdc", "7864320"}));
}

TEST(RecordedLsblk, SdCardInAnInternalReader)
{
    EXPECT_EQ(recordOf("sd-card-mmcblk0p1.json"),
              (Texts{"mmcblk0p1", "EOS_DIGITAL", "MS-DOS (FAT32)", "29.72  GB ", "mmcblk0", "62324736"}));
    EXPECT_EQ(diskInfoText(propertiesOf("sd-card-mmcblk0p1.json"), kBusProtocol), "MMC");
    // Not removable by the kernel's flag, yet it can be taken out.
    EXPECT_TRUE(isHotPluggable(parseLsblkChain(recorded("sd-card-mmcblk0p1.json"))));
}

TEST(RecordedLsblk, ExfatCardWithoutLabelFromAnOlderLsblk)
{
    EXPECT_EQ(recordOf("exfat-card-without-label-old-lsblk.json"),
              (Texts{"sdd1", "Untitled", "ExFAT", "59.45  GB ", "sdd", "124669952"}));
    const BlockDeviceChain chain = parseLsblkChain(recorded("exfat-card-without-label-old-lsblk.json"));
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_TRUE(chain[0].removable);
    EXPECT_TRUE(isHotPluggable(chain));
    EXPECT_EQ(chain[0].mountPoints, (std::vector<std::string>{"/media/anna/3A5F-1C22"}));
    EXPECT_TRUE(chain[1].mountPoints.empty());
}

TEST(RecordedLsblk, LoopDeviceIsADiskImageAndNeverListed)
{
    EXPECT_EQ(diskInfoText(propertiesOf("loop-image-partition.json"), kBusProtocol), "Disk Image");
    EXPECT_TRUE(recordOf("loop-image-partition.json").empty());
    EXPECT_FALSE(isHotPluggable(parseLsblkChain(recorded("loop-image-partition.json"))));
}

TEST(RecordedLsblk, CdIsNeverListedDvdIs)
{
    EXPECT_EQ(diskInfoText(propertiesOf("optical-cd.json", "optical-cd.udev"), kOpticalDeviceType), "CD-ROM");
    EXPECT_TRUE(recordOf("optical-cd.json", "optical-cd.udev").empty());
    EXPECT_EQ(diskInfoText(propertiesOf("optical-dvd.json", "optical-dvd.udev"), kOpticalDeviceType), "DVD-ROM");
    EXPECT_EQ(recordOf("optical-dvd.json", "optical-dvd.udev"),
              (Texts{"sr0", "HOLIDAY_2014", "UDF", "4.38  GB ", "sr0", "9175040"}));
}

TEST(RecordedLsblk, DiskOf8004304896Bytes)
{
    EXPECT_EQ(recordOf("usb-disk-8004304896-bytes.json"),
              (Texts{"sde1", "Backup", "NTFS", "7.45  GB ", "sde", "15633408"}));
    const BlockDeviceChain chain = parseLsblkChain(recorded("usb-disk-8004304896-bytes.json"));
    EXPECT_EQ(chain.front().mountPoints, (std::vector<std::string>{"/media/anna/Backup"}));
}

TEST(RecordedLsblk, EncryptedVolumeFollowsItsChainToTheStick)
{
    EXPECT_EQ(recordOf("usb-encrypted-volume.json"),
              (Texts{"dm-0", "Untitled", "ext4", "29.79  GB ", "sdf", "62484480"}));
    EXPECT_EQ(parseLsblkChain(recorded("usb-encrypted-volume.json")).size(), 3u);
}

TEST(RecordedLsblk, InternalDiskCannotBeUnplugged)
{
    EXPECT_FALSE(isHotPluggable(parseLsblkChain(recorded("internal-disk.json"))));
}

TEST(RecordedLsblk, AnswerWithoutKernelNameGivesNoRecord)
{
    const DiskInfo properties = propertiesOf("answer-without-kname.json");
    EXPECT_FALSE(properties.contains(kDeviceIdentifier));
    EXPECT_EQ(diskInfoText(properties, kVolumeName), "KINGSTON");
    EXPECT_TRUE(recordOf("answer-without-kname.json").empty());
}

TEST(RecordedLsblk, GarbageAndOddDocumentsGiveNothing)
{
    EXPECT_TRUE(parseLsblkChain(recorded("garbage-output.txt")).empty());
    EXPECT_TRUE(recordOf("garbage-output.txt").empty());
    EXPECT_TRUE(parseLsblkChain("").empty());
    EXPECT_TRUE(parseLsblkChain("[1,2,3]").empty());
    EXPECT_TRUE(parseLsblkChain(R"({"blockdevices": []})").empty());
    EXPECT_TRUE(parseLsblkChain(R"({"blockdevices": [7]})").empty());
    EXPECT_TRUE(parseLsblkChain(R"({"blockdevices": {"kname": "sdb1"}})").empty());
}

TEST(RecordedLsblk, SizesThatAreNotWholeBytesReadAsUnknown)
{
    for (const char* size : {"-5", "1.5", "\"12a\"", "\"\"", "true", "null", "1e300"}) {
        const QByteArray json = QByteArray(R"({"blockdevices": [{"kname": "sdb1", "size": )") + size + "}]}";
        const BlockDeviceChain chain = parseLsblkChain(json);
        ASSERT_EQ(chain.size(), 1u) << size;
        EXPECT_EQ(chain[0].sizeBytes, std::nullopt) << size;
    }
    const BlockDeviceChain big = parseLsblkChain(R"({"blockdevices": [{"kname": "sdb", "size": 18000207937536}]})");
    EXPECT_EQ(big[0].sizeBytes, 18000207937536u);
}

TEST(RecordedLsblk, ADeeplyNestedDocumentIsCutShort)
{
    QByteArray json = R"({"blockdevices": [)";
    for (int depth = 0; depth < 100; ++depth)
        json += R"({"kname": "dm", "type": "crypt", "children": [)";
    json += R"({"kname": "sdz", "type": "disk", "hotplug": true})";
    for (int depth = 0; depth < 100; ++depth)
        json += "]}";
    json += "]}";
    const BlockDeviceChain chain = parseLsblkChain(json);
    EXPECT_EQ(chain.size(), 16u);
    EXPECT_FALSE(isHotPluggable(chain));
}

} // namespace
} // namespace salvyn
