// What the results tell of each found file: whole or damaged, when and with what it was
// taken, and the date name a save gives it.
#include "doubles/memorymedium.h"
#include "doubles/memorysectorsource.h"
#include "doubles/samplefiles.h"
#include "results/foundfiledetails.h"
#include "results/resultorder.h"
#include "results/savejob.h"
#include "results/savingplan.h"
#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace salvyn {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Made {
    const char* tools;
    const char* command; // writes "out"
};

const Made kExifJpeg{"convert exiftool", "convert -size 96x64 gradient:red-blue -quality 85 jpg:out && exiftool -q "
                                         "-overwrite_original '-DateTimeOriginal=2024:06:01 10:15:32' -Make=Canon "
                                         "'-Model=Canon EOS 80D' out"};
const Made kExifTiff{"convert exiftool", "convert -size 40x30 gradient:red-blue tif:out && exiftool -q "
                                         "-overwrite_original '-ModifyDate=2023:12:31 23:59:58' -Model=Scanner out"};
const Made kTaggedMovie{"ffmpeg", "ffmpeg -v error -y -f lavfi -i testsrc=size=64x48:rate=25:duration=1 -metadata "
                                  "creation_time=2024-06-01T10:15:32Z -metadata make=Salvyn -metadata "
                                  "'model=Salvyn Cam 2' -f mov out"};
// As phones write them: the make and model as metadata keys, no user data.
const Made kIphoneMovie{"ffmpeg", "ffmpeg -v error -y -f lavfi -i testsrc=size=64x48:rate=25:duration=1 -metadata "
                                  "com.apple.quicktime.make=Apple -metadata 'com.apple.quicktime.model=iPhone 12' "
                                  "-movflags use_metadata_tags -f mov out"};
const Made kAndroidMovie{"ffmpeg", "ffmpeg -v error -y -f lavfi -i testsrc=size=64x48:rate=25:duration=1 -metadata "
                                   "com.android.manufacturer=Google -metadata 'com.android.model=Pixel 8' "
                                   "-movflags use_metadata_tags -f mp4 out"};
const Made kPlainPng{"convert", "convert -size 30x20 xc:red png:out"};
const Made kXml{"printf", "printf '<?xml version=\"1.0\"?><a/>' > out"};

TEST(FoundFileDetails, MarksDatesAndCamerasOfEncodedAndCutShortFiles)
{
    struct Case {
        const Made& made;
        const char* type;
        bool cutShort; // only the first half of the file is on the medium, then free space
        const char* condition;
        const char* taken; // empty: none
        const char* camera;
    };
    const Case cases[] = {
        {kExifJpeg, "JPG", false, "whole", "2024-06-01 10:15:32", "Canon EOS 80D"},
        {kExifJpeg, "JPG", true, "damaged", "2024-06-01 10:15:32", "Canon EOS 80D"},
        {kExifTiff, "TIF", false, "whole", "2023-12-31 23:59:58", "Scanner"},
        {kTaggedMovie, "MOV", false, "whole", "2024-06-01 10:15:32", "Salvyn Cam 2"},
        // The movie box comes last: a cut movie loses its date with it.
        {kTaggedMovie, "MOV", true, "damaged", "", ""},
        {kIphoneMovie, "MOV", false, "whole", "", "Apple iPhone 12"},
        {kAndroidMovie, "MP4", false, "whole", "", "Google Pixel 8"},
        {kPlainPng, "PNG", false, "whole", "", ""},
        {kPlainPng, "PNG", true, "damaged", "", ""},
        {kXml, "XML", false, "unknown", "", ""},
    };
    for (const Case& c : cases) {
        const test::Sample sample = test::runEncoder(c.made.tools, c.made.command);
        if (!sample.skipReason.empty()) {
            if (!sample.encoderMissing)
                ADD_FAILURE() << c.type << ": " << sample.skipReason;
            continue;
        }
        Bytes file = sample.bytes;
        if (c.cutShort)
            file.resize(file.size() / 2);
        Bytes image(kSectorSize, 0);
        image.insert(image.end(), file.begin(), file.end());
        image.resize(image.size() + 40 * kSectorSize, 0);
        test::MemoryMedium medium(image);
        SavingPlan plan;
        plan.add(std::string("FOUND.") + c.type, 1, image.size() / kSectorSize);
        const FoundFileDetails details = describeFoundFile(plan, 0, medium);
        const std::string what = std::string(c.type) + (c.cutShort ? " cut short" : "");
        EXPECT_EQ(fileConditionText(details.condition), std::string(c.condition)) << what;
        EXPECT_EQ(details.capture.taken ? captureTimeText(*details.capture.taken) : "", c.taken) << what;
        EXPECT_EQ(details.capture.camera, c.camera) << what;
    }
    EXPECT_EQ(fileConditionOf("JPG", LengthSource::Format, 1), FileCondition::Damaged); // unreadable sectors
}

TEST(FoundFileDetails, ASaveByDateGivesTakenNamesAVariantAndCanLeaveDamagedFilesOut)
{
    const test::Sample photo = test::runEncoder(kExifJpeg.tools, kExifJpeg.command);
    if (!photo.skipReason.empty())
        GTEST_SKIP() << photo.skipReason;
    ASSERT_LT(photo.bytes.size(), 20 * kSectorSize);
    // The same photo twice, so the second takes the first one's name, and a cut copy of it.
    Bytes image(100 * kSectorSize, 0);
    const auto layAt = [&](std::size_t sector, const Bytes& bytes, std::size_t size) {
        std::copy_n(bytes.begin(), size, image.begin() + static_cast<std::ptrdiff_t>(sector * kSectorSize));
    };
    layAt(0, photo.bytes, photo.bytes.size());
    layAt(25, photo.bytes, photo.bytes.size());
    layAt(50, photo.bytes, photo.bytes.size() / 2);
    MemorySectorOpener opener;
    opener.addImage("card", image);
    test::ScratchFolder folder;
    const std::vector<FileToSave> found{{"GND00001.JPG", 0, 25}, {"GND00002.JPG", 25, 50}, {"GND00003.JPG", 50, 75}};
    SaveJob job(found, {0, 1, 2}, folder.path(), "card", fileSystemWriter(), {true, true});
    const SaveOutcome outcome = job.run(*opener.open("card").stream);
    EXPECT_EQ(outcome.leftOutDamaged, 1u);
    std::string names;
    for (const SavedFile& saved : outcome.saved)
        names += saved.name + " <- " + saved.foundName + ", ";
    EXPECT_EQ(names, "2024-06-01 10-15-32.jpg <- GND00001.JPG, 2024-06-01 10-15-32-2.jpg <- GND00002.JPG, ");
}

TEST(FoundFileDetails, SortsAndHidesSmallFilesButNeverOnesNotMeasured)
{
    const auto file = [](std::uint64_t bytes, std::optional<CaptureTime> taken, FileCondition condition) {
        return std::optional(FoundFileDetails{{bytes, LengthSource::Format}, condition, {taken, ""}});
    };
    const std::vector<std::pair<std::string, std::optional<FoundFileDetails>>> files{
        {"D", file(4000, CaptureTime{2024, 6, 1, 10, 15, 32}, FileCondition::Damaged)},
        {"A", file(900000, std::nullopt, FileCondition::Whole)},
        {"C", std::nullopt},
        {"B", file(20000, CaptureTime{2023, 1, 1, 0, 0, 0}, FileCondition::Unknown)},
        {"E", file(20000, CaptureTime{2024, 6, 1, 10, 15, 33}, FileCondition::Whole)},
    };
    const std::pair<ResultSort, const char*> orders[] = {
        {ResultSort::Name, "ABCDE"}, {ResultSort::Size, "ABEDC"}, {ResultSort::Date, "EDBAC"}, {ResultSort::Condition, "AEBDC"}};
    for (const auto& [sort, expected] : orders) {
        auto sorted = files;
        std::sort(sorted.begin(), sorted.end(), [sort](const auto& a, const auto& b) {
            return sortsBefore(sort, a.first, a.second, b.first, b.second);
        });
        std::string names;
        for (const auto& [name, details] : sorted)
            names += name;
        EXPECT_EQ(names, expected) << static_cast<int>(sort);
    }
    std::string shown;
    for (const auto& [name, details] : files)
        if (shownAtMinimumSize(details, kSmallFileLimit))
            shown += name;
    EXPECT_EQ(shown, "ACBE");
}

} // namespace
} // namespace salvyn
