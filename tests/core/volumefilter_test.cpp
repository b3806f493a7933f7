#include "media/volumefilter.h"

#include <gtest/gtest.h>

#include <set>

namespace salvyn {
namespace {

using Paths = std::vector<std::string>;

// A laptop with an SD card in its internal reader and a USB stick mounted twice.
const std::vector<MountedVolume> kMountTable{
    {"/", "/dev/nvme0n1p2"},
    {"/proc", "proc"},
    {"/run", "tmpfs"},
    {"/boot/efi", "/dev/nvme0n1p1"},
    {"/media/anna/EOS_DIGITAL", "/dev/mmcblk0p1"},
    {"/mnt/nas", "nas.local:/photos"},
    {"/run/user/1000/gvfs", "gvfsd-fuse"},
    {"/media/anna/KINGSTON", "/dev/sdb1"},
    {"/home/anna/stick", "/dev/sdb1"},
    {"/media/anna/CAMERA", "/dev/loop0p1"},
};

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

TEST(VolumeFilter, FirstMountPathOfADeviceWins)
{
    const std::vector<MountedVolume> table{
        {"/srv/card", "/dev/sdc1"},
        {"/media/anna/CARD", "/dev/sdc1"},
    };
    EXPECT_EQ(removableMountPaths(table, [](const std::string&) { return true; }), (Paths{"/srv/card"}));
}

TEST(VolumeFilter, NothingRemovableGivesAnEmptyList)
{
    EXPECT_TRUE(removableMountPaths(kMountTable, [](const std::string&) { return false; }).empty());
    EXPECT_TRUE(removableMountPaths({}, [](const std::string&) { return true; }).empty());
    EXPECT_TRUE(removableMountPaths({{"", "/dev/sdb1"}, {"/x", "dev/sdb1"}},
                                    [](const std::string&) { return true; })
                    .empty());
}

} // namespace
} // namespace salvyn
