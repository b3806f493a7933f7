// salvyn-scan: the search of the desktop app, run from a terminal.
#include "cli/consolehost.h"
#include "cli/foundfilereporter.h"
#include "cli/listtypes.h"
#include "cli/scanoptions.h"
#include "platform/rawdevicepath.h"
#include "platform/rawsectoropener.h"
#include "platform/resourcefolder.h"
#include "results/samedevice.h"
#include "scan/passreader.h"
#include "scan/rangecheck.h"
#include "scan/searchrun.h"
#include "scan/sharedread.h"
#include "signatures/signaturelist.h"
#include "wizard/wizardmodel.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <set>

namespace salvyn {
namespace {

namespace fs = std::filesystem;

constexpr int kSuccess = 0;
constexpr int kUnreadable = 1;
constexpr int kUsage = 2;
constexpr int kInterrupted = 130;

std::atomic<int>* g_stopRequest = nullptr;
volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void requestStop(int)
{
    g_interrupted = 1;
    if (g_stopRequest)
        g_stopRequest->store(1);
}

int usageError(const std::string& message)
{
    std::cerr << "salvyn-scan: " << message << "\nTry 'salvyn-scan --help'.\n";
    return kUsage;
}

// A bare name is a device ("sdb1"), unless only a file of that name exists here.
std::string mediumIdentifier(const std::string& argument)
{
    std::error_code error;
    if (argument.front() == '/' || (argument.find('/') == std::string::npos && fs::exists("/dev/" + argument, error)))
        return argument;
    if (fs::exists(argument, error))
        return fs::absolute(argument, error).lexically_normal().string();
    return argument;
}

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

// The records of the chosen types, in list order; every record when no type is chosen.
SignatureList chosenRecords(const SignatureList& list, const std::set<std::string>& types)
{
    SignatureList chosen;
    for (std::size_t r = 0; r < recordCount(list); ++r)
        if (types.empty() || types.count(upper(recordEntry(list, r, 0))))
            chosen.insert(chosen.end(), list.begin() + static_cast<std::ptrdiff_t>(r * kSignatureRecordSize),
                          list.begin() + static_cast<std::ptrdiff_t>((r + 1) * kSignatureRecordSize));
    return chosen;
}

// Types in the order they first appear in the two lists.
std::vector<std::string> typesIn(const SignatureList& general, const SignatureList& thorough)
{
    std::vector<std::string> types;
    for (const SignatureList* list : {&general, &thorough})
        for (std::size_t r = 0; r < recordCount(*list); ++r)
            if (std::find(types.begin(), types.end(), recordEntry(*list, r, 0)) == types.end())
                types.push_back(recordEntry(*list, r, 0));
    return types;
}

// Fills the request's lists with the chosen types' records of its mode.
void chooseSignatures(const SignatureLists& lists, const ScanOptions& options, SearchRequest& request)
{
    const auto [general, thorough] = listsOfMode(lists, static_cast<RecoveryMode>(request.recoveryMode));
    std::set<std::string> types;
    for (const std::string& type : options.types)
        types.insert(upper(type));
    request.generalList = chosenRecords(general, types);
    request.thoroughList = options.thorough ? chosenRecords(thorough, types) : SignatureList{};
}

// An error text when a chosen type is in none of the chosen modes, or no mode has a record.
std::string signatureProblem(const SignatureLists& lists, const ScanOptions& options,
                             const std::vector<SearchRequest>& requests)
{
    std::set<std::string> known;
    for (const SearchRequest& request : requests) {
        const auto [general, thorough] = listsOfMode(lists, static_cast<RecoveryMode>(request.recoveryMode));
        for (const std::string& type : typesIn(general, thorough))
            known.insert(upper(type));
    }
    for (const std::string& type : options.types)
        if (!known.contains(upper(type)))
            return "no signature of type " + upper(type) + (requests.size() == 1 ? " in this mode" : " in these modes");
    if (std::all_of(requests.begin(), requests.end(),
                    [](const SearchRequest& r) { return r.generalList.empty() && r.thoroughList.empty(); }))
        return "no signatures for this mode in " + findResourceFolder();
    return {};
}

std::string chooseRange(const ScanOptions& options, std::uint64_t sectorCount, SearchRequest& request)
{
    request.sectorCountText = std::to_string(sectorCount);
    if (!options.rangeText)
        return {};
    const auto colon = options.rangeText->find(':');
    if (colon == std::string::npos)
        return "--range takes START:END";
    request.entireDiskChosen = false;
    request.sectorRangeChosen = true;
    request.startSectorText = options.rangeText->substr(0, colon);
    request.endSectorText = options.rangeText->substr(colon + 1);
    if (const auto alert = checkSectorRange(request.startSectorText, request.endSectorText, request.sectorCountText))
        return "bad range " + *options.rangeText + ": " + alert->message.substr(1)
             + (alert->informativeText.empty() ? "" : " (" + alert->informativeText + ")") + " The medium has "
             + request.sectorCountText + " sectors.";
    return {};
}

const char* const kModeNames[] = {"photo", "video", "raw", "audio"};

// Where a mode's found files go: the output folder, or its subfolder for the mode when
// several modes are searched; none when only a report is kept.
std::optional<fs::path> outputFolder(const ScanOptions& options, int mode)
{
    if (!options.outFolder)
        return std::nullopt;
    if (options.recoveryModes.size() == 1)
        return fs::path(*options.outFolder);
    return fs::path(*options.outFolder) / kModeNames[mode];
}

// Why the scan may not write at `path` (an output folder, or the folder a report goes into):
// it lies on the medium being scanned, or cannot be told apart from it. Empty when it may.
std::string writeRefusal(const std::string& what, const fs::path& path, const std::string& devicePath)
{
    switch (destinationProblem(path, devicePath)) {
    case DestinationProblem::None:
        return {};
    case DestinationProblem::NotExaminable:
        return "refusing to write " + what + ": cannot make sure it is not on " + devicePath + ", the medium being scanned";
    case DestinationProblem::SameDevice:
    case DestinationProblem::SameDisk:
        break;
    }
    return "refusing to write " + what + ": it is on " + devicePath + ", the medium being scanned";
}

// A report is appended to: an existing one must be an ordinary file, and never the medium.
std::string reportRefusal(const fs::path& reportFile, const std::string& devicePath)
{
    const fs::path folder = reportFile.has_parent_path() ? reportFile.parent_path() : fs::path(".");
    if (std::string refusal = writeRefusal("the report " + reportFile.string(), folder, devicePath); !refusal.empty())
        return refusal;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(reportFile, error);
    if (!fs::exists(status))
        return {};
    if (isTheMedium(reportFile, devicePath))
        return "refusing to write the report " + reportFile.string() + ": it is the medium being scanned";
    if (!fs::is_regular_file(status))
        return "cannot write the report " + reportFile.string() + ": it is not an ordinary file";
    return {};
}

// Every output is judged before any is made, so a refusal leaves no trace: no folder made,
// no report started. Then the output folder is made when missing, and the report opened.
std::string prepareOutputs(const ScanOptions& options, const std::string& medium, const std::string& devicePath,
                           std::optional<RecoveryReport>& report)
{
    if (options.outFolder)
        if (std::string refusal = writeRefusal("into " + *options.outFolder, *options.outFolder, devicePath);
            !refusal.empty())
            return refusal;
    if (options.reportFile)
        if (std::string refusal = reportRefusal(*options.reportFile, devicePath); !refusal.empty())
            return refusal;
    for (int mode : options.recoveryModes) {
        const std::optional<fs::path> folder = outputFolder(options, mode);
        if (!folder)
            break;
        std::error_code error;
        fs::create_directories(*folder, error);
        if (!fs::is_directory(*folder))
            return "cannot use " + folder->string() + " as output folder"
                 + (error ? ": " + error.message() : std::string());
    }
    if (options.reportFile) {
        report.emplace(*options.reportFile, medium);
        if (report->openError() != 0)
            return "cannot write the report " + *options.reportFile + ": " + std::strerror(report->openError());
    }
    return {};
}

// One mode of the search: its own counts, names, state and outputs, as if searched alone.
struct ModeSearch {
    SearchRequest request;
    ResultRows rows;
    SearchState state;
};

int run(const ScanOptions& options)
{
    const std::string medium = mediumIdentifier(options.medium);
    const SignatureLists lists = loadSignatureLists(findResourceFolder(), std::cerr);
    std::vector<SearchRequest> requests;
    for (int mode : options.recoveryModes) {
        SearchRequest& request = requests.emplace_back();
        request.sourceIdentifier = medium;
        request.recoveryMode = mode;
        request.thorough = options.thorough;
        chooseSignatures(lists, options, request);
    }
    if (const std::string error = signatureProblem(lists, options, requests); !error.empty())
        return usageError(error);

    RawSectorOpener opener;
    std::uint64_t sectorCount = 0;
    {
        SectorSourceOpening probe = opener.open(medium);
        if (!probe.stream) {
            std::cerr << "salvyn-scan: " << openFailureText(probe.error) << "\n";
            return kUsage;
        }
        sectorCount = probe.stream->sectorCount();
    }
    for (SearchRequest& request : requests)
        if (const std::string error = chooseRange(options, sectorCount, request); !error.empty())
            return usageError(error);

    const std::string devicePath = rawDevicePath(medium).value_or(medium);
    std::optional<RecoveryReport> report;
    if (const std::string error = prepareOutputs(options, medium, devicePath, report); !error.empty())
        return usageError(error);

    std::vector<std::unique_ptr<ModeSearch>> modes;
    std::vector<const SearchRequest*> orderedRequests;
    for (SearchRequest& request : requests) {
        modes.push_back(std::make_unique<ModeSearch>());
        modes.back()->request = std::move(request);
        orderedRequests.push_back(&modes.back()->request);
    }
    SharedRead sharedRead(orderedRequests);

    struct sigaction action {};
    action.sa_handler = requestStop;
    action.sa_flags = SA_RESETHAND; // a second Ctrl-C ends the program at once
    ::sigaction(SIGINT, &action, nullptr);

    Console console;
    std::set<std::uint64_t> savedSectors; // a file found by several modes is saved by the first only
    bool openFailed = false, readsFailed = false, writesFailed = false;
    for (std::size_t index = 0; index < modes.size(); ++index) {
        ModeSearch* search = modes[index].get();
        const SearchRequest& request = search->request;
        if (request.recoveryMode != 0)
            for (const std::string& type : typesIn(request.generalList, request.thoroughList))
                search->rows.createSignatureListTableRecord(type, 0, "", "", type);
        std::optional<FileSaver> saver;
        if (options.outFolder || options.reportFile)
            saver.emplace(outputFolder(options, request.recoveryMode));
        FoundFileReporter reporter(console, search->rows, std::move(saver), report ? &*report : nullptr, opener, medium);
        reporter.setSearchedEnd(sectorRangeFor(request).endSector);
        ConsoleHost host(console, search->state);
        ScanContext context{request, search->state, host, reporter, opener, &search->rows};

        console.line("Scanning " + devicePath + " (" + std::to_string(sectorCount) + " sectors) in "
                     + kModeNames[request.recoveryMode] + " mode");
        g_stopRequest = &search->state.stop_now;
        host.startTicker();
        sharedRead.runSearch(index, context);
        host.stopTicker();
        g_stopRequest = nullptr;
        reporter.saveFound(modes.size() > 1 ? &savedSectors : nullptr);

        openFailed = openFailed || host.openFailed();
        readsFailed = readsFailed || host.readsFailed();
        writesFailed = writesFailed || reporter.writesFailed();
        if (host.openFailed())
            break;
        if (g_interrupted)
            console.line("Stopped at sector " + std::to_string(search->state.for_index.load()) + ".");
        reporter.printSummary();
        if (g_interrupted)
            break;
    }
    if (openFailed)
        return kUsage;
    if (g_interrupted)
        return kInterrupted;
    return readsFailed || writesFailed ? kUnreadable : kSuccess;
}

} // namespace
} // namespace salvyn

int main(int argc, char** argv)
{
    const salvyn::ParsedOptions parsed = salvyn::parseScanOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.options.help) {
        std::cout << salvyn::scanHelpText();
        return salvyn::kSuccess;
    }
    if (parsed.options.version) {
        std::cout << "salvyn-scan " << SALVYN_VERSION << "\n";
        return salvyn::kSuccess;
    }
    if (!parsed.error.empty())
        return salvyn::usageError(parsed.error);
    if (parsed.options.listTypes) {
        const auto lists = salvyn::loadSignatureLists(salvyn::findResourceFolder(), std::cerr);
        salvyn::printSignatureTypes(std::cout, lists,
                                    parsed.options.modeGiven ? parsed.options.recoveryModes : std::vector<int>{0, 1, 2, 3});
        return salvyn::kSuccess;
    }
    return salvyn::run(parsed.options);
}
