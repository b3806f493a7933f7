// The wizard's steps as plain decisions: where Next and Back lead from every screen in
// every mode, why Next refuses, what each screen shows, and what a search is handed.
#include "wizard/wizardmodel.h"

#include <gtest/gtest.h>

#include <tuple>

namespace salvyn {
namespace {

SignatureList records(std::initializer_list<const char*> types)
{
    SignatureList list;
    for (const char* type : types)
        list.insert(list.end(), {type, "1000", "00", "1", "-", std::string(type) + " file", "0"});
    return list;
}

SignatureLists testLists()
{
    return {records({"JPG"}), records({"PNG"}), records({"AVI", "MOV"}), records({"MOV", "MTS"}),
            records({"ZIP"}), records({"GZ"}), records({"MP3"}), records({"WAV"})};
}

const MyDataObject kCard("sdb1", "CARD", "vfat", "1.00 GB ", "sdb", "1000");

// A wizard on the criteria screen of `mode` with `kCard` chosen.
struct Wizard {
    explicit Wizard(RecoveryMode mode = RecoveryMode::Photo)
    {
        model.setSignatureLists(testLists());
        model.chooseMode(mode);
        inputs.mediumRowSelected = true; inputs.medium = &kCard;
        inputs.types = {{"AVI", true}, {"MOV", true}, {"MTS", true}};
        model.Next_btn(inputs);
    }
    // N Next, B Back, n and b the same double-clicked, E the search ends, F the medium
    // cannot be opened.
    void run(const std::string& script)
    {
        for (char step : script) {
            const Screen shown = model.screen();
            if (step == 'N') model.Next_btn(inputs);
            if (step == 'B') model.Back_btn();
            for (int click = 0; click < 2 && step == 'n'; ++click) {
                inputs.pressedOn = shown;
                model.Next_btn(inputs);
                inputs.pressedOn.reset();
            }
            for (int click = 0; click < 2 && step == 'b'; ++click)
                model.Back_btn(shown);
            if (step == 'E') model.searchEnded();
            if (step == 'F') model.searchCouldNotStart();
        }
    }
    WizardModel model;
    NextInputs inputs;
};

// What a screen shows, as names: search type, progress, photo or other results, Next and Back enabled.
std::string shownOn(const ScreenLayout& shown)
{
    std::string names;
    for (const auto& [on, name] : {std::pair(shown.searchType, " type"), std::pair(shown.progress, " progress"),
                                   std::pair(shown.photoResults, " photos"), std::pair(shown.otherResults, " others"),
                                   std::pair(shown.nextEnabled, " next"), std::pair(shown.backEnabled, " back")})
        names += on ? name : "";
    return names.substr(names.empty() ? 0 : 1);
}

TEST(WizardModel, NextAndBackFromEveryScreenInEveryModeAndWhatEachScreenShows)
{
    using enum RecoveryMode;
    using enum Screen;
    using enum SearchPhase;
    struct Case { RecoveryMode mode; const char* script; int screenCounter; Screen screen; SearchPhase phase; const char* shows; };
    const Case cases[] = {
        {Photo, "", 1, Criteria, None, "type next back"},
        {Photo, "N", 2, PhotoSearch, Running, "type progress"},
        {Photo, "NNB", 2, PhotoSearch, Running, "type progress"}, // nothing while it runs
        {Photo, "NE", 2, PhotoSearch, Ended, "type photos back"},
        {Photo, "NEB", 1, Criteria, None, "type next back"},
        {Photo, "NF", 1, Criteria, None, "type next back"},
        {Photo, "NEF", 2, PhotoSearch, Ended, "type photos back"},
        {Photo, "B", 0, Media, None, "next"},
        {Photo, "BB", 0, Media, None, "next"},
        {Video, "N", 2, CheckList, None, "type next back"},
        {Video, "NB", 1, Criteria, None, "type next back"},
        {RawFile, "NN", 3, OtherSearch, Running, "type progress"},
        {RawFile, "NNF", 2, CheckList, None, "type next back"},
        {Audio, "NNE", 3, OtherSearch, Ended, "type others back"},
        {Audio, "NNEN", 3, OtherSearch, Ended, "type others back"},
        {Audio, "NNEB", 2, CheckList, None, "type next back"},
        {Audio, "NNEBBB", 0, Media, None, "next"},
        // A double click acts once, on the screen its first press saw.
        {Video, "n", 2, CheckList, None, "type next back"},
        {Audio, "NNEb", 2, CheckList, None, "type next back"},
        {Photo, "b", 0, Media, None, "next"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.mode)) + " " + c.script);
        Wizard wizard(c.mode);
        wizard.run(c.script);
        const ScreenLayout shown = wizard.model.layout();
        EXPECT_EQ(std::tuple(wizard.model.screen_counter(), wizard.model.screen(), wizard.model.phase(), shown.screen),
                  std::tuple(c.screenCounter, c.screen, c.phase, c.screen));
        EXPECT_EQ(shownOn(shown), c.shows);
    }
}

TEST(WizardModel, BackToTheMediaScreenForgetsTheMediumAndReturnsToPhotoModeWhichOnlyChangesThere)
{
    Wizard wizard(RecoveryMode::Video);
    wizard.model.chooseMode(RecoveryMode::Audio);
    EXPECT_EQ(wizard.model.Recovery_MODE(), RecoveryMode::Video);
    EXPECT_EQ(wizard.model.Back_btn(), BackStep::ToMedia);
    EXPECT_EQ(wizard.model.Recovery_MODE(), RecoveryMode::Photo);
    EXPECT_EQ(wizard.model.diskIdentifier(), "");
    EXPECT_EQ(wizard.model.Back_btn(), BackStep::Nothing);
}

TEST(WizardModel, EveryRefusalKeepsTheScreenAndNamesItsMessageAndFocus)
{
    struct Case {
        RecoveryMode mode; const char* script; bool rowSelected; CriteriaChoice criteria; bool anyTypeTicked;
        const char* message; FocusTarget focus; int screenCounter;
    };
    using enum RecoveryMode;
    using enum FocusTarget;
    const CriteriaChoice whole;
    const Case cases[] = {
        {Photo, "B", false, whole, true, "\nPlease select a storage media from list.", None, 0},
        {Photo, "", true, {false, true, "+5", "10"}, true, "\nPlease enter valid Start Sector value.", StartField, 1},
        {Audio, "", true, {false, true, "10", "10"}, true, "\nEnd Sector should be greater than Start Sector.", EndField, 1},
        {Video, "N", true, whole, false, "\nPlease select atleast one extension type.", CheckList, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Wizard wizard(c.mode);
        wizard.run(c.script);
        wizard.inputs.mediumRowSelected = c.rowSelected;
        wizard.inputs.criteria = c.criteria;
        for (TypeChoice& type : wizard.inputs.types)
            type.checked = c.anyTypeTicked;
        const NextOutcome outcome = wizard.model.Next_btn(wizard.inputs);
        EXPECT_EQ(std::tuple(outcome.step, outcome.refusal.message, outcome.refusal.focus, wizard.model.screen_counter()),
                  std::tuple(NextStep::Refused, std::string(c.message), c.focus, c.screenCounter));
    }
}

TEST(WizardModel, APhotoSearchTakesBothPhotoListsTheRangeAndThePhotoThoroughBox)
{
    Wizard wizard;
    wizard.inputs.criteria = {false, true, "30", "100"};
    wizard.inputs.photoThorough = false; wizard.inputs.otherThorough = true;
    const NextOutcome outcome = wizard.model.Next_btn(wizard.inputs);
    ASSERT_EQ(outcome.step, NextStep::StartPhotoSearch);
    const SearchRequest& request = outcome.request;
    EXPECT_EQ(request.sourceIdentifier + " " + request.startSectorText + ".." + request.endSectorText + "/" + request.sectorCountText,
              "sdb1 30..100/1000");
    EXPECT_TRUE(request.sectorRangeChosen && !request.entireDiskChosen && !request.thorough);
    EXPECT_EQ(request.generalList, records({"JPG"}));
    EXPECT_EQ(request.thoroughList, records({"PNG"}));
}

TEST(WizardModel, OnlyTheTickedTypesOfTheModesTwoListsAreHandedOverEachWithAResultsRow)
{
    Wizard wizard(RecoveryMode::Video);
    wizard.run("N");
    wizard.inputs.types = {{"AVI", false}, {"MOV", true}, {"MTS", false}};
    wizard.inputs.photoThorough = true; wizard.inputs.otherThorough = false;
    const NextOutcome outcome = wizard.model.Next_btn(wizard.inputs);
    ASSERT_EQ(outcome.step, NextStep::StartOtherSearch);
    EXPECT_EQ(outcome.resultTypes, std::vector<std::string>{"MOV"});
    for (const SignatureList* list : {&wizard.model.CheckListHeader_Array(), &wizard.model.CheckListHeader_Adv_Array(),
                                      &outcome.request.generalList, &outcome.request.thoroughList})
        EXPECT_EQ(*list, records({"MOV"}));
    EXPECT_EQ(outcome.request.recoveryMode, 1);
    EXPECT_FALSE(outcome.request.thorough);
}

TEST(WizardModel, EachModeHasItsOwnPairOfLists)
{
    const SignatureLists lists = testLists();
    using enum RecoveryMode;
    const std::pair<RecoveryMode, const char*> cases[] = {{Photo, "JPG PNG"}, {Video, "AVI MOV"}, {RawFile, "ZIP GZ"}, {Audio, "MP3 WAV"}};
    for (const auto& [mode, expected] : cases)
        EXPECT_EQ(listsOfMode(lists, mode).general[0] + " " + listsOfMode(lists, mode).thorough[0], expected);
}

TEST(WizardModel, ASaveTakesTheSelectedFilesOnceInOrderOrElseEveryFileShown)
{
    using Rows = std::vector<std::size_t>;
    EXPECT_EQ(saveSelection({}, {2, 0, 1}), (Rows{0, 1, 2}));
    EXPECT_EQ(saveSelection({2, 0, 2}, {0, 1, 2}), (Rows{0, 2}));
    EXPECT_EQ(saveSelection({}, {}), Rows{});
}

} // namespace
} // namespace salvyn
