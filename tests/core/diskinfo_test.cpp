#include "media/diskinfo.h"

#include <gtest/gtest.h>

namespace salvyn {
namespace {

DiskInfo usbVolume()
{
    return {{kDeviceIdentifier, std::string("sdb1")},
            {kVolumeName, std::string("KINGSTON")},
            {kFilesystemUserVisibleName, std::string("MS-DOS (FAT32)")},
            {kIOKitSize, std::uint64_t{8004304896}},
            {kParentWholeDisk, std::string("sdb")},
            {kBusProtocol, std::string("USB")}};
}

std::vector<std::string> texts(const MyDataObject& record)
{
    return {record.nsStrDiskIdentifier(), record.nsStrVolName(), record.nsStrFileSystem(),
            record.nsStrSize(), record.nsStrParentDisk(), record.nsStrSectors()};
}

TEST(FindDiskInfo, MakesTheRecordInFieldOrderWithSizeTextAndSectors)
{
    const auto record = find_disk_info(usbVolume());
    ASSERT_TRUE(record);
    EXPECT_EQ(texts(*record), (std::vector<std::string>{"sdb1", "KINGSTON", "MS-DOS (FAT32)", "7.45  GB ", "sdb",
                                                        "15633408"}));
}

TEST(FindDiskInfo, NeverOffersDiskImagesOrCdMediaButKeepsDvds)
{
    DiskInfo image = usbVolume();
    image[kBusProtocol] = std::string("Disk Image");
    EXPECT_FALSE(find_disk_info(image));

    for (const char* cd : {"CD-ROM", "CD-R", "CD-RW", "HD-CD"}) {
        DiskInfo optical = usbVolume();
        optical[kOpticalDeviceType] = std::string(cd);
        EXPECT_FALSE(find_disk_info(optical)) << cd;
    }
    for (const char* kept : {"DVD-ROM", "DVD+RW", "BD-ROM", "cd-rom"}) {
        DiskInfo optical = usbVolume();
        optical[kOpticalDeviceType] = std::string(kept);
        EXPECT_TRUE(find_disk_info(optical)) << kept;
    }
    DiskInfo nearlyImage = usbVolume();
    nearlyImage[kBusProtocol] = std::string("Disk Image ");
    EXPECT_TRUE(find_disk_info(nearlyImage));
}

TEST(FindDiskInfo, WithoutIdentifierThereIsNoRecordWhateverTheRest)
{
    DiskInfo absent = usbVolume();
    absent.erase(kDeviceIdentifier);
    EXPECT_FALSE(find_disk_info(absent));

    DiskInfo empty = usbVolume();
    empty[kDeviceIdentifier] = std::string();
    EXPECT_FALSE(find_disk_info(empty));

    DiskInfo wrongType = usbVolume();
    wrongType[kDeviceIdentifier] = std::uint64_t{1};
    EXPECT_FALSE(find_disk_info(wrongType));

    EXPECT_FALSE(find_disk_info(DiskInfo{}));
}

TEST(FindDiskInfo, EmptyNameIsUntitledAbsentNameStaysEmpty)
{
    DiskInfo unnamed = usbVolume();
    unnamed[kVolumeName] = std::string();
    EXPECT_EQ(find_disk_info(unnamed)->nsStrVolName(), "Untitled");

    DiskInfo nameless = usbVolume();
    nameless.erase(kVolumeName);
    EXPECT_EQ(find_disk_info(nameless)->nsStrVolName(), "");
}

TEST(FindDiskInfo, AbsentOrMistypedSizeReadsAsZeroAndTheRecordIsStillMade)
{
    DiskInfo sizeless = usbVolume();
    sizeless.erase(kIOKitSize);
    auto record = find_disk_info(sizeless);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->nsStrSize(), "0.00 bytes ");
    EXPECT_EQ(record->nsStrSectors(), "0");

    DiskInfo textSize = usbVolume();
    textSize[kIOKitSize] = std::string("8004304896");
    EXPECT_EQ(find_disk_info(textSize)->nsStrSectors(), "0");

    DiskInfo odd = usbVolume();
    odd[kIOKitSize] = std::uint64_t{1000};
    EXPECT_EQ(find_disk_info(odd)->nsStrSectors(), "1");
    EXPECT_EQ(find_disk_info(odd)->nsStrSize(), "1000.00 bytes ");
}

TEST(FindDiskInfo, AbsentFileSystemAndParentShowAsEmptyTexts)
{
    DiskInfo sparse{{kDeviceIdentifier, std::string("sdc")}};
    const auto record = find_disk_info(sparse);
    ASSERT_TRUE(record);
    EXPECT_EQ(texts(*record), (std::vector<std::string>{"sdc", "", "", "0.00 bytes ", "", "0"}));
}

} // namespace
} // namespace salvyn
