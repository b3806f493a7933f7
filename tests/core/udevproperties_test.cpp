#include "media/udevproperties.h"

#include <gtest/gtest.h>

namespace salvyn {
namespace {

TEST(UdevProperties, ReadsKeyValueLines)
{
    const UdevProperties properties =
        parseUdevProperties("DEVNAME=/dev/sr0\r\nID_FS_LABEL=A=B\nnot a property\n=nokey\nID_CDROM=1");
    EXPECT_EQ(properties.size(), 3u);
    EXPECT_EQ(properties.at("DEVNAME"), "/dev/sr0");
    EXPECT_EQ(properties.at("ID_FS_LABEL"), "A=B");
    EXPECT_EQ(properties.at("ID_CDROM"), "1");
    EXPECT_TRUE(parseUdevProperties("").empty());
}

TEST(UdevProperties, TheDiscDecidesNotWhatTheDriveCouldRead)
{
    // A DVD writer holding a pressed CD.
    EXPECT_EQ(opticalDeviceType(parseUdevProperties(
                  "ID_CDROM=1\nID_CDROM_DVD=1\nID_CDROM_DVD_R=1\nID_CDROM_BD=1\nID_CDROM_MEDIA=1\nID_CDROM_MEDIA_CD=1\n")),
              "CD-ROM");
    EXPECT_EQ(opticalDeviceType(parseUdevProperties("ID_CDROM_MEDIA_CD_RW=1\n")), "CD-RW");
    EXPECT_EQ(opticalDeviceType(parseUdevProperties("ID_CDROM_MEDIA_CD_R=1\n")), "CD-R");
    EXPECT_EQ(opticalDeviceType(parseUdevProperties("ID_CDROM_MEDIA_DVD=1\n")), "DVD-ROM");
    EXPECT_EQ(opticalDeviceType(parseUdevProperties("ID_CDROM_MEDIA_DVD_PLUS_RW=1\n")), "DVD+RW");
    EXPECT_EQ(opticalDeviceType(parseUdevProperties("ID_CDROM_MEDIA_DVD_RW_SEQ=1\n")), "DVD-RW");
    EXPECT_EQ(opticalDeviceType(parseUdevProperties("ID_CDROM_MEDIA_BD_RE=1\n")), "BD-RE");
}

TEST(UdevProperties, NoDiscOrUnknownDiscGivesNoType)
{
    EXPECT_EQ(opticalDeviceType(parseUdevProperties("ID_CDROM=1\nID_CDROM_CD=1\nID_CDROM_DVD=1\n")), std::nullopt);
    EXPECT_EQ(opticalDeviceType(parseUdevProperties("ID_CDROM_MEDIA_CD=0\n")), std::nullopt);
    EXPECT_EQ(opticalDeviceType(parseUdevProperties("ID_CDROM_MEDIA_MO=1\n")), std::nullopt);
    EXPECT_EQ(opticalDeviceType({}), std::nullopt);
}

} // namespace
} // namespace salvyn
