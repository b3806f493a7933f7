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
        link(8, 0, "sda");
        link(8, 1, "sda/sda1");
        link(8, 2, "sda/sda2");
        link(8, 16, "sdb");
        link(253, 0, "dm-0");
        link(7, 1, "loop1");
        link(259, 0, "loop1/loop1p1");
        m_system.sysBlock = m_root.path() / "block";
        m_system.mountInfo = m_root.path() / "mountinfo";
        m_root.write("mountinfo", "");
    }

    void link(unsigned major, unsigned minor, const std::string& device)
    {
        fs::create_directory_symlink("../devices/" + device,
                                     m_root.path() / "block" / (std::to_string(major) + ":" + std::to_string(minor)));
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

TEST_F(SameDeviceTest, ADiskImageRefusesItsOwnDeviceAndItsOwnMount)
{
    const MediumDevice image{false, makedev(8, 16), "/cards/card.img"};
    EXPECT_EQ(problem(8, 16, image), DestinationProblem::SameDevice);
    EXPECT_EQ(problem(259, 0, image), DestinationProblem::SameDevice); // the image's partition, mounted
    EXPECT_EQ(problem(8, 1, image), DestinationProblem::None);
    const MediumDevice otherImage{false, makedev(8, 16), "/cards/other.img"};
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

TEST(SameDevice, RealFoldersAreComparedWithTheImageFilesDevice)
{
    test::ScratchFolder folder;
    const std::string image = folder.write("card.img", std::string(4096, '\0'));
    fs::create_directory(folder.path() / "recovered");
    EXPECT_EQ(destinationProblem(folder.path() / "recovered", image), DestinationProblem::SameDevice);
    EXPECT_EQ(destinationProblem(folder.path() / "missing", image), DestinationProblem::NotExaminable);
    EXPECT_EQ(destinationProblem(folder.path(), image + ".missing"), DestinationProblem::NotExaminable);

    struct stat scratch {};
    struct stat shared {};
    ASSERT_EQ(::stat(folder.path().c_str(), &scratch), 0);
    if (::stat("/dev/shm", &shared) != 0 || shared.st_dev == scratch.st_dev)
        GTEST_SKIP() << "no second file system to save into";
    EXPECT_EQ(destinationProblem("/dev/shm", image), DestinationProblem::None);
}

} // namespace
} // namespace salvyn
