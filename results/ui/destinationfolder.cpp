#include "results/ui/destinationfolder.h"

#include "app/infowindows.h"
#include "app/modalwindowrunner.h"
#include "results/ui/folderchooser.h"

#include <QLineEdit>
#include <QPointer>

namespace salvyn {

DestinationFolder::DestinationFolder(QWidget* controlPanel, QLineEdit* path, QLineEdit* pathSig,
                                     ModalWindowRunner& runner, FolderChooser& chooser)
    : QObject(controlPanel), m_controlPanel(controlPanel), m_path(path), m_pathSig(pathSig), m_runner(runner),
      m_chooser(chooser), m_browseInfo(new Browse_Info(controlPanel))
{
}

void DestinationFolder::Browse_Path()
{
    chooseThen({});
}

void DestinationFolder::chooseThen(std::function<void(const QString& folder)> chosen)
{
    m_runner.runModal(*m_browseInfo);
    // The chooser may end after the fields are gone (the window closed meanwhile).
    QPointer<QLineEdit> path = m_path;
    QPointer<QLineEdit> pathSig = m_pathSig;
    m_chooser.chooseFolder(m_controlPanel, m_path->text(), [path, pathSig, chosen = std::move(chosen)](int resultCode,
                                                                                          const QString& folder) {
        if (resultCode != 1)
            return;
        if (path)
            path->setText(folder);
        if (pathSig)
            pathSig->setText(folder);
        if (chosen)
            chosen(folder);
    });
}

void DestinationFolder::Browse_Path_Sig()
{
    Browse_Path();
}

} // namespace salvyn
