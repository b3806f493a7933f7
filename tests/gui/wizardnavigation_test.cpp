// The wizard's Next and Back on every screen: refusals with their exact alerts and focus,
// what Back restores, the help and about windows, and the exit question.
#include "app/wizardtexts.h"
#include "signatures/qt/checklistmodel.h"
#include "wizardharness.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <gtest/gtest.h>

namespace salvyn::testing {
namespace {

class WizardNavigation : public ::testing::Test {
protected:
    void SetUp() override
    {
        h.writeList(QStringLiteral("ZephExt2.dll"), {{".jpg", "18874368", "FFD8FF", "1", "JPEG picture"}});
        h.writeList(QStringLiteral("ZephVideo.dll"), {{".avi", "18874368", "52494646", "1", "AVI movie"},
                                                      {".mov", "18874368", "000000146674797071742020", "1", "QuickTime movie"}});
        h.writeList(QStringLiteral("ZephVideoAdv.dll"), {{".mts", "18874368", "47", "1", "MPEG transport stream"}});
        image = h.writeImage(QStringLiteral("card.img"), 1000, {});
        h.start();
        ASSERT_TRUE(h.controller().addDiskImage(image).isEmpty());
    }

    QString help() const { return h.find<QLabel>(QStringLiteral("_help_info"))->text(); }
    bool shown(const QString& name) const { return h.find<QWidget>(name)->isVisibleTo(&h.controller()); }
    const RecordedAlert& lastAlert() const { return h.alerts.shown.back(); }

    void toCriteria(const QString& modeRadio = QStringLiteral("_rec_mode_Photo"))
    {
        h.click(modeRadio);
        h.selectMedium(0);
        h.click(QStringLiteral("Next_btn"));
        ASSERT_EQ(h.controller().screen_counter(), 1);
    }

    WizardHarness h;
    QString image;
};

TEST_F(WizardNavigation, StartsOnTheMediaScreenInPhotoModeWithTheThoroughBoxOn)
{
    EXPECT_EQ(h.controller().screen_counter(), 0);
    EXPECT_EQ(h.controller().recoveryMode(), 0);
    EXPECT_EQ(help(), texts::kHelpMedia);
    EXPECT_TRUE(h.find<QCheckBox>(QStringLiteral("_Thro_Mode_Chk"))->isChecked());
    EXPECT_TRUE(shown(QStringLiteral("idTableView")));
    EXPECT_FALSE(shown(QStringLiteral("_disk_val")));
    EXPECT_FALSE(shown(QStringLiteral("imageBrowser")));
    EXPECT_FALSE(h.find<QPushButton>(QStringLiteral("Back_btn"))->isEnabled());
    EXPECT_EQ(h.controller().palette().color(QPalette::Window), QColor(241, 244, 250));
    EXPECT_EQ(h.find<QLabel>(QStringLiteral("_disk_Sig"))->text(), QStringLiteral("Disk\t\t\t\t:"));
    EXPECT_EQ(h.find<QLabel>(QStringLiteral("_sector_label"))->text(), QStringLiteral("Sectors 0 of 0"));
}

TEST_F(WizardNavigation, NextWithoutAMediumRefusesAndChangesNothing)
{
    h.click(QStringLiteral("Next_btn"));
    ASSERT_EQ(h.alerts.shown.size(), 1u);
    EXPECT_EQ(lastAlert().message, QStringLiteral("\nPlease select a storage media from list."));
    EXPECT_TRUE(lastAlert().informativeText.isEmpty());
    EXPECT_EQ(lastAlert().buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(h.controller().screen_counter(), 0);
    EXPECT_EQ(help(), texts::kHelpMedia);
}

TEST_F(WizardNavigation, NextFromMediaFillsTheCriteriaOfTheChosenMode)
{
    toCriteria(QStringLiteral("_rec_mode_Video"));
    EXPECT_EQ(help(), texts::kHelpEntireDisk);
    EXPECT_EQ(h.find<QLabel>(QStringLiteral("_disk_val_Sig"))->text(), image);
    EXPECT_EQ(h.find<QLabel>(QStringLiteral("_vol_name_val_Sig"))->text(), QStringLiteral("card.img"));
    EXPECT_EQ(h.find<QLabel>(QStringLiteral("_end_sector_entire_val_Sig"))->text(), QStringLiteral("1000"));
    EXPECT_EQ(h.find<QLabel>(QStringLiteral("_start_sector_entire_val_Sig"))->text(), QStringLiteral("0"));
    EXPECT_EQ(h.find<QLabel>(QStringLiteral("_Search_Type"))->text(), QStringLiteral("Search Type : Recover Video"));
    EXPECT_TRUE(shown(QStringLiteral("_Search_Type")));
    EXPECT_TRUE(shown(QStringLiteral("_disk_val_Sig")));
    EXPECT_FALSE(shown(QStringLiteral("_disk_val")));
    EXPECT_FALSE(shown(QStringLiteral("idTableView")));
    EXPECT_TRUE(h.find<QRadioButton>(QStringLiteral("_entire_disk_rd_Sig"))->isChecked());
    EXPECT_TRUE(h.find<QPushButton>(QStringLiteral("Back_btn"))->isEnabled());
}

TEST_F(WizardNavigation, EveryRangeRefusalHasItsMessageAndFocus)
{
    toCriteria();
    h.controller().activateWindow();
    h.click(QStringLiteral("_sector_range_rd"));
    EXPECT_EQ(help(), texts::kHelpSectorRange);
    auto* start = h.find<QLineEdit>(QStringLiteral("_Start_slider_val"));
    auto* end = h.find<QLineEdit>(QStringLiteral("_End_slider_val"));
    EXPECT_EQ(start->text(), QStringLiteral("0"));
    EXPECT_EQ(end->text(), QStringLiteral("1000"));
    struct Case {
        const char* start;
        const char* end;
        const char* message;
        const char* informative;
        QLineEdit* focus;
    };
    const Case cases[] = {
        {"", "10", "\nPlease enter valid Start Sector value.", "", start},
        {"+5", "10", "\nPlease enter valid Start Sector value.", "", start},
        {"00005", "10", "\nMaximum sector range exceeded", "Please enter valid Start Sector value.", start},
        {"1001", "10", "\nMaximum sector range exceeded", "Please enter valid Start Sector value.", start},
        {"5", "5a", "\nPlease enter valid End Sector value.", "", end},
        {"5", "1001", "\nMaximum sector range exceeded", "Please enter valid End Sector value.", end},
        {"10", "10", "\nEnd Sector should be greater than Start Sector.", "", end},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + ".." + c.end);
        start->setText(QString::fromUtf8(c.start));
        end->setText(QString::fromUtf8(c.end));
        h.find<QWidget>(QStringLiteral("Next_btn"))->setFocus();
        h.alerts.shown.clear();
        h.click(QStringLiteral("Next_btn"));
        ASSERT_EQ(h.alerts.shown.size(), 1u);
        EXPECT_EQ(lastAlert().message, QString::fromUtf8(c.message));
        EXPECT_EQ(lastAlert().informativeText, QString::fromUtf8(c.informative));
        EXPECT_EQ(h.controller().focusWidget(), c.focus);
        EXPECT_EQ(h.controller().screen_counter(), 1);
        EXPECT_EQ(start->text(), QString::fromUtf8(c.start)); // inputs unchanged
    }
}

TEST_F(WizardNavigation, EntireDiskChecksNoRangeAndSectorRangeStartsFromTheWholeDisk)
{
    toCriteria(QStringLiteral("_rec_mode_Audio"));
    h.click(QStringLiteral("_sector_range_rd_Sig"));
    h.find<QLineEdit>(QStringLiteral("_Start_slider_val_Sig"))->setText(QStringLiteral("junk"));
    h.click(QStringLiteral("_entire_disk_rd_Sig"));
    EXPECT_FALSE(h.find<QRadioButton>(QStringLiteral("_sector_range_rd_Sig"))->isChecked());
    h.click(QStringLiteral("_sector_range_rd_Sig"));
    EXPECT_EQ(h.find<QLineEdit>(QStringLiteral("_Start_slider_val_Sig"))->text(), QStringLiteral("0"));
    h.click(QStringLiteral("_entire_disk_rd_Sig"));
    h.find<QLineEdit>(QStringLiteral("_Start_slider_val_Sig"))->setText(QStringLiteral("junk"));
    h.click(QStringLiteral("Next_btn"));
    EXPECT_TRUE(h.alerts.shown.empty());
    EXPECT_EQ(h.controller().screen_counter(), 2);
}

TEST_F(WizardNavigation, CheckListRefusesWithoutATypeAndFocusesTheTable)
{
    toCriteria(QStringLiteral("_rec_mode_Video"));
    h.click(QStringLiteral("Next_btn"));
    ASSERT_EQ(h.controller().screen_counter(), 2);
    EXPECT_EQ(help(), texts::kHelpCheckList);
    EXPECT_TRUE(shown(QStringLiteral("idCheckTableView")));
    EXPECT_EQ(h.controller().nsCheckedListDataObject()->rowCount(), 3);
    h.controller().activateWindow();
    h.click(QStringLiteral("_select_unselect_Chk")); // off: unselect all
    h.click(QStringLiteral("Next_btn"));
    ASSERT_EQ(h.alerts.shown.size(), 1u);
    EXPECT_EQ(lastAlert().message, QStringLiteral("\nPlease select atleast one extension type."));
    EXPECT_EQ(lastAlert().buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(h.controller().focusWidget(), h.find<QTableView>(QStringLiteral("idCheckTableView")));
    EXPECT_EQ(h.controller().screen_counter(), 2);
    EXPECT_TRUE(h.events.isEmpty()); // no search started
}

TEST_F(WizardNavigation, BackFromCriteriaResetsTheModeToPhotoAndForgetsTheMedium)
{
    toCriteria(QStringLiteral("_rec_mode_Video"));
    h.click(QStringLiteral("Back_btn"));
    EXPECT_EQ(h.controller().screen_counter(), 0);
    EXPECT_EQ(h.controller().recoveryMode(), 0);
    EXPECT_TRUE(h.find<QRadioButton>(QStringLiteral("_rec_mode_Photo"))->isChecked());
    EXPECT_FALSE(h.find<QRadioButton>(QStringLiteral("_rec_mode_Video"))->isChecked());
    EXPECT_EQ(help(), texts::kHelpMedia);
    EXPECT_FALSE(shown(QStringLiteral("_Search_Type")));
    for (const char* name : {"_disk_identifier", "_sectors_val", "_disk_val", "_vol_name_val_Sig", "_size_val",
                             "_end_sector_entire_val_Sig"})
        EXPECT_EQ(h.find<QLabel>(QString::fromLatin1(name))->text(), QStringLiteral("<None>")) << name;
    EXPECT_FALSE(h.find<QPushButton>(QStringLiteral("Back_btn"))->isEnabled());
    EXPECT_TRUE(shown(QStringLiteral("idTableView")));
    EXPECT_FALSE(shown(QStringLiteral("_disk_val_Sig")));
    EXPECT_EQ(h.find<QTableView>(QStringLiteral("idTableView"))->model()->rowCount(), 1); // reloaded, image kept
}

TEST_F(WizardNavigation, BackFromTheCheckListReturnsToTheCriteriaOfTheRange)
{
    toCriteria(QStringLiteral("_rec_mode_RawFile"));
    h.click(QStringLiteral("_sector_range_rd_Sig"));
    h.click(QStringLiteral("Next_btn"));
    ASSERT_EQ(h.controller().screen_counter(), 2);
    h.click(QStringLiteral("Back_btn"));
    EXPECT_EQ(h.controller().screen_counter(), 1);
    EXPECT_EQ(help(), texts::kHelpSectorRange);
    EXPECT_TRUE(shown(QStringLiteral("_Start_Slider_Sig")));
    EXPECT_FALSE(shown(QStringLiteral("idCheckTableView")));
    EXPECT_TRUE(h.find<QPushButton>(QStringLiteral("Next_btn"))->isEnabled());
}

TEST_F(WizardNavigation, HelpAndAboutRunTheirWindowsModally)
{
    h.click(QStringLiteral("Help_btn"));
    h.click(QStringLiteral("About_btn"));
    EXPECT_EQ(h.events, (QStringList{QStringLiteral("modal:HelpWindow"), QStringLiteral("modal:AboutWindow")}));
}

TEST_F(WizardNavigation, BrowseShowsTheInformationFirstAndFillsBothPathFields)
{
    toCriteria();
    h.click(QStringLiteral("_browse_path"));
    EXPECT_EQ(h.events, (QStringList{QStringLiteral("modal:BrowseInfo_Window"), QStringLiteral("chooser")}));
    h.folderChooser.finish(1, QStringLiteral("/home/user/Recovered"));
    EXPECT_EQ(h.find<QLineEdit>(QStringLiteral("_path"))->text(), QStringLiteral("/home/user/Recovered"));
    EXPECT_EQ(h.find<QLineEdit>(QStringLiteral("_path_Sig"))->text(), QStringLiteral("/home/user/Recovered"));
}

class ExitQuestion : public WizardNavigation {
protected:
    void writePreviewFolder()
    {
        for (const char* name : {"dprv", "dprv.MOV", "dprv.a.b", "notes.txt", "dprvX.MOV"}) {
            QFile file(h.previewFolder + QLatin1Char('/') + QLatin1String(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        QDir(h.previewFolder).mkdir(QStringLiteral("dprv.d"));
    }
    QStringList previewEntries() const
    {
        return QDir(h.previewFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }
};

TEST_F(ExitQuestion, NoKeepsEverythingFromTheButtonAndTheCloseBox)
{
    writePreviewFolder();
    h.alerts.answers = {QStringLiteral("No"), QStringLiteral("No")};
    h.click(QStringLiteral("Exit_Btn"));
    EXPECT_FALSE(h.controller().close());
    ASSERT_EQ(h.alerts.shown.size(), 2u);
    EXPECT_EQ(h.alerts.shown[0].message, QStringLiteral("\nDo you really want to exit from 'Korvia - Salvyn'?"));
    EXPECT_EQ(h.alerts.shown[0].buttons, (QStringList{QStringLiteral("Yes"), QStringLiteral("No")}));
    EXPECT_TRUE(h.terminations.empty());
    EXPECT_TRUE(h.controller().isVisible());
    EXPECT_EQ(previewEntries().size(), 6);
}

TEST_F(ExitQuestion, YesRemovesThePreviewFilesOnlyAndTerminates)
{
    writePreviewFolder();
    h.alerts.answers = {QStringLiteral("Yes")};
    h.click(QStringLiteral("Exit_Btn"));
    EXPECT_EQ(h.terminations, std::vector<bool>{false});
    EXPECT_EQ(previewEntries(),
              (QStringList{QStringLiteral("dprv.a.b"), QStringLiteral("dprv.d"), QStringLiteral("dprvX.MOV"),
                           QStringLiteral("notes.txt")}));
}

TEST_F(ExitQuestion, StartUpClearsPreviewFilesLeftByAnEarlierRun)
{
    writePreviewFolder();
    WizardHarness second;
    QDir(second.previewFolder).removeRecursively();
    QDir().rename(h.previewFolder, second.previewFolder);
    second.start();
    EXPECT_FALSE(QFile::exists(second.previewFolder + QStringLiteral("/dprv.MOV")));
    EXPECT_TRUE(QFile::exists(second.previewFolder + QStringLiteral("/dprv.a.b")));
}

} // namespace
} // namespace salvyn::testing
