// The range controls: sliders and fields follow each other without feeding back, exactly
// up to INT_MAX sectors and proportionally above.
#include "app/criteriascreen.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QWidget>
#include <climits>
#include <gtest/gtest.h>

namespace salvyn {
namespace {

class RangeControls : public ::testing::Test {
protected:
    void enter(const char* sectors)
    {
        screen.enterFromMedium(QStringLiteral("sdb1"), QStringLiteral("CARD"), QStringLiteral("MS-DOS (FAT32)"),
                               QStringLiteral("1.00 GB "), QString::fromLatin1(sectors));
        screen.Sector_Range_Radio();
    }
    QLineEdit* field(const char* name) const { return window.findChild<QLineEdit*>(QString::fromLatin1(name)); }
    QSlider* slider(const char* name) const { return window.findChild<QSlider*>(QString::fromLatin1(name)); }

    QWidget window;
    CriteriaScreen screen{&window, QStringLiteral("_Sig"), false};
};

TEST_F(RangeControls, SectorRangeStartsFromTheWholeMedium)
{
    enter("1000");
    EXPECT_EQ(field("_Start_slider_val_Sig")->text(), QStringLiteral("0"));
    EXPECT_EQ(field("_End_slider_val_Sig")->text(), QStringLiteral("1000"));
    EXPECT_EQ(slider("_End_Slider_Sig")->maximum(), 1000);
    EXPECT_EQ(slider("_End_Slider_Sig")->value(), 1000);
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("_Start_Sec_Max_val_Sig"))->text(), QStringLiteral("1000"));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("_End_Sec_Min_val_Sig"))->text(), QStringLiteral("0"));
    EXPECT_EQ(window.findChild<QCheckBox*>(), nullptr); // no thorough box on this set
}

TEST_F(RangeControls, SliderWritesItsFieldAndTypingMovesTheSliderWithoutRewritingTheText)
{
    enter("1000");
    slider("_Start_Slider_Sig")->setValue(250);
    EXPECT_EQ(field("_Start_slider_val_Sig")->text(), QStringLiteral("250"));
    QLineEdit* end = field("_End_slider_val_Sig");
    end->clear();
    QTest::keyClicks(end, QStringLiteral("00500"));
    EXPECT_EQ(slider("_End_Slider_Sig")->value(), 500);
    EXPECT_EQ(end->text(), QStringLiteral("00500"));
    QTest::keyClicks(end, QStringLiteral("0")); // 005000 lies beyond the medium
    EXPECT_EQ(slider("_End_Slider_Sig")->value(), 500);
    EXPECT_EQ(end->text(), QStringLiteral("005000"));
}

TEST_F(RangeControls, BigMediaScaleTheSlidersButKeepExactTexts)
{
    enter("5000000000");
    EXPECT_EQ(slider("_End_Slider_Sig")->maximum(), INT_MAX);
    EXPECT_EQ(field("_End_slider_val_Sig")->text(), QStringLiteral("5000000000"));
    slider("_End_Slider_Sig")->setValue(INT_MAX / 2);
    const qulonglong middle = field("_End_slider_val_Sig")->text().toULongLong();
    EXPECT_NEAR(static_cast<double>(middle), 2500000000.0, 3.0);
    slider("_End_Slider_Sig")->setValue(INT_MAX);
    EXPECT_EQ(field("_End_slider_val_Sig")->text(), QStringLiteral("5000000000"));
    QLineEdit* start = field("_Start_slider_val_Sig");
    start->clear();
    QTest::keyClicks(start, QStringLiteral("4000000000"));
    EXPECT_EQ(start->text(), QStringLiteral("4000000000"));
    EXPECT_NEAR(slider("_Start_Slider_Sig")->value(), INT_MAX * 0.8, 2.0);
}

TEST_F(RangeControls, EntireDiskShowsTheDiskValuesAndHidesTheRange)
{
    enter("1000");
    EXPECT_EQ(screen.helpTextForChoice().left(14), QStringLiteral("\u2018Sector Range\u2019"));
    screen.Entire_Disk_Radio();
    window.show();
    EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("_disk_val_Sig"))->isVisibleTo(&window));
    EXPECT_FALSE(slider("_Start_Slider_Sig")->isVisibleTo(&window));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("_vol_name_val_Sig"))->text(), QStringLiteral("CARD"));
}

TEST_F(RangeControls, MediumTextsAreShownAsPlainText)
{
    screen.enterFromMedium(QStringLiteral("sdb1"), QStringLiteral("<b>x</b>"), QString(), QString(), QStringLiteral("8"));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("_vol_name_val_Sig"))->textFormat(), Qt::PlainText);
}

} // namespace
} // namespace salvyn
