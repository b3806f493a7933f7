// The information windows' modal runs, the help file, the resources the build ships, and
// the real desktop services that run offscreen: alerts and icons.
#include "app/infowindows.h"
#include "app/windowcolour.h"
#include "platform/qt/alertservice.h"
#include "platform/qt/iconprovider.h"
#include "platform/resourcefolder.h"
#include "resultsuifakes.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPdfDocument>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace salvyn {
namespace {

QString buildResourceFolder()
{
    return QString::fromStdString(findResourceFolder());
}

// Runs `window` with the real runner and presses the button called `buttonName` in it.
int runAndPress(QDialog& window, const QString& buttonName)
{
    QTimer::singleShot(0, &window, [&window, buttonName] {
        if (auto* button = window.findChild<QPushButton*>(buttonName))
            button->click();
        else
            window.reject();
    });
    ExecModalWindowRunner runner;
    return runner.runModal(window);
}

TEST(InfoWindows, EachIsInTheWindowColourAndItsButtonEndsTheModalRunWithOneEscapeWithZero)
{
    testing::FakeOpener opener;
    testing::FakeAlerts alerts;
    std::vector<std::pair<std::unique_ptr<QDialog>, QString>> windows;
    windows.emplace_back(std::make_unique<Browse_Info>(), QStringLiteral("Continue_Btn"));
    windows.emplace_back(std::make_unique<SaveFile_Info>(), QStringLiteral("OK_Btn"));
    windows.emplace_back(std::make_unique<SaveFile_Info_For_RAW>(), QStringLiteral("OK_Btn"));
    windows.emplace_back(std::make_unique<Help_Support>(QStringLiteral("/nowhere"), opener, alerts),
                         QStringLiteral("Close_Btn"));
    windows.emplace_back(std::make_unique<AboutWindow>(), QStringLiteral("OK_Btn"));
    for (auto& [window, button] : windows) {
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_EQ(window->palette().color(QPalette::Window), QColor(241, 244, 250));
        EXPECT_TRUE(window->autoFillBackground());
        EXPECT_EQ(runAndPress(*window, button), 1);
        EXPECT_FALSE(window->isVisible());
        // Escape ends the run too, with nothing, and hides the window.
        EXPECT_EQ(runAndPress(*window, QStringLiteral("no such button")), 0);
        EXPECT_FALSE(window->isVisible());
    }
}

struct HelpWindow : ::testing::Test {
    QTemporaryDir resources;
    testing::FakeOpener opener;
    testing::FakeAlerts alerts;
    Help_Support help{resources.path(), opener, alerts};
    QPushButton* link = help.findChild<QPushButton*>(QStringLiteral("_Help_File_Label"));
};

TEST_F(HelpWindow, PressingItOpensHelpPdfFromTheResourceFolderOrSaysItIsMissing)
{
    link->click();
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_EQ(alerts.shown.size(), 1u);

    QFile pdf(resources.path() + QStringLiteral("/Help.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.write("%PDF-1.4\n");
    pdf.close();
    link->click();
    EXPECT_EQ(opener.opened, QStringList{resources.path() + QStringLiteral("/Help.pdf")});
    EXPECT_EQ(alerts.shown.size(), 1u);
}

TEST(ShippedResources, TheBuildTypesetsTheUserGuideIntoHelpPdf)
{
    const QString path = buildResourceFolder() + QStringLiteral("/Help.pdf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    EXPECT_EQ(file.read(5), QByteArray("%PDF-"));
    QPdfDocument document;
    ASSERT_EQ(document.load(path), QPdfDocument::Error::None);
    EXPECT_GE(document.pageCount(), 2);
}

TEST(ShippedResources, TheNoPreviewPictureIsThereAndDecodes)
{
    QImage picture(buildResourceFolder() + QStringLiteral("/NoPreview.png"));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(100, 100));
}

struct SeenAlert {
    QString text, informative, defaultButton;
    QStringList buttons;
    Qt::TextFormat format = Qt::AutoText;
};

// Answers the next message box by pressing the button with the given text.
void pressWhenShown(const QString& answer, SeenAlert& seen)
{
    QTimer::singleShot(0, [answer, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.text = box->text();
        seen.informative = box->informativeText();
        seen.format = box->textFormat();
        seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == answer)
                b->click();
    });
}

TEST(MessageBoxAlertService, AMessageHasOnePlainOkButtonAndAQuestionDefaultsToYes)
{
    MessageBoxAlertService alerts;
    SeenAlert message;
    pressWhenShown(QStringLiteral("OK"), message);
    alerts.message(nullptr, QStringLiteral("\n<b>Message</b>"), QStringLiteral("Informative"));
    EXPECT_EQ(message.text + message.informative, QStringLiteral("\n<b>Message</b>Informative"));
    EXPECT_EQ(message.buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(message.format, Qt::PlainText);
    for (const bool yes : {false, true}) {
        SeenAlert question;
        pressWhenShown(yes ? QStringLiteral("Yes") : QStringLiteral("No"), question);
        EXPECT_EQ(alerts.question(nullptr, QStringLiteral("\nLeave?")), yes);
        EXPECT_EQ(question.defaultButton, QStringLiteral("Yes"));
        EXPECT_EQ(question.buttons.size(), 2);
    }
}

TEST(ThemeIconProvider, EveryTypeGetsAnIconUnknownOnesTheGenericFileIcon)
{
    ThemeIconProvider icons;
    EXPECT_FALSE(icons.iconForFileType(QStringLiteral("MP4")).isNull());
    EXPECT_FALSE(icons.iconForFileType(QStringLiteral("WAV")).isNull());
    const QIcon unknown = icons.iconForFileType(QStringLiteral("QQZZ"));
    ASSERT_FALSE(unknown.isNull());
    EXPECT_FALSE(unknown.pixmap(16, 16).isNull());
    EXPECT_FALSE(icons.iconForFileType(QString()).pixmap(200, 200).isNull());
}

} // namespace
} // namespace salvyn
