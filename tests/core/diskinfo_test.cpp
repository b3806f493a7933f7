// What a medium is: udev's answer, the chain of block devices below a volume, and the
// media-list record made from the resulting description, with its size texts and cells.
#include "media/blockdevice.h"
#include "media/diskinfo.h"
#include "media/mydataobject.h"
#include "media/udevproperties.h"

#include <gtest/gtest.h>

#include <functional>

namespace salvyn {
namespace {

TEST(UdevProperties, ReadsKeyValueLines)
{
    const UdevProperties properties =
        parseUdevProperties("DEVNAME=/dev/sr0\r\nID_FS_LABEL=A=B\nnot a property\n=nokey\nID_CDROM=1");
    EXPECT_EQ(properties, (UdevProperties{{"DEVNAME", "/dev/sr0"}, {"ID_FS_LABEL", "A=B"}, {"ID_CDROM", "1"}}));
    EXPECT_TRUE(parseUdevProperties("").empty());
}

// The disc decides, not what the drive could read.
TEST(UdevProperties, OpticalTypeOfTheDiscInTheDrive)
{
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        // A DVD writer holding a pressed CD.
        {"ID_CDROM=1\nID_CDROM_DVD=1\nID_CDROM_DVD_R=1\nID_CDROM_BD=1\nID_CDROM_MEDIA=1\nID_CDROM_MEDIA_CD=1\n", "CD-ROM"},
        {"ID_CDROM_MEDIA_CD_RW=1\n", "CD-RW"},
        {"ID_CDROM_MEDIA_DVD=1\n", "DVD-ROM"},
        {"ID_CDROM_MEDIA_DVD_PLUS_RW=1\n", "DVD+RW"},
        {"ID_CDROM_MEDIA_BD_RE=1\n", "BD-RE"},
        {"ID_CDROM=1\nID_CDROM_CD=1\nID_CDROM_DVD=1\n", std::nullopt}, // no disc
        {"ID_CDROM_MEDIA_MO=1\n", std::nullopt},
    };
    for (const auto& [udev, expected] : cases)
        EXPECT_EQ(opticalDeviceType(parseUdevProperties(udev)), expected) << udev;
}

BlockDevice device(const std::string& name, const std::string& type, bool hotPluggable = false)
{
    BlockDevice made;
    made.kernelName = name; made.path = "/dev/" + name; made.type = type; made.hotPluggable = hotPluggable;
    return made;
}

TEST(BlockDeviceChain, VolumeGivesIdentifierNameAndSizeWholeDiskGivesParentAndBus)
{
    BlockDevice partition = device("sdb1", "part", true), disk = device("sdb", "disk", true);
    partition.sizeBytes = 1025; partition.label = "CARD"; partition.fileSystemType = "vfat"; partition.fileSystemVersion = "FAT32";
    disk.sizeBytes = 999999; disk.transport = "usb";
    const DiskInfo info = diskInfoFromChain({partition, disk}, {});
    std::string texts;
    for (const auto& key : {kDeviceIdentifier, kVolumeName, kFilesystemUserVisibleName, kParentWholeDisk, kBusProtocol})
        texts += diskInfoText(info, key).value_or("-") + "|";
    EXPECT_EQ(texts, "sdb1|CARD|MS-DOS (FAT32)|sdb|USB|");
    EXPECT_EQ(diskInfoSize(info), 1025u);
    EXPECT_FALSE(info.contains(kOpticalDeviceType));
    // Unknown values stay absent.
    EXPECT_TRUE(diskInfoFromChain({BlockDevice{}}, {}).empty());
    EXPECT_TRUE(diskInfoFromChain({}, {}).empty());
}

TEST(BlockDeviceChain, LoopDevicesOpticalDrivesAndUnplugging)
{
    // A loop device anywhere makes a disk image.
    BlockDevice loop = device("loop3", "loop");
    loop.transport = "usb";
    const DiskInfo image = diskInfoFromChain({device("dm-1", "crypt"), device("loop3p2", "part"), loop}, {});
    EXPECT_EQ(diskInfoText(image, kBusProtocol), "Disk Image");
    EXPECT_EQ(diskInfoText(diskInfoFromChain({device("loop7", "loop")}, {}), kBusProtocol), "Disk Image");

    // Only optical drives report their disc.
    const UdevProperties cd{{"ID_CDROM_MEDIA_CD", "1"}};
    EXPECT_EQ(diskInfoText(diskInfoFromChain({device("sr0", "rom", true)}, cd), kOpticalDeviceType), "CD-ROM");
    EXPECT_FALSE(diskInfoFromChain({device("sr0", "rom", true)}, {}).contains(kOpticalDeviceType));
    EXPECT_FALSE(diskInfoFromChain({device("sdb", "disk", true)}, cd).contains(kOpticalDeviceType));
    EXPECT_TRUE(isOpticalDrive({device("sr1", "rom")}));
    EXPECT_EQ(wholeDiskPath({device("sr1", "rom")}), "/dev/sr1");
    EXPECT_EQ(wholeDiskPath({}), "");

    // The whole disk decides whether it can be unplugged.
    EXPECT_TRUE(isHotPluggable({device("dm-0", "crypt"), device("sdf2", "part"), device("sdf", "disk", true)}));
    EXPECT_FALSE(isHotPluggable({device("sda1", "part", true), device("sda", "disk")}));
    EXPECT_FALSE(isHotPluggable({}));
}

TEST(BlockDeviceChain, FileSystemNamesAsUsersKnowThem)
{
    using Text = std::optional<std::string>;
    const Text none;
    const std::tuple<Text, Text, Text> cases[] = {
        {"vfat", "FAT32", "MS-DOS (FAT32)"}, {"vfat", "FAT16", "MS-DOS (FAT16)"}, {"vfat", none, "MS-DOS (FAT)"},
        {"exfat", "1.0", "ExFAT"}, {"ntfs", none, "NTFS"}, {"ext4", "1.0", "ext4"}, {none, "FAT32", none}, {"", none, none}};
    for (const auto& [type, version, name] : cases)
        EXPECT_EQ(fileSystemUserVisibleName(type, version), name) << type.value_or("-");
}

// A USB stick's volume, changed by `change`.
DiskInfo usbVolume(const std::function<void(DiskInfo&)>& change = [](DiskInfo&) {})
{
    DiskInfo info{{kDeviceIdentifier, std::string("sdb1")}, {kVolumeName, std::string("KINGSTON")},
                  {kFilesystemUserVisibleName, std::string("MS-DOS (FAT32)")}, {kIOKitSize, std::uint64_t{8004304896}},
                  {kParentWholeDisk, std::string("sdb")}, {kBusProtocol, std::string("USB")}};
    change(info);
    return info;
}

// The record's six texts in field order, or nothing when no record is made.
std::vector<std::string> recordTexts(const DiskInfo& info)
{
    const auto record = find_disk_info(info);
    if (!record)
        return {};
    return {record->nsStrDiskIdentifier(), record->nsStrVolName(), record->nsStrFileSystem(), record->nsStrSize(),
            record->nsStrParentDisk(), record->nsStrSectors()};
}

using Texts = std::vector<std::string>;

TEST(FindDiskInfo, MakesTheRecordInFieldOrderWithSizeTextAndSectors)
{
    const Texts usb{"sdb1", "KINGSTON", "MS-DOS (FAT32)", "7.45  GB ", "sdb", "15633408"};
    EXPECT_EQ(recordTexts(usbVolume()), usb);
    const auto set = [](const std::string& key, DiskInfoValue value) {
        return usbVolume([=](DiskInfo& info) { info[key] = value; });
    };
    const auto without = [](const std::string& key) { return usbVolume([=](DiskInfo& info) { info.erase(key); }); };
    const auto withName = [&](const char* name) { Texts texts = usb; texts[1] = name; return texts; };
    // An empty name is Untitled; an absent one stays empty.
    EXPECT_EQ(recordTexts(set(kVolumeName, std::string())), withName("Untitled"));
    EXPECT_EQ(recordTexts(without(kVolumeName)), withName(""));
    // An absent or mistyped size reads as zero and the record is still made.
    const auto sizeTexts = [](const DiskInfo& info) { return recordTexts(info)[3] + recordTexts(info)[5]; };
    EXPECT_EQ(sizeTexts(without(kIOKitSize)), "0.00 bytes 0");
    EXPECT_EQ(sizeTexts(set(kIOKitSize, std::string("8004304896"))), "0.00 bytes 0");
    EXPECT_EQ(sizeTexts(set(kIOKitSize, std::uint64_t{1000})), "1000.00 bytes 1");
    // Absent file system and parent show as empty texts.
    EXPECT_EQ(recordTexts(DiskInfo{{kDeviceIdentifier, std::string("sdc")}}), (Texts{"sdc", "", "", "0.00 bytes ", "", "0"}));
    // Without an identifier there is no record, whatever the rest.
    EXPECT_EQ(recordTexts(without(kDeviceIdentifier)), Texts{});
    EXPECT_EQ(recordTexts(set(kDeviceIdentifier, std::string())), Texts{});
    EXPECT_EQ(recordTexts(set(kDeviceIdentifier, std::uint64_t{1})), Texts{});
    EXPECT_EQ(recordTexts(DiskInfo{}), Texts{});
}

TEST(FindDiskInfo, NeverOffersDiskImagesOrCdMediaButKeepsDvds)
{
    const auto offered = [](const std::string& key, const char* value) {
        return find_disk_info(usbVolume([=](DiskInfo& info) { info[key] = std::string(value); })).has_value();
    };
    EXPECT_FALSE(offered(kBusProtocol, "Disk Image"));
    EXPECT_TRUE(offered(kBusProtocol, "Disk Image "));
    for (const char* cd : {"CD-ROM", "CD-R", "CD-RW", "HD-CD"})
        EXPECT_FALSE(offered(kOpticalDeviceType, cd)) << cd;
    for (const char* kept : {"DVD-ROM", "DVD+RW", "BD-ROM", "cd-rom"})
        EXPECT_TRUE(offered(kOpticalDeviceType, kept)) << kept;
}

TEST(MediaSizeText, UnitsStepUpOnlyAboveTheirLimit)
{
    const std::pair<const char*, const char*> cases[] = {
        {"0", "0.00 bytes "},
        {"1024", "1024.00 bytes "},         // strictly greater moves on
        {"1025", "1.00  KB "},
        {"1048577", "1.00  MB "},
        {"8004304896", "7.45  GB "},
        {"1099511627777", "1024.00  GB "},  // one byte more is lost in single precision
        {"1099511758848", "1.00  TB "},    // the next float above 2^40
        {"2251799813685248", "2048.00  TB "}, // 2^51: nothing above TB
        {"1208925819614629174706176", "1099511627776.00  TB "}, // 2^80 bytes, printed in full
        // Text is read as its leading number.
        {"size", "0.00 bytes "},
        {"  2048 bytes", "2.00  KB "},
        {"1536.5", "1.50  KB "},
        {"%s%n", "0.00 bytes "},
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(getMPSize(bytes), expected) << bytes;
}

TEST(MediaSectorCount, WholeSectorsRoundedDown)
{
    for (const auto& [bytes, sectors] : {std::pair<std::uint64_t, const char*>{0, "0"}, {511, "0"}, {1000, "1"},
                                         {8004304896, "15633408"}, {18446744073709551615ull, "36028797018963967"}})
        EXPECT_EQ(sectorCountText(bytes), sectors);
}

} // namespace
} // namespace salvyn
