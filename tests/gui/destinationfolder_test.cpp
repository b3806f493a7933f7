// Choosing the destination folder: the information window first, every time, then the
// chooser; OK fills both path fields, anything else leaves them as they were.
#include "app/infowindows.h"
#include "results/ui/destinationfolder.h"
#include "resultsuifakes.h"

#include <QtWidgets>
#include <gtest/gtest.h>

namespace salvyn {
namespace {

struct DestinationFolderFlow : ::testing::Test {
    QStringList events;
    testing::FakeModalRunner runner{events};
    testing::FakeFolderChooser chooser{events};
    QWidget controlPanel;
    QLineEdit* path = new QLineEdit(&controlPanel);
    QLineEdit* pathSig = new QLineEdit(&controlPanel);
    DestinationFolder folder{&controlPanel, path, pathSig, runner, chooser};
};

TEST_F(DestinationFolderFlow, AFolderChosenOnEitherScreenShowsInBothFieldsCancellingChangesNothingLateEndsAreSafe)
{
    folder.Browse_Path_Sig();
    chooser.finish(1, QStringLiteral("/home/ana/Recovered photos"));
    EXPECT_EQ(path->text(), QStringLiteral("/home/ana/Recovered photos"));
    folder.Browse_Path();
    EXPECT_EQ(events.at(2), QStringLiteral("modal:BrowseInfo_Window")); // every time, before the chooser
    EXPECT_EQ(events.at(3), QStringLiteral("chooser:/home/ana/Recovered photos")); // opened where chosen before
    chooser.finish(1, QStringLiteral("/srv/out"));
    EXPECT_EQ(path->text() + u'|' + pathSig->text(), QStringLiteral("/srv/out|/srv/out"));
    folder.Browse_Path();
    chooser.finish(0, QString());
    EXPECT_EQ(path->text() + u'|' + pathSig->text(), QStringLiteral("/srv/out|/srv/out"));
    // A chooser ending after a field is gone fills the one left.
    folder.Browse_Path();
    delete path;
    chooser.finish(1, QStringLiteral("/late"));
    EXPECT_EQ(pathSig->text(), QStringLiteral("/late"));
}

// The real chooser: a window-modal folder dialog that reports through its completion.
TEST(RealChooser, OffersFoldersOnlyAndAnswersOneAndThePathForOkZeroForCancel)
{
    QWidget parent;
    DialogFolderChooser chooser;
    QTemporaryDir folder;
    int resultCode = -1, calls = 0;
    QString path;
    const auto openDialog = [&] {
        chooser.chooseFolder(&parent, folder.path(), [&](int code, const QString& chosen) { resultCode = code, path = chosen, ++calls; });
        return parent.findChild<QFileDialog*>();
    };
    QFileDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(dialog->testOption(QFileDialog::ShowDirsOnly));
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    EXPECT_EQ(calls, 0); // it does not block: the answer comes later
    EXPECT_EQ(dialog->directory().canonicalPath(), QDir(folder.path()).canonicalPath());
    dialog->selectFile(folder.path());
    QMetaObject::invokeMethod(dialog, "accept");
    EXPECT_EQ(std::pair(calls, resultCode), std::pair(1, 1));
    EXPECT_EQ(QDir(path).canonicalPath(), QDir(folder.path()).canonicalPath());
    openDialog()->reject();
    EXPECT_EQ(std::pair(calls, resultCode), std::pair(2, 0));
}

} // namespace
} // namespace salvyn
