#include "media/mydataobject.h"

#include <gtest/gtest.h>

namespace salvyn {
namespace {

TEST(MediaSizeText, UnitsStepUpOnlyAboveTheirLimit)
{
    const std::pair<const char*, const char*> cases[] = {
        {"0", "0.00 bytes "},
        {"512", "512.00 bytes "},
        {"1024", "1024.00 bytes "},         // strictly greater moves on
        {"1025", "1.00  KB "},
        {"1048576", "1024.00  KB "},
        {"1048577", "1.00  MB "},
        {"4026531840", "3.75  GB "},
        {"8004304896", "7.45  GB "},
        {"1099511627776", "1024.00  GB "},
        {"1099511627777", "1024.00  GB "},  // one byte more is lost in single precision
        {"1099511758848", "1.00  TB "},    // the next float above 2^40
        {"2251799813685248", "2048.00  TB "}, // 2^51: nothing above TB
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(getMPSize(bytes), expected) << bytes;
}

TEST(MediaSizeText, TextIsReadAsItsLeadingNumber)
{
    EXPECT_EQ(getMPSize(""), "0.00 bytes ");
    EXPECT_EQ(getMPSize("size"), "0.00 bytes ");
    EXPECT_EQ(getMPSize("  2048 bytes"), "2.00  KB ");
    EXPECT_EQ(getMPSize("1536.5"), "1.50  KB ");
    EXPECT_EQ(getMPSize("-4096"), "-4096.00 bytes ");
    EXPECT_EQ(getMPSize("%s%n"), "0.00 bytes ");
}

TEST(MediaSizeText, HugeNumbersStayInTerabytes)
{
    // 2^80 bytes: 2^40 TB, printed in full.
    EXPECT_EQ(getMPSize("1208925819614629174706176"), "1099511627776.00  TB ");
}

TEST(MediaSectorCount, WholeSectorsRoundedDown)
{
    EXPECT_EQ(sectorCountText(0), "0");
    EXPECT_EQ(sectorCountText(511), "0");
    EXPECT_EQ(sectorCountText(1000), "1");
    EXPECT_EQ(sectorCountText(8004304896), "15633408");
    EXPECT_EQ(sectorCountText(18446744073709551615ull), "36028797018963967");
}

TEST(MediaTable, ColumnsShowTheSixTextsInConstructorOrder)
{
    const MyDataObject record("sdb1", "CARD", "FAT32", "7.45  GB ", "sdb", "15633408");
    const char* const expected[] = {"sdb1", "CARD", "FAT32", "7.45  GB ", "sdb", "15633408"};
    for (int column = 0; column < 6; ++column) {
        const std::string identifier = "Collumn" + std::to_string(column + 1);
        EXPECT_EQ(mediaTableValue(&record, identifier), expected[column]) << identifier;
    }
    for (const char* other : {"Collumn0", "Collumn7", "Column1", "collumn1", "", "Collumn1 "})
        EXPECT_EQ(mediaTableValue(&record, other), "") << other;
    EXPECT_EQ(mediaTableValue(nullptr, "Collumn1"), "");
}

TEST(MediaTable, VolumeWithoutANameShowsAnEmptyCell)
{
    const MyDataObject record("sdc1", "", "exFAT", "1.00  KB ", "sdc", "2");
    EXPECT_EQ(mediaTableValue(&record, "Collumn2"), "");
    EXPECT_EQ(mediaTableValue(&record, "Collumn3"), "exFAT");
}

} // namespace
} // namespace salvyn
