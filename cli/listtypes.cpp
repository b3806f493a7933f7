#include "cli/listtypes.h"

#include <algorithm>
#include <string>
#include <vector>

namespace salvyn {
namespace {

struct ModeLists {
    const char* name;
    const SignatureList& general;
    const SignatureList& thorough;
};

// One line per type, in order of first appearance, with the description of the type's first
// record: the same text the file-type check list shows.
void printPass(std::ostream& out, const std::string& title, const SignatureList& list)
{
    std::vector<std::size_t> firstRecords;
    for (std::size_t r = 0; r < recordCount(list); ++r) {
        const bool seen = std::any_of(firstRecords.begin(), firstRecords.end(),
                                      [&](std::size_t f) { return recordEntry(list, f, 0) == recordEntry(list, r, 0); });
        if (!seen)
            firstRecords.push_back(r);
    }
    out << title << " (" << firstRecords.size() << (firstRecords.size() == 1 ? " type" : " types") << ")\n";
    for (const std::size_t r : firstRecords) {
        std::string type = recordEntry(list, r, 0);
        type.resize(std::max<std::size_t>(type.size() + 1, 8), ' ');
        out << "  " << type << recordEntry(list, r, 5) << '\n';
    }
}

} // namespace

void printSignatureTypes(std::ostream& out, const SignatureLists& lists, const std::vector<int>& recoveryModes)
{
    const ModeLists modes[] = {{"Photo", lists.Ext_Array, lists.Adv_Ext_Array},
                               {"Video", lists.Video_Array, lists.Adv_Video_Array},
                               {"Raw file", lists.RawFile_Array, lists.Adv_RawFile_Array},
                               {"Audio", lists.Audio_Array, lists.Adv_Audio_Array}};
    bool first = true;
    for (int mode = 0; mode < 4; ++mode) {
        if (std::find(recoveryModes.begin(), recoveryModes.end(), mode) == recoveryModes.end())
            continue;
        if (!first)
            out << '\n';
        first = false;
        printPass(out, std::string(modes[mode].name) + ", general search", modes[mode].general);
        printPass(out, std::string(modes[mode].name) + ", thorough search", modes[mode].thorough);
    }
}

} // namespace salvyn
