#include "results/samedevice.h"

#include <cerrno>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <system_error>
#include <vector>

namespace salvyn {

namespace {

namespace fs = std::filesystem;

std::string deviceNumberText(dev_t device)
{
    return std::to_string(major(device)) + ":" + std::to_string(minor(device));
}

// The kernel folder of a device's whole disk: the device itself, or its parent for a partition.
fs::path wholeDisk(const fs::path& real)
{
    std::error_code error;
    return fs::exists(real / "partition", error) ? real.parent_path() : real;
}

// The block devices named as the source of the mounts of `device`. A btrfs volume shows an
// anonymous device number of its own; only its mount tells which disk holds it.
std::vector<dev_t> mountSources(dev_t device, const fs::path& mountInfo)
{
    std::vector<dev_t> sources;
    std::ifstream lines(mountInfo);
    const std::string wanted = deviceNumberText(device);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string mountId, parentId, number, field;
        if (!(fields >> mountId >> parentId >> number) || number != wanted)
            continue;
        while (fields >> field && field != "-") {}
        std::string type, source;
        struct stat info {};
        if (fields >> type >> source && ::stat(source.c_str(), &info) == 0 && S_ISBLK(info.st_mode))
            sources.push_back(info.st_rdev);
    }
    return sources;
}

// What a file system's device rests on: its whole disk and the disks of every device it is
// built on, recursively; and the files behind loop devices among them.
struct DeviceStack {
    std::set<fs::path> visited;
    std::set<fs::path> disks;
    std::set<fs::path> backingFiles;

    void collect(const fs::path& folder)
    {
        std::error_code error;
        const fs::path real = fs::canonical(folder, error);
        if (error || !visited.insert(real).second)
            return;
        const fs::path disk = wholeDisk(real);
        disks.insert(disk);
        std::string backingFile;
        if (std::getline(std::ifstream(disk / "loop" / "backing_file"), backingFile))
            backingFiles.insert(fs::weakly_canonical(backingFile, error));
        for (const auto& slave : fs::directory_iterator(real / "slaves", error))
            collect(slave.path());
        collect(disk);
    }
};

// A folder not made yet would be made on the file system of its nearest existing parent, so
// that parent is what is looked at: a refused folder is refused before anything is created.
bool statNearestExisting(const fs::path& folder, struct stat& info)
{
    std::error_code error;
    fs::path path = fs::absolute(folder, error); // ".." stays for the kernel to resolve through links
    if (error)
        return false;
    while (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT || path == path.root_path())
            return false;
        path = path.parent_path();
    }
    return true;
}

} // namespace

DestinationProblem destinationProblem(dev_t folderDevice, const MediumDevice& medium, const SystemFolders& system)
{
    if (medium.isBlockDevice && folderDevice == medium.device)
        return DestinationProblem::SameDevice;
    DeviceStack stack;
    stack.collect(system.sysBlock / deviceNumberText(folderDevice));
    for (const dev_t source : mountSources(folderDevice, system.mountInfo)) {
        if (medium.isBlockDevice && source == medium.device)
            return DestinationProblem::SameDevice;
        stack.collect(system.sysBlock / deviceNumberText(source));
    }
    std::error_code error;
    if (!medium.isBlockDevice) {
        const bool mounted = stack.backingFiles.count(fs::weakly_canonical(medium.imagePath, error)) > 0;
        return mounted ? DestinationProblem::SameDevice : DestinationProblem::None;
    }
    const fs::path mediumFolder = fs::canonical(system.sysBlock / deviceNumberText(medium.device), error);
    if (error)
        return DestinationProblem::None;
    return stack.disks.count(wholeDisk(mediumFolder)) > 0 ? DestinationProblem::SameDisk : DestinationProblem::None;
}

DestinationProblem destinationProblem(const fs::path& folder, const std::string& mediumPath, const SystemFolders& system)
{
    struct stat folderInfo {};
    struct stat mediumInfo {};
    if (!statNearestExisting(folder, folderInfo) || ::stat(mediumPath.c_str(), &mediumInfo) != 0)
        return DestinationProblem::NotExaminable;
    MediumDevice medium;
    medium.isBlockDevice = S_ISBLK(mediumInfo.st_mode);
    if (medium.isBlockDevice)
        medium.device = mediumInfo.st_rdev;
    else
        medium.imagePath = mediumPath;
    return destinationProblem(folderInfo.st_dev, medium, system);
}

bool isTheMedium(const fs::path& path, const std::string& mediumPath)
{
    struct stat pathInfo {};
    struct stat mediumInfo {};
    if (::stat(path.c_str(), &pathInfo) != 0 || ::stat(mediumPath.c_str(), &mediumInfo) != 0)
        return false;
    if (S_ISBLK(pathInfo.st_mode) && S_ISBLK(mediumInfo.st_mode))
        return pathInfo.st_rdev == mediumInfo.st_rdev;
    return pathInfo.st_dev == mediumInfo.st_dev && pathInfo.st_ino == mediumInfo.st_ino;
}

} // namespace salvyn
