// Which mounted volumes the media list offers: the kernel's mount table and the filter
// that keeps removable media.
#include "media/mounttable.h"
#include "media/volumefilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace salvyn {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// Mount path and device of each entry.
Entries entries(const std::vector<MountedVolume>& table)
{
    Entries pairs;
    for (const MountedVolume& volume : table)
        pairs.emplace_back(volume.mountPath, volume.device);
    return pairs;
}

TEST(MountTable, ReadsMountPointAndSourceInKernelOrder)
{
    const std::string mountInfo =
        "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
        "27 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw,discard\n"
        "88 27 8:17 / /media/anna/MY\\040CARD rw,nosuid,nodev shared:45 master:2 - vfat /dev/sdb1 rw,fmask=0022\n"
        "91 27 0:50 / /mnt/nas rw - nfs4 nas.local:/photos rw,vers=4.2\n"
        "95 27 8:17 /DCIM /home/anna/dcim rw - vfat /dev/sdb1 rw\n"
        "96 27 0:51 / /media/back\\134slash\\011tab rw - exfat /dev/sdc1 rw\n"
        "97 27 0:52 / /media/ends\\040 rw - vfat /dev/sde1 rw\n";
    EXPECT_EQ(entries(parseMountInfo(mountInfo)),
              (Entries{{"/proc", "proc"}, {"/", "/dev/vda"}, {"/media/anna/MY CARD", "/dev/sdb1"},
                       {"/mnt/nas", "nas.local:/photos"}, {"/home/anna/dcim", "/dev/sdb1"},
                       {"/media/back\\slash\ttab", "/dev/sdc1"}, {"/media/ends ", "/dev/sde1"}}));
}

TEST(MountTable, SkipsMalformedLinesAndKeepsUnfinishedEscapes)
{
    EXPECT_EQ(entries(parseMountInfo(
        "garbage\n"
        "1 2 3:4 / /no-separator rw ext4 /dev/sda1 rw\n"
        "1 2 3:4 / /short rw - ext4\n"
        "\n"
        "5 6 7:8 / /media/odd\\04 rw - vfat /dev/sdd1 rw")),
              (Entries{{"/media/odd\\04", "/dev/sdd1"}}));
    EXPECT_TRUE(parseMountInfo("").empty());
}

TEST(MountTable, ThisProcessHasARootMount)
{
    const std::vector<MountedVolume> table = readMountTable();
    EXPECT_TRUE(std::any_of(table.begin(), table.end(), [](const MountedVolume& v) { return v.mountPath == "/"; }));
}

using Paths = std::vector<std::string>;

// A laptop with an SD card in its internal reader and a USB stick mounted twice: the stick's
// first mount path is the one offered.
const std::vector<MountedVolume> kMountTable{
    {"/", "/dev/nvme0n1p2"}, {"/proc", "proc"}, {"/run", "tmpfs"}, {"/boot/efi", "/dev/nvme0n1p1"},
    {"/media/anna/EOS_DIGITAL", "/dev/mmcblk0p1"}, {"/mnt/nas", "nas.local:/photos"}, {"/run/user/1000/gvfs", "gvfsd-fuse"},
    {"/media/anna/KINGSTON", "/dev/sdb1"}, {"/home/anna/stick", "/dev/sdb1"}, {"/media/anna/CAMERA", "/dev/loop0p1"}};

const std::set<std::string> kHotPluggable{"/dev/mmcblk0p1", "/dev/sdb1", "/dev/sdc1"};

TEST(VolumeFilter, KeepsHotPluggableDevicesInMountTableOrderOncePerDevice)
{
    std::vector<std::string> asked;
    const Paths paths = removableMountPaths(kMountTable, [&](const std::string& device) {
        asked.push_back(device);
        return kHotPluggable.count(device) == 1;
    });
    EXPECT_EQ(paths, (Paths{"/media/anna/EOS_DIGITAL", "/media/anna/KINGSTON"}));
    // Only device nodes are asked about, each once.
    EXPECT_EQ(asked, (Paths{"/dev/nvme0n1p2", "/dev/nvme0n1p1", "/dev/mmcblk0p1", "/dev/sdb1", "/dev/loop0p1"}));
}

TEST(VolumeFilter, NothingRemovableGivesAnEmptyList)
{
    EXPECT_TRUE(removableMountPaths(kMountTable, [](const std::string&) { return false; }).empty());
    EXPECT_TRUE(removableMountPaths({}, [](const std::string&) { return true; }).empty());
    EXPECT_TRUE(removableMountPaths({{"", "/dev/sdb1"}, {"/x", "dev/sdb1"}}, [](const std::string&) { return true; }).empty());
}

} // namespace
} // namespace salvyn
