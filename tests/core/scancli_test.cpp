// Golden runs of the built salvyn-scan on a disk image made here, with signature lists of
// its own in a resource folder beside a copy of the program.
#include "scantestsupport.h"
#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <set>

namespace salvyn {
namespace {

namespace fs = std::filesystem;
using namespace test;

std::string listFile(std::initializer_list<std::array<const char*, 4>> records, const char* description = "test")
{
    std::string text = "Signatures for the command-line tests\n\n";
    for (const auto& [extension, size, header, position] : records)
        text += std::string("Extension : ") + extension + "\nMax Size : " + size + "\nHeader : " + header
              + "\nHeader Position : " + position + "\nReserved : 0\nDescription : " + description + "\n\n";
    return text;
}

class ScanCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path built = fs::read_symlink("/proc/self/exe").parent_path() / "salvyn-scan";
        ASSERT_TRUE(fs::exists(built)) << built;
        fs::create_directories(m_folder.path() / "bin");
        m_program = m_folder.path() / "bin" / "salvyn-scan";
        fs::copy_file(built, m_program);
        m_folder.write("share/salvyn/ZephExt2.dll", listFile({{".jpg", "1048576", "FFD8FFE0", "1"},
                                                             {".png", "1048576", "89504E47", "1"}}));
        m_folder.write("share/salvyn/ZephExt2Adv.dll", listFile({{".gif", "4096", "47494638", "1"}}));
        m_folder.write("share/salvyn/ZephVideo.dll", listFile({{".mp4", "1", "6674797069736F6D", "5"},
                                                              {".avi", "1", "415649204C495354", "9"}}));
        m_folder.write("share/salvyn/ZephVideoAdv.dll", listFile({{".mov", "1", "6674797071742020", "5"}}));
        m_folder.write("share/salvyn/ZephAudio.dll", listFile({{".wav", "1", "57415645666D7420", "9"},
                                                              {".m4a", "1", "6674797069736F6D", "5"}}));

        m_image.fill(10, 400).put(10, 0, hexBytes("FFD8FFE0")).put(50, 0, hexBytes("89504E47"));
        m_image.put(120, 0, hexBytes("47494638")).put(200, 4, hexBytes("6674797069736F6D"));
        m_image.put(260, 4, hexBytes("6674797071742020")).put(300, 8, hexBytes("57415645666D7420"));
        m_imagePath = m_folder.write("card.img", std::string(m_image.bytes().begin(), m_image.bytes().end()));
    }

    test::CommandRun run(const std::string& arguments) { return test::runCommand(m_program.string() + " " + arguments, m_folder); }

    std::string sha(std::uint64_t first, std::uint64_t end) { return test::sha256Of(m_image.sectors(first, end)); }

    test::ScratchFolder m_folder;
    fs::path m_program;
    DiskImage m_image{400};
    std::string m_imagePath;
};

TEST_F(ScanCli, PhotoAndAudioSearchesListEveryFileAndCountPerType)
{
    const std::string general = "( Currently performing Search based on: Korvia General Recovery Procedure )\n";
    const test::CommandRun photos = run(m_imagePath);
    EXPECT_EQ(std::pair(photos.status, photos.err), std::pair(0, std::string()));
    EXPECT_EQ(photos.out,
              "Scanning " + m_imagePath + " (400 sectors) in photo mode\n" + general +
              "GND00001.JPG  JPG    first sector 10  end sector 50\nGND00002.PNG  PNG    first sector 50  end sector 400\n"
              "( Currently performing Search based on: Korvia Thorough Scanning Alogrithm )\n"
              "THD00001.GIF  GIF    first sector 120  end sector 127\nFound 3 files:\n  GIF    1\n  JPG    1\n  PNG    1\n");
    const test::CommandRun sounds = run("--mode audio --no-thorough " + m_imagePath);
    EXPECT_EQ(sounds.status, 0) << sounds.err;
    EXPECT_EQ(sounds.out,
              "Scanning " + m_imagePath + " (400 sectors) in audio mode\n" + general +
              "M4A00001.M4A  M4A    first sector 200  end sector 301\n"
              "WAV00001.WAV  WAV    first sector 300  end sector 400\nFound 2 files:\n  M4A    1\n  WAV    1\n");
}

TEST_F(ScanCli, SeveralModesPrintAndSaveAsSeparateRunsWould)
{
    const auto namesIn = [](const fs::path& folder) {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    };
    const fs::path out = m_folder.path() / "found";
    const test::CommandRun together = run("--mode audio,photo,video --out " + (out / "all").string() + " " + m_imagePath);
    EXPECT_EQ(together.status, 0) << together.err;
    std::string separately;
    for (const std::string mode : {"photo", "video", "audio"}) {
        separately += run("--mode " + mode + " --out " + (out / mode).string() + " " + m_imagePath).out;
        std::set<std::string> expected = namesIn(out / mode);
        if (mode == "audio")
            expected.erase("M4A00001.M4A"); // its first sector is the MP4's, saved by the video search
        EXPECT_EQ(namesIn(out / "all" / mode), expected) << mode;
    }
    EXPECT_EQ(together.out, separately);
    EXPECT_EQ(test::textOf(out / "all" / "video" / "MP400001.MP4"), test::textOf(out / "video" / "MP400001.MP4"));
}

TEST_F(ScanCli, VideoSearchWritesFilesAndAReportWithinARange)
{
    const fs::path out = m_folder.path() / "found", report = m_folder.path() / "report.tsv";
    const std::string arguments = "--mode=video --types mp4,MOV --range 150:280 --out " + out.string() + " --report="
                                + report.string() + " -- " + m_imagePath;
    const test::CommandRun result = run(arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "Scanning " + m_imagePath + " (400 sectors) in video mode\n"
              "( Currently performing Search based on: Korvia General Recovery Procedure )\n"
              "MP400001.MP4  MP4    first sector 200  end sector 280\n"
              "( Currently performing Search based on: Korvia Thorough Scanning Alogrithm )\n"
              "MOV00001.MOV  MOV    first sector 260  end sector 280\nFound 2 files:\n  MOV    1\n  MP4    1\n");
    // The MOV the thorough pass found inside the MP4's range is a bare header, no real start,
    // so it does not cut the MP4 short.
    const std::string rows = "MP400001.MP4\tMP4\t200\t280\t40960\t" + sha(200, 280) + "\trange\t" + m_imagePath
                           + "\tdamaged\tMP400001.MP4\n"
                                 "MOV00001.MOV\tMOV\t260\t280\t10240\t" + sha(260, 280) + "\trange\t" + m_imagePath
                           + "\tdamaged\tMOV00001.MOV\n";
    EXPECT_EQ(test::textOf(report),
              "name\ttype\tfirst_sector\tend_sector\tbytes\tsha256\tlength_from\tmedium\tcondition\tfound_name\n" + rows);
    EXPECT_EQ(test::contentOf(out / "MP400001.MP4"), m_image.sectors(200, 280));
}

TEST_F(ScanCli, BadUsageAndUnopenableMediaExitWithTwo)
{
    const std::string missing = (m_folder.path() / "missing.img").string(), tryHelp = "\nTry 'salvyn-scan --help'.\n";
    const std::pair<std::string, std::string> cases[] = {
        {missing, "cannot open " + missing + ": No such file or directory\n"},
        {"--range 5:5 " + m_imagePath,
         "bad range 5:5: End Sector should be greater than Start Sector. The medium has 400 sectors." + tryHelp},
        {"--mode film " + m_imagePath, "unknown mode 'film' (photo, video, raw, audio or all, or several separated by commas)" + tryHelp},
        {"--mode audio --types WAV,MP3 " + m_imagePath, "no signature of type MP3 in this mode" + tryHelp},
        {"--out", "--out needs a value" + tryHelp},
        {"", "no device or image given" + tryHelp},
        {"--frobnicate x", "unknown option --frobnicate" + tryHelp}};
    for (const auto& [arguments, message] : cases) {
        const test::CommandRun result = run(arguments);
        EXPECT_EQ(std::tuple(result.status, result.err, result.out), std::tuple(2, "salvyn-scan: " + message, std::string()))
            << arguments;
    }
}

TEST_F(ScanCli, ListTypesPrintsEachTypeOnceWithItsFirstDescriptionPerModeAndPass)
{
    const auto record = [](const char* extension, const char* header, const char* description) {
        return listFile({{extension, "1048576", header, "1"}}, description);
    };
    m_folder.write("share/salvyn/ZephVideo.dll", record(".mp4", "66747970", "MP4 video")
                       + record(".mp4", "6D6F6F76", "MP4 video, movie box first") + record(".quicktime", "71742020", "QuickTime movie"));
    m_folder.write("share/salvyn/ZephVideoAdv.dll", record(".mts", "47400010", "AVCHD video"));
    m_folder.write("share/salvyn/ZephAudio.dll", record(".wav", "52494646", "WAV sound"));

    const test::CommandRun video = run("--list-types --mode video");
    EXPECT_EQ(video.status, 0);
    EXPECT_EQ(video.out, "Video, general search (2 types)\n  MP4     MP4 video\n  QUICKTIME QuickTime movie\n"
                         "Video, thorough search (1 type)\n  MTS     AVCHD video\n");
    const test::CommandRun all = run("--list-types");
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.out, "Photo, general search (2 types)\n  JPG     test\n  PNG     test\n"
                       "Photo, thorough search (1 type)\n  GIF     test\n\n" + video.out
                           + "\nRaw file, general search (0 types)\nRaw file, thorough search (0 types)\n\n"
                             "Audio, general search (1 type)\n  WAV     WAV sound\nAudio, thorough search (0 types)\n");
    const test::CommandRun wrongMode = run("--list-types --mode tape");
    EXPECT_EQ(wrongMode.status, 2);
    EXPECT_EQ(wrongMode.out, "");
}

} // namespace
} // namespace salvyn
