#include "results/samedevice.h"

#include "scratchfolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace salvyn {
namespace {

namespace fs = std::filesystem;

// A kernel device tree as /sys shows it: disk sda with partitions sda1 and sda2, disk sdb,
// dm-0 built on sda2, and loop1 (a disk image attached) with its partition loop1p1.
class SameDeviceTest : public ::testing::Test {
protected:
    SameDeviceTest()
    {
        const fs::path devices = m_root.path() / "devices";
        for (const char* folder : {"sda/sda1", "sda/sda2", "sdb", "dm-0/slaves", "loop1/loop1p1", "loop1/loop"})
            fs::create_directories(devices / folder);
        for (const char* partition : {"sda/sda1", "sda/sda2", "loop1/loop1p1"})
            m_root.write("devices/" + std::string(partition) + "/partition", "1\n");
        m_root.write("devices/loop1/loop/backing_file", "/cards/card.img\n");
        fs::create_directory_symlink("../../sda/sda2", devices / "dm-0/slaves/sda2");
        fs::create_directory(m_root.path() / "block");
        using Link = std::pair<const char*, const char*>;
        for (const auto& [number, device] : {Link{"8:0", "sda"}, Link{"8:1", "sda/sda1"}, Link{"8:2", "sda/sda2"}, Link{"8:16", "sdb"},
                                             Link{"253:0", "dm-0"}, Link{"7:1", "loop1"}, Link{"259:0", "loop1/loop1p1"}})
            fs::create_directory_symlink("../devices/" + std::string(device), m_root.path() / "block" / number);
        m_system.sysBlock = m_root.path() / "block";
        m_system.mountInfo = m_root.write("mountinfo", "");
    }

    static MediumDevice blockDevice(unsigned major, unsigned minor) { return {true, makedev(major, minor), {}}; }

    DestinationProblem problem(unsigned major, unsigned minor, const MediumDevice& medium) const
    {
        return destinationProblem(makedev(major, minor), medium, m_system);
    }

    test::ScratchFolder m_root;
    SystemFolders m_system;
};

TEST_F(SameDeviceTest, TheMediumAndEveryPartOfItsDiskAreRefused)
{
    const MediumDevice sda1 = blockDevice(8, 1);
    EXPECT_EQ(problem(8, 1, sda1), DestinationProblem::SameDevice);
    EXPECT_EQ(problem(8, 2, sda1), DestinationProblem::SameDisk);   // a sibling partition
    EXPECT_EQ(problem(8, 0, sda1), DestinationProblem::SameDisk);   // the whole disk
    EXPECT_EQ(problem(253, 0, sda1), DestinationProblem::SameDisk); // a volume built on sda2
    EXPECT_EQ(problem(8, 16, sda1), DestinationProblem::None);
    EXPECT_EQ(problem(0, 50, sda1), DestinationProblem::None);      // a file system on no disk
    EXPECT_EQ(problem(8, 1, blockDevice(8, 0)), DestinationProblem::SameDisk);
    EXPECT_EQ(problem(8, 1, blockDevice(8, 16)), DestinationProblem::None);
}

TEST_F(SameDeviceTest, ADiskImageRefusesOnlyItsOwnMount)
{
    const MediumDevice image{false, 0, "/cards/card.img"};
    EXPECT_EQ(problem(259, 0, image), DestinationProblem::SameDevice); // the image's partition, mounted
    EXPECT_EQ(problem(7, 1, image), DestinationProblem::SameDevice);   // the whole image, mounted
    EXPECT_EQ(problem(8, 16, image), DestinationProblem::None);        // beside the image file
    const MediumDevice otherImage{false, 0, "/cards/other.img"};
    EXPECT_EQ(problem(259, 0, otherImage), DestinationProblem::None);
}

TEST_F(SameDeviceTest, AVolumeWithAnAnonymousNumberIsFoundThroughItsMount)
{
    // btrfs shows 0:N for its files; only the mount table names the partition below.
    const std::string node = (m_root.path() / "sda2-node").string();
    if (::mknod(node.c_str(), S_IFBLK | 0600, makedev(8, 2)) != 0)
        GTEST_SKIP() << "device nodes cannot be made here";
    m_root.write("mountinfo", "22 1 0:21 / /proc rw - proc proc rw\n"
                              "61 1 0:50 /@home /home rw,relatime shared:5 - btrfs " + node + " rw,space_cache\n");
    EXPECT_EQ(problem(0, 50, blockDevice(8, 1)), DestinationProblem::SameDisk);
    EXPECT_EQ(problem(0, 50, blockDevice(8, 2)), DestinationProblem::SameDevice);
    EXPECT_EQ(problem(0, 50, blockDevice(8, 16)), DestinationProblem::None);
    EXPECT_EQ(problem(0, 21, blockDevice(8, 1)), DestinationProblem::None);
}

TEST(SameDevice, RealFoldersAreComparedWithTheMediumsDevice)
{
    test::ScratchFolder folder;
    const std::string image = folder.write("card.img", std::string(4096, '\0'));
    const fs::path recovered = folder.path() / "recovered";
    fs::create_directory(recovered);
    // Writing beside an image file never changes the image.
    EXPECT_EQ(destinationProblem(recovered, image), DestinationProblem::None);
    // A folder not made yet is judged where it would be made.
    EXPECT_EQ(destinationProblem(folder.path() / "missing" / "deeper", image), DestinationProblem::None);
    EXPECT_EQ(destinationProblem(folder.path(), image + ".missing"), DestinationProblem::NotExaminable);

    // Without a loop device: the device holding the image file stands for the medium.
    struct stat imageInfo {};
    struct stat folderInfo {};
    ASSERT_EQ(::stat(image.c_str(), &imageInfo), 0);
    ASSERT_EQ(::stat(recovered.c_str(), &folderInfo), 0);
    EXPECT_EQ(destinationProblem(folderInfo.st_dev, {true, imageInfo.st_dev, {}}, {}), DestinationProblem::SameDevice);

    // The real device node, where the machine shows one.
    std::error_code error;
    const fs::path device = fs::canonical("/sys/dev/block/" + std::to_string(major(folderInfo.st_dev)) + ":"
                                              + std::to_string(minor(folderInfo.st_dev)),
                                          error);
    const fs::path node = "/dev/" + device.filename().string();
    if (error || !fs::exists(node))
        GTEST_SKIP() << "the scratch folder is not on a block device with a node here";
    EXPECT_EQ(destinationProblem(recovered, node.string()), DestinationProblem::SameDevice);
    if (fs::exists(device / "partition")) {
        EXPECT_EQ(destinationProblem(recovered, "/dev/" + device.parent_path().filename().string()),
                  DestinationProblem::SameDisk);
    }
}

} // namespace
} // namespace salvyn
