// The real desktop services that run offscreen: alerts and icons.
#include "platform/qt/alertservice.h"
#include "platform/qt/iconprovider.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace salvyn {
namespace {

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

TEST(MessageBoxAlertService, MessageHasOnePlainOkButtonAndTheExactTexts)
{
    MessageBoxAlertService alerts;
    SeenAlert seen;
    pressWhenShown(QStringLiteral("OK"), seen);
    alerts.message(nullptr, QStringLiteral("\nMaximum sector range exceeded"),
                   QStringLiteral("Please enter valid Start Sector value."));
    EXPECT_EQ(seen.text, QStringLiteral("\nMaximum sector range exceeded"));
    EXPECT_EQ(seen.informative, QStringLiteral("Please enter valid Start Sector value."));
    EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(seen.defaultButton, QStringLiteral("OK"));
    EXPECT_EQ(seen.format, Qt::PlainText);
}

TEST(MessageBoxAlertService, QuestionDefaultsToYesAndAnswersWhatWasPressed)
{
    MessageBoxAlertService alerts;
    SeenAlert seen;
    pressWhenShown(QStringLiteral("No"), seen);
    EXPECT_FALSE(alerts.question(nullptr, QStringLiteral("\nDo you really want to exit?")));
    EXPECT_EQ(seen.defaultButton, QStringLiteral("Yes"));
    EXPECT_EQ(seen.buttons.size(), 2);
    EXPECT_TRUE(seen.informative.isEmpty());

    SeenAlert again;
    pressWhenShown(QStringLiteral("Yes"), again);
    EXPECT_TRUE(alerts.question(nullptr, QStringLiteral("\nDo you really want to exit?")));
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
