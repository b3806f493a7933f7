// Signature list files: how a file reads, how the eight lists load, and the folder they
// are found in.
#include "platform/resourcefolder.h"
#include "scratchfolder.h"
#include "signatures/signaturelist.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace salvyn {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr const char* kJpegGroup =
    "Extension: .jpg\n"
    "Max Size: 18874368\n"
    "Header : FFD8FFE0\n"
    "Position: 1\n"
    "Footer: FFD9\n"
    "Description: JPEG picture\n";

class SignatureListTest : public ::testing::Test {
protected:
    SignatureList load(std::string_view content)
    {
        return loadSignatureList(scratch.write("list.dll", content), warnings);
    }

    test::ScratchFolder scratch;
    std::ostringstream warnings;
};

// A group of six lines and the record it reads into: entry 6 is the header's first byte.
TEST_F(SignatureListTest, GroupOfSixReadsIntoARecord)
{
    std::string crlf;
    for (char c : std::string(kJpegGroup))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    using Record = std::vector<std::string>;
    const Record jpeg{"JPG", "18874368", "FFD8FFE0", "1", "FFD9", "JPEG picture", "255"};
    const std::pair<std::string, Record> cases[] = {
        {kJpegGroup, jpeg},
        {crlf, jpeg},
        // Values split at the first colon, blanks of every kind trimmed.
        {"a:  \t.mov \r\nb: 10: 20\nHeader :\t ffd8ffe1  \nd:nn\ne:\nf: \xE2\x80\x83Movie\xC2\xA0\n",
         {"MOV", "10: 20", "ffd8ffe1", "nn", "", "Movie", "255"}},
        // The text after the first full stop, upper-cased.
        {"a: mov\nb: 10.5\nHeader : 00\nd: v1.2.3\ne: tar.gz\nf: done.\n", {"mov", "5", "00", "2.3", "GZ", "", "0"}},
        // Short headers convert the characters there are: characters, not bytes (U+0141 reads as A).
        {"a: .x\nb: 1\nHeader : F\nd: 1\ne: e\nf: f\n", {"X", "1", "F", "1", "e", "f", "15"}},
        {"a: .x\nb: 1\nHeader :\nd: 1\ne: e\nf: f\n", {"X", "1", "", "1", "e", "f", "0"}},
        {"a: .x\nb: 1\nHeader : \xC5\x81" "1FF\nd: 1\ne: e\nf: f\n", {"X", "1", "\xC5\x81" "1FF", "1", "e", "f", "161"}},
        // The header line need not be third.
        {"Header : 4D\nb: 1\nc: 2\nd: 3\ne: 4\nf: 5\n", {"4D", "1", "2", "3", "4", "5", "77"}},
    };
    for (const auto& [content, record] : cases)
        EXPECT_EQ(load(content), record) << content;
    EXPECT_THAT(warnings.str(), IsEmpty());
}

TEST_F(SignatureListTest, OnlyLinesWithAColonCountAndTheyGroupByPosition)
{
    const auto list = load(std::string("Photo signatures\n\n") + kJpegGroup + "-- next --\n\n"
                           + "a: .png\nb: 1000\nHeader : 89504E47\n\nremark without colon\nd: 1\ne: x\nf: PNG\n");
    ASSERT_EQ(list.size(), 14u);
    EXPECT_EQ(recordCount(list), 2u);
    EXPECT_THAT(std::vector<std::string>(list.begin() + 7, list.end()),
                ElementsAre("PNG", "1000", "89504E47", "1", "x", "PNG", "137"));
    EXPECT_EQ(recordEntry(list, 1, 2), "89504E47");
}

TEST_F(SignatureListTest, OnlyTheExactHeaderLabelGivesTheFirstHeaderByte)
{
    // No blank before the colon, a blank before the word, another case: not the header line.
    for (const char* label : {"Header:", " Header :", "header :", "Header  :", "The Header :"})
        EXPECT_EQ(load(std::string("a: .jpg\nb: 100\n") + label + " FFD8\nd: 1\ne: x\nf: y\n"),
                  (SignatureList{"JPG", "100", "FFD8", "1", "x", "y", ""})) << label;
}

TEST_F(SignatureListTest, IncompleteLastGroupIsDroppedWithOneWarning)
{
    const auto path = scratch.write("short.dll", std::string(kJpegGroup) + "a: .png\nb: 1\nHeader : 89\n");
    EXPECT_EQ(loadSignatureList(path, warnings), load(kJpegGroup));
    const std::string text = warnings.str();
    EXPECT_THAT(text, HasSubstr(path));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
}

TEST_F(SignatureListTest, PendingHeaderByteDoesNotReachTheNextFile)
{
    scratch.write("ZephExt2.dll", "a: .png\nb: 1\nHeader : 89\nd: 1\n");
    scratch.write("ZephExt2Adv.dll", "a: .raw\nb: 1\nc: no header line here\nd: 1\ne: e\nf: f\n");
    const auto lists = loadSignatureLists(scratch.path().string(), warnings);
    EXPECT_THAT(lists.Ext_Array, IsEmpty());
    ASSERT_EQ(lists.Adv_Ext_Array.size(), 7u);
    EXPECT_EQ(lists.Adv_Ext_Array[6], "");
}

TEST_F(SignatureListTest, UnreadableOrInvalidTextGivesAnEmptyListSilently)
{
    const std::string jpeg(kJpegGroup);
    const std::vector<std::string> invalid = {
        jpeg + "f: caf\xE9\n",            // Latin-1 byte
        jpeg + "f: \xC0\xAF\n",           // overlong '/'
        jpeg + "f: \xED\xA0\x80\n",       // surrogate
        jpeg + "f: \xF4\x90\x80\x80\n",   // above U+10FFFF
        jpeg + "f: \xE2\x82",             // cut short at the end
    };
    for (const auto& content : invalid)
        EXPECT_THAT(load(content), IsEmpty());
    EXPECT_THAT(loadSignatureList((scratch.path() / "missing.dll").string(), warnings), IsEmpty());
    EXPECT_THAT(loadSignatureList(scratch.path().string(), warnings), IsEmpty()); // a folder
    EXPECT_THAT(load(""), IsEmpty());
    EXPECT_THAT(warnings.str(), IsEmpty());
    EXPECT_EQ(load(jpeg + "f: caf\xC3\xA9\xF0\x9F\x93\xB7\n").size(), 7u); // valid multibyte text loads
}

TEST_F(SignatureListTest, TypesWithSlashOrFullStopLoadAsWrittenButAreReported)
{
    const auto list = load("a: .tar.gz\nb: 1\nHeader : 1F8B\nd: 1\ne: e\nf: f\n"
                           "a: .a/b\nb: 1\nHeader : 00\nd: 1\ne: e\nf: f\n"
                           "a: .zip\nb: 1\nHeader : 504B\nd: 1\ne: e\nf: f\n");
    ASSERT_EQ(recordCount(list), 3u);
    EXPECT_EQ(recordEntry(list, 0, 0) + " " + recordEntry(list, 1, 0), "TAR.GZ A/B");
    const std::string text = warnings.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    EXPECT_THAT(text, HasSubstr("\"TAR.GZ\""));
    EXPECT_THAT(text, HasSubstr("\"A/B\""));
    EXPECT_THAT(text, ::testing::Not(HasSubstr("ZIP")));
}

TEST_F(SignatureListTest, EightFilesLoadIntoTheirListsByNameAndAMissingOneGivesAnEmptyList)
{
    const std::vector<std::pair<const char*, SignatureList SignatureLists::*>> files = {
        {"ZephExt2.dll", &SignatureLists::Ext_Array},       {"ZephExt2Adv.dll", &SignatureLists::Adv_Ext_Array},
        {"ZephVideo.dll", &SignatureLists::Video_Array},     {"ZephVideoAdv.dll", &SignatureLists::Adv_Video_Array},
        {"ZephRaw.dll", &SignatureLists::RawFile_Array},     {"ZephRawAdv.dll", &SignatureLists::Adv_RawFile_Array},
        {"ZephAudio.dll", &SignatureLists::Audio_Array},     {"ZephAudioAdv.dll", &SignatureLists::Adv_Audio_Array},
    };
    // Every file but the one left out in turn: that list is empty and the others load.
    for (std::size_t missing = 0; missing < files.size(); ++missing) {
        const test::ScratchFolder folder;
        for (std::size_t i = 0; i < files.size(); ++i) {
            std::ostringstream content;
            content << "a: .t" << i << "\nb: 1\nHeader : 0" << i << "\nd: 1\ne: e\nf: f\n";
            if (i != missing)
                folder.write(files[i].first, content.str());
        }
        const auto lists = loadSignatureLists(folder.path().string(), warnings);
        for (std::size_t i = 0; i < files.size(); ++i) {
            const SignatureList& list = lists.*(files[i].second);
            const auto t = std::to_string(i);
            EXPECT_EQ(list, (i == missing ? SignatureList{} : SignatureList{"T" + t, "1", "0" + t, "1", "e", "f", t})) << files[i].first;
        }
    }
    EXPECT_THAT(warnings.str(), IsEmpty());
}

// The share folder beside the program first; else the first fallback that is a folder.
TEST(ResourceFolder, ShareFolderBesideTheProgramThenTheFallbacksInOrder)
{
    test::ScratchFolder scratch;
    const auto program = scratch.path() / "bin" / "salvyn";
    const auto in = [&](const char* name) { return (scratch.path() / name).string(); };
    std::filesystem::create_directories(in("second"));
    std::filesystem::create_directories(in("third"));
    scratch.write("notafolder", "");
    EXPECT_EQ(resourceFolderFor(program, {in("missing"), in("notafolder"), in("second"), in("third")}), in("second"));
    scratch.write("share/salvyn/ZephExt2.dll", "");
    EXPECT_EQ(resourceFolderFor(program, {in("second")}), (scratch.path() / "share" / "salvyn").string());
}

TEST(ResourceFolder, NothingFoundGivesTheFolderBesideTheProgram)
{
    test::ScratchFolder scratch;
    const auto program = scratch.path() / "bin" / "salvyn";
    // A plain file where the folder should be does not count.
    scratch.write("share/salvyn", "");
    const auto found = resourceFolderFor(program, {(scratch.path() / "missing").string()});
    EXPECT_EQ(found, (scratch.path() / "share" / "salvyn").string());
}

} // namespace
} // namespace salvyn
