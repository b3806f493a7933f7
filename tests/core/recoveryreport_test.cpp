#include "results/recoveryreport.h"

#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace salvyn {
namespace {

std::string textOf(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

SavedFile savedFile(const std::string& name, std::uint64_t first, std::uint64_t end)
{
    SavedFile file;
    file.name = name;
    file.type = "JPG";
    file.firstSector = first;
    file.endSector = end;
    file.byteCount = (end - first) * 512;
    file.sha256 = std::string(64, 'a');
    file.lengthFrom = "format";
    return file;
}

TEST(RecoveryReport, EverySaveAddsItsLinesUnderOneHeader)
{
    test::ScratchFolder folder;
    const auto path = folder.path() / RecoveryReport::fileName;
    {
        RecoveryReport report(path, "sdb1");
        EXPECT_EQ(report.openError(), 0);
        EXPECT_EQ(report.add(savedFile("GND00001.JPG", 10, 12)), 0);
    }
    {
        RecoveryReport report(path, "/home/me/card copy.img");
        EXPECT_EQ(report.add(savedFile("GND00001-2.JPG", 10, 12)), 0);
    }
    const std::string hash(64, 'a');
    EXPECT_EQ(textOf(path), "name\ttype\tfirst_sector\tend_sector\tbytes\tsha256\tlength_from\tmedium\n"
                            "GND00001.JPG\tJPG\t10\t12\t1024\t" + hash + "\tformat\tsdb1\n"
                            "GND00001-2.JPG\tJPG\t10\t12\t1024\t" + hash + "\tformat\t/home/me/card copy.img\n");
}

TEST(RecoveryReport, FieldsCannotBreakTheColumns)
{
    SavedFile file = savedFile("A\tB\nC.JPG", 0, 1);
    EXPECT_EQ(reportLine(file, "x\ty"), "A B C.JPG\tJPG\t0\t1\t512\t" + std::string(64, 'a') + "\tformat\tx y");
}

TEST(RecoveryReport, AReportThatCannotBeOpenedSaysWhy)
{
    test::ScratchFolder folder;
    RecoveryReport missing(folder.path() / "gone" / RecoveryReport::fileName, "sdb1");
    EXPECT_EQ(missing.openError(), ENOENT);
    EXPECT_EQ(missing.add(savedFile("GND00001.JPG", 0, 1)), ENOENT);
    // A link in its place is not followed.
    std::filesystem::create_symlink(folder.path() / "elsewhere.tsv", folder.path() / RecoveryReport::fileName);
    RecoveryReport linked(folder.path() / RecoveryReport::fileName, "sdb1");
    EXPECT_EQ(linked.openError(), ELOOP);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "elsewhere.tsv"));
}

} // namespace
} // namespace salvyn
