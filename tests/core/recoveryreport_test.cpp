// The recovery report: its lines, its columns, its file, and the digest it gives each file.
#include "results/recoveryreport.h"
#include "results/sha256.h"
#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <string>

namespace salvyn {
namespace {

SavedFile savedFile(const std::string& name, std::uint64_t first, std::uint64_t end)
{
    SavedFile file;
    file.name = name; file.type = "JPG"; file.sha256 = std::string(64, 'a'); file.lengthFrom = "format";
    file.condition = "whole"; file.foundName = "GND00001.JPG";
    file.firstSector = first; file.endSector = end; file.byteCount = (end - first) * 512;
    return file;
}

TEST(RecoveryReport, EverySaveAddsItsLinesUnderOneHeader)
{
    test::ScratchFolder folder;
    const auto path = folder.path() / RecoveryReport::fileName;
    const std::pair<const char*, const char*> saves[] = {{"sdb1", "GND00001.JPG"}, {"/home/me/card copy.img", "GND00001-2.JPG"}};
    for (const auto& [medium, name] : saves) {
        RecoveryReport report(path, medium);
        EXPECT_EQ(report.openError(), 0);
        EXPECT_EQ(report.add(savedFile(name, 10, 12)), 0);
    }
    const std::string hash(64, 'a');
    EXPECT_EQ(test::textOf(path), "name\ttype\tfirst_sector\tend_sector\tbytes\tsha256\tlength_from\tmedium\tcondition\tfound_name\n"
                            "GND00001.JPG\tJPG\t10\t12\t1024\t" + hash + "\tformat\tsdb1\twhole\tGND00001.JPG\n"
                            "GND00001-2.JPG\tJPG\t10\t12\t1024\t" + hash + "\tformat\t/home/me/card copy.img\twhole\tGND00001.JPG\n");
}

TEST(RecoveryReport, FieldsCannotBreakTheColumns)
{
    SavedFile file = savedFile("A\tB\nC.JPG", 0, 1);
    EXPECT_EQ(reportLine(file, "x\ty"), "A B C.JPG\tJPG\t0\t1\t512\t" + std::string(64, 'a') + "\tformat\tx y\twhole\tGND00001.JPG");
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

std::string digestOf(const std::string& text)
{
    Sha256 digest;
    digest.update({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    return digest.finishHex();
}

// Standard vectors; 55, 56 and 64 bytes cross the length field's boundary inside the last
// block; pieces of every size give the digest of the whole.
TEST(Sha256, StandardVectorsPaddingBoundariesAndSplitUpdates)
{
    const std::pair<std::string, const char*> vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"}};
    for (const auto& [text, digest] : vectors)
        EXPECT_EQ(digestOf(text), digest) << text.size();
    std::vector<std::uint8_t> bytes(3000);
    for (std::size_t k = 0; k < bytes.size(); ++k)
        bytes[k] = static_cast<std::uint8_t>(k * 7);
    Sha256 whole;
    whole.update(bytes);
    Sha256 pieces;
    for (std::size_t at = 0, step = 1; at < bytes.size(); at += step, step = step * 3 % 97 + 1)
        pieces.update(std::span(bytes).subspan(at, std::min(step, bytes.size() - at)));
    EXPECT_EQ(pieces.finishHex(), whole.finishHex());
}

} // namespace
} // namespace salvyn
