#include "media/blockdevice.h"

#include <gtest/gtest.h>

namespace salvyn {
namespace {

BlockDevice device(const std::string& name, const std::string& type, bool hotPluggable = false)
{
    BlockDevice made;
    made.kernelName = name;
    made.path = "/dev/" + name;
    made.type = type;
    made.hotPluggable = hotPluggable;
    return made;
}

TEST(BlockDeviceChain, VolumeGivesIdentifierNameAndSizeWholeDiskGivesParentAndBus)
{
    BlockDevice partition = device("sdb1", "part", true);
    partition.sizeBytes = 1025;
    partition.label = "CARD";
    partition.fileSystemType = "vfat";
    partition.fileSystemVersion = "FAT32";
    BlockDevice disk = device("sdb", "disk", true);
    disk.sizeBytes = 999999;
    disk.transport = "usb";

    const DiskInfo info = diskInfoFromChain({partition, disk}, {});
    EXPECT_EQ(diskInfoText(info, kDeviceIdentifier), "sdb1");
    EXPECT_EQ(diskInfoText(info, kVolumeName), "CARD");
    EXPECT_EQ(diskInfoText(info, kFilesystemUserVisibleName), "MS-DOS (FAT32)");
    EXPECT_EQ(diskInfoSize(info), 1025u);
    EXPECT_EQ(diskInfoText(info, kParentWholeDisk), "sdb");
    EXPECT_EQ(diskInfoText(info, kBusProtocol), "USB");
    EXPECT_FALSE(info.contains(kOpticalDeviceType));
}

TEST(BlockDeviceChain, UnknownValuesStayAbsent)
{
    const DiskInfo info = diskInfoFromChain({BlockDevice{}}, {});
    EXPECT_TRUE(info.empty());
    EXPECT_TRUE(diskInfoFromChain({}, {}).empty());
}

TEST(BlockDeviceChain, ALoopDeviceAnywhereMakesADiskImage)
{
    BlockDevice disk = device("loop3", "loop");
    disk.transport = "usb";
    EXPECT_EQ(diskInfoText(diskInfoFromChain({device("dm-1", "crypt"), device("loop3p2", "part"), disk}, {}),
                           kBusProtocol),
              "Disk Image");
    EXPECT_EQ(diskInfoText(diskInfoFromChain({device("loop7", "loop")}, {}), kBusProtocol), "Disk Image");
}

TEST(BlockDeviceChain, OnlyOpticalDrivesReportTheirDisc)
{
    const UdevProperties cd{{"ID_CDROM_MEDIA_CD", "1"}};
    EXPECT_EQ(diskInfoText(diskInfoFromChain({device("sr0", "rom", true)}, cd), kOpticalDeviceType), "CD-ROM");
    EXPECT_FALSE(diskInfoFromChain({device("sr0", "rom", true)}, {}).contains(kOpticalDeviceType));
    EXPECT_FALSE(diskInfoFromChain({device("sdb", "disk", true)}, cd).contains(kOpticalDeviceType));
    EXPECT_TRUE(isOpticalDrive({device("sr1", "rom")}));
    EXPECT_EQ(wholeDiskPath({device("sr1", "rom")}), "/dev/sr1");
    EXPECT_EQ(wholeDiskPath({}), "");
}

TEST(BlockDeviceChain, TheWholeDiskDecidesWhetherItCanBeUnplugged)
{
    EXPECT_TRUE(isHotPluggable({device("dm-0", "crypt"), device("sdf2", "part"), device("sdf", "disk", true)}));
    EXPECT_FALSE(isHotPluggable({device("sda1", "part", true), device("sda", "disk")}));
    EXPECT_FALSE(isHotPluggable({}));
}

TEST(BlockDeviceChain, FileSystemNamesAsUsersKnowThem)
{
    EXPECT_EQ(fileSystemUserVisibleName("vfat", "FAT32"), "MS-DOS (FAT32)");
    EXPECT_EQ(fileSystemUserVisibleName("vfat", "FAT16"), "MS-DOS (FAT16)");
    EXPECT_EQ(fileSystemUserVisibleName("vfat", std::nullopt), "MS-DOS (FAT)");
    EXPECT_EQ(fileSystemUserVisibleName("exfat", "1.0"), "ExFAT");
    EXPECT_EQ(fileSystemUserVisibleName("ntfs", std::nullopt), "NTFS");
    EXPECT_EQ(fileSystemUserVisibleName("ext4", "1.0"), "ext4");
    EXPECT_EQ(fileSystemUserVisibleName(std::nullopt, "FAT32"), std::nullopt);
    EXPECT_EQ(fileSystemUserVisibleName("", std::nullopt), std::nullopt);
}

} // namespace
} // namespace salvyn
