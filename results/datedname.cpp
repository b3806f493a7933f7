#include "results/datedname.h"

#include "scan/naming.h"

#include <cctype>
#include <cstdio>

namespace salvyn {

std::string datedFileName(const CaptureTime& taken, const std::string& foundName)
{
    char stem[32];
    std::snprintf(stem, sizeof stem, "%04d-%02d-%02d %02d-%02d-%02d", taken.year, taken.month, taken.day, taken.hour,
                  taken.minute, taken.second);
    std::string extension = pathExtension(foundName);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension.empty() ? stem : std::string(stem) + "." + extension;
}

} // namespace salvyn
