// Whom saved files are handed to: the person behind sudo or pkexec, never anyone when not root.
#include "results/invokinguser.h"

#include <gtest/gtest.h>

#include <tuple>

namespace salvyn {
namespace {

std::optional<gid_t> groupOfPkexecUser(uid_t uid) { return uid == 1000 ? std::optional<gid_t>(100) : std::nullopt; }

TEST(InvokingUser, SudoThenPkexecAndOnlyForRoot)
{
    struct Case {
        uid_t effectiveUid;
        const char *sudoUid, *sudoGid, *pkexecUid;
        int uid, gid; // -1: nobody to hand to
    };
    const Case cases[] = {
        {0, "1001", "1002", "1000", 1001, 1002}, {0, nullptr, nullptr, "1000", 1000, 100},
        {0, "1001", nullptr, nullptr, -1, -1},   {0, "12x", "5", nullptr, -1, -1},
        {0, nullptr, nullptr, "2000", -1, -1},   {1000, "1001", "1002", "1000", -1, -1},
    };
    for (const Case& c : cases) {
        const auto owner = invokingUser(c.effectiveUid, c.sudoUid, c.sudoGid, c.pkexecUid, groupOfPkexecUser);
        EXPECT_EQ(owner ? std::tuple(int(owner->uid), int(owner->gid)) : std::tuple(-1, -1), std::tuple(c.uid, c.gid))
            << c.effectiveUid << " " << (c.sudoUid ? c.sudoUid : "-") << " " << (c.pkexecUid ? c.pkexecUid : "-");
    }
}

} // namespace
} // namespace salvyn
