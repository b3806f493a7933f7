#include "media/qt/diskinfoprovider.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace salvyn {
namespace {

TEST(LsblkDiskInfoProvider, AFolderThatIsNoLongerAMountPointDescribesNothing)
{
    // As a card's folder looks once the card has been unmounted: the disk below it (the
    // system disk) must not be described in the card's place.
    QTemporaryDir leftBehind;
    EXPECT_TRUE(LsblkDiskInfoProvider().diskInfo(leftBehind.path()).empty());
    EXPECT_TRUE(LsblkDiskInfoProvider().diskInfo(leftBehind.path() + QStringLiteral("/gone")).empty());
}

TEST(LsblkDiskInfoProvider, DesignatorsWithoutADeviceNodeDescribeNothing)
{
    EXPECT_TRUE(LsblkDiskInfoProvider().diskInfo(QStringLiteral("/proc")).empty());
    EXPECT_TRUE(LsblkDiskInfoProvider().diskInfo(QString()).empty());
    EXPECT_TRUE(LsblkDiskInfoProvider().diskInfo(QStringLiteral("/dev/salvyn-no-such-device")).empty());
}

} // namespace
} // namespace salvyn
