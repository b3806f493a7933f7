// The medium is never written: every command-line run leaves its bytes as they were, and a
// refused output or preview leaves no trace. On a disk image always; as root also on a loop device whose
// ext4 file system is mounted, so that a write onto the card would really land on it.
#include "platform/rawsectoropener.h"
#include "results/previewextraction.h"
#include "scan/searchstate.h"
#include "scantestsupport.h"
#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <functional>

namespace salvyn {
namespace {

namespace fs = std::filesystem;

std::string fileSha256(const fs::path& path) { return test::sha256Of(test::contentOf(path)); }

// `text` with every "{name}" replaced by its value.
std::string filledIn(std::string text, const std::vector<std::pair<std::string, std::string>>& values)
{
    for (const auto& [name, value] : values)
        for (std::size_t at; (at = text.find("{" + name + "}")) != std::string::npos;)
            text.replace(at, name.size() + 2, value);
    return text;
}

// One run of the built salvyn-scan, with the signature lists the build ships.
test::CommandRun scan(const std::string& arguments, const test::ScratchFolder& scratch)
{
    return test::runCommand((fs::read_symlink("/proc/self/exe").parent_path() / "salvyn-scan").string() + " " + arguments, scratch);
}

// A folder holding photos laid out as a camera would, for an ext4 file system made from it.
fs::path cardContents(const test::ScratchFolder& scratch)
{
    std::string photo = "\xFF\xD8\xFF\xE1";
    photo.resize(64 * 1024, '\x5A');
    scratch.write("card/DCIM/100CAMERA/IMG_0001.JPG", photo);
    scratch.write("card/DCIM/100CAMERA/IMG_0002.JPG", photo);
    return scratch.path() / "card";
}

// Arguments name {medium}, {mount} (the medium's file system) and {beside} (elsewhere); `error`
// is what salvyn-scan says on stderr, `absent` what must not exist afterwards, or "".
struct Case { const char* what; const char* arguments; int status; std::string error; const char* absent; };

constexpr const char* kTry = "\nTry 'salvyn-scan --help'.\n";

class MediumUnchanged : public ::testing::Test {
protected:
    void expectUnchanged(const std::vector<Case>& cases, const std::vector<std::pair<std::string, std::string>>& values,
                         const fs::path& image, const std::function<void()>& settle)
    {
        settle();
        const std::string before = fileSha256(image);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            const auto run = scan(filledIn(c.arguments, values), m_scratch);
            EXPECT_EQ(std::pair(run.status, run.err), std::pair(c.status, filledIn(c.error, values)));
            EXPECT_FALSE(*c.absent && fs::exists(filledIn(c.absent, values))) << c.absent;
            settle();
            EXPECT_EQ(fileSha256(image), before);
        }
    }

    test::ScratchFolder m_scratch;
};

TEST_F(MediumUnchanged, ScansOfADiskImageLeaveItAsItWas)
{
    std::string bytes(4 << 20, '\0');
    const fs::path image = m_scratch.write("card.img", bytes.replace(512 * 100, 4, "\xFF\xD8\xFF\xE1"));
    const std::string beside = (m_scratch.path() / "beside").string();
    expectUnchanged(
        {{"a scan alone", "{medium}", 0, "", ""},
         {"files and a report beside the image", "--out {beside}/found --report {beside}/report.tsv {medium}", 0, "", ""},
         {"a report onto the image itself", "--report {medium} {medium}", 2,
          "salvyn-scan: refusing to write the report {medium}: it is the medium being scanned{try}", ""}},
        {{"medium", image.string()}, {"beside", beside}, {"try", kTry}}, image, [] {});
    EXPECT_TRUE(fs::exists(beside + "/found/GND00001.JPG"));
}

// Runs a shell command; true when it succeeded.
bool shell(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// An ext4 image attached to a loop device and mounted, as a card in a reader would be;
// noatime, so that looking into folders does not itself change the card.
struct MountedCard {
    MountedCard(const fs::path& image, const fs::path& contents, const fs::path& mountPoint) : mountPoint(mountPoint)
    {
        fs::create_directories(mountPoint);
        const fs::path deviceFile = mountPoint.parent_path() / "loop-device";
        mounted = shell("truncate -s 8M " + image.string() + " && mkfs.ext4 -q -F -E lazy_itable_init=0,lazy_journal_init=0 -d "
                        + contents.string() + " " + image.string() + " && losetup -f --show " + image.string() + " >"
                        + deviceFile.string() + " && mount -o noatime \"$(cat " + deviceFile.string() + ")\" "
                        + mountPoint.string());
        device = test::textOf(deviceFile);
        device.erase(device.find_last_not_of('\n') + 1);
    }
    ~MountedCard()
    {
        if (mounted)
            shell("umount " + mountPoint.string());
        if (!device.empty())
            shell("losetup -d " + device);
    }
    // Whatever the file system still holds in memory goes to the card, and so to its image.
    void settle() const
    {
        const int fd = ::open(mountPoint.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(::syncfs(fd), 0);
        ::close(fd);
    }

    fs::path mountPoint;
    std::string device;
    bool mounted = false;
};

TEST_F(MediumUnchanged, ScansOfAMountedCardNeverWriteOntoIt)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to attach a loop device and mount ext4";
    const fs::path image = m_scratch.path() / "card.img";
    const MountedCard card(image, cardContents(m_scratch), m_scratch.path() / "mnt");
    if (!card.mounted)
        GTEST_SKIP() << "cannot make, attach and mount an ext4 card (mkfs.ext4, losetup, mount)";
    const std::string mount = (m_scratch.path() / "mnt").string();
    const std::string refusedInto = "salvyn-scan: refusing to write into {mount}/recovered/photos: it is on {medium}, "
                                    "the medium being scanned{try}";
    expectUnchanged(
        {{"a scan alone", "{medium}", 0, "", ""},
         {"files into a new folder on the card", "--out {mount}/recovered/photos {medium}", 2, refusedInto,
          "{mount}/recovered"},
         {"a report on the card", "--report {mount}/report.tsv {medium}", 2,
          "salvyn-scan: refusing to write the report {mount}/report.tsv: it is on {medium}, the medium being scanned{try}",
          "{mount}/report.tsv"},
         {"a report onto the device itself", "--report {medium} {medium}", 2,
          "salvyn-scan: refusing to write the report {medium}: it is the medium being scanned{try}", ""},
         {"files and a report elsewhere", "--out {beside}/found --report {beside}/report.tsv {medium}", 0, "", ""}},
        {{"medium", card.device}, {"mount", mount}, {"beside", (m_scratch.path() / "beside").string()}, {"try", kTry}},
        image, [&card] { card.settle(); });
    EXPECT_TRUE(fs::exists(m_scratch.path() / "beside/found/GND00001.JPG"));

    // A preview folder on the card's disk is refused before anything is made there.
    struct QuietHost : PreviewHost {
        void beginSheet() override {}
        void QuickLook_Preview_Thread(const std::string&, PreviewWayOut) override {}
        void endSheet() override {}
        void Final_or_Stop_Screen() override {}
    } host;
    SearchState state;
    RawSectorOpener opener;
    const PreviewFolder onCard(mount + "/cache/preview");
    const std::string before = fileSha256(image);
    EXPECT_EQ(PreviewExtraction(opener, state, onCard, host).CreateFile_QuickLook_Preview(card.device, {"a.JPG", 0, 8}),
              PreviewWayOut::FileNotCreated);
    EXPECT_FALSE(fs::exists(mount + "/cache"));
    card.settle();
    EXPECT_EQ(fileSha256(image), before);
}

} // namespace
} // namespace salvyn
