#include "media/mounttable.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace salvyn {
namespace {

TEST(MountTable, ReadsMountPointAndSourceInKernelOrder)
{
    const std::string mountInfo =
        "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
        "27 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw,discard\n"
        "88 27 8:17 / /media/anna/MY\\040CARD rw,nosuid,nodev shared:45 master:2 - vfat /dev/sdb1 rw,fmask=0022\n"
        "91 27 0:50 / /mnt/nas rw - nfs4 nas.local:/photos rw,vers=4.2\n"
        "95 27 8:17 /DCIM /home/anna/dcim rw - vfat /dev/sdb1 rw\n"
        "96 27 0:51 / /media/back\\134slash\\011tab rw - exfat /dev/sdc1 rw\n";
    const std::vector<MountedVolume> table = parseMountInfo(mountInfo);
    ASSERT_EQ(table.size(), 6u);
    EXPECT_EQ(table[0].mountPath, "/proc");
    EXPECT_EQ(table[0].device, "proc");
    EXPECT_EQ(table[1].device, "/dev/vda");
    EXPECT_EQ(table[2].mountPath, "/media/anna/MY CARD");
    EXPECT_EQ(table[2].device, "/dev/sdb1");
    EXPECT_EQ(table[3].device, "nas.local:/photos");
    EXPECT_EQ(table[4].mountPath, "/home/anna/dcim");
    EXPECT_EQ(table[5].mountPath, "/media/back\\slash\ttab");
}

TEST(MountTable, SkipsMalformedLinesAndKeepsUnfinishedEscapes)
{
    const std::vector<MountedVolume> table = parseMountInfo(
        "garbage\n"
        "1 2 3:4 / /no-separator rw ext4 /dev/sda1 rw\n"
        "1 2 3:4 / /short rw - ext4\n"
        "\n"
        "5 6 7:8 / /media/odd\\04 rw - vfat /dev/sdd1 rw");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].mountPath, "/media/odd\\04");
    EXPECT_EQ(table[0].device, "/dev/sdd1");
    EXPECT_TRUE(parseMountInfo("").empty());
}

TEST(MountTable, ThisProcessHasARootMount)
{
    const std::vector<MountedVolume> table = readMountTable();
    EXPECT_TRUE(std::any_of(table.begin(), table.end(), [](const MountedVolume& v) { return v.mountPath == "/"; }));
}

} // namespace
} // namespace salvyn
