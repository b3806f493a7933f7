#include "platform/folderonmedium.h"

#include <fstream>
#include <set>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <system_error>

namespace salvyn {

namespace {

namespace fs = std::filesystem;

std::string sysfsName(dev_t device)
{
    return "/sys/dev/block/" + std::to_string(major(device)) + ":" + std::to_string(minor(device));
}

// What a file system's device rests on: the kernel folders of the device, of its whole
// disk when it is a partition and of every device it is built on, recursively; and the
// files behind loop devices among them.
struct DeviceStack {
    std::set<fs::path> devices;
    std::set<fs::path> backingFiles;

    void collect(const fs::path& deviceFolder)
    {
        std::error_code error;
        const fs::path real = fs::canonical(deviceFolder, error);
        if (error || !devices.insert(real).second)
            return;
        std::string backingFile;
        if (std::getline(std::ifstream(real / "loop" / "backing_file"), backingFile))
            backingFiles.insert(fs::weakly_canonical(backingFile, error));
        if (fs::exists(real / "partition", error))
            collect(real.parent_path());
        for (const auto& slave : fs::directory_iterator(real / "slaves", error))
            collect(slave.path());
    }
};

} // namespace

bool folderIsOnMedium(const fs::path& folder, const std::string& mediumPath)
{
    struct stat folderInfo {};
    struct stat mediumInfo {};
    if (::stat(folder.c_str(), &folderInfo) != 0 || ::stat(mediumPath.c_str(), &mediumInfo) != 0)
        return true;
    DeviceStack stack;
    stack.collect(sysfsName(folderInfo.st_dev));
    std::error_code error;
    if (!S_ISBLK(mediumInfo.st_mode))
        return stack.backingFiles.count(fs::canonical(mediumPath, error)) > 0;
    if (folderInfo.st_dev == mediumInfo.st_rdev)
        return true;
    const fs::path medium = fs::canonical(sysfsName(mediumInfo.st_rdev), error);
    return !error && stack.devices.count(medium) > 0;
}

} // namespace salvyn
