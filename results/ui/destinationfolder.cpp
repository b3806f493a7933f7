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
    m_runner.runModal(*m_browseInfo);
    // The chooser may end after the fields are gone (the window closed meanwhile).
    QPointer<QLineEdit> path = m_path;
    QPointer<QLineEdit> pathSig = m_pathSig;
    m_chooser.chooseFolder(m_controlPanel, [path, pathSig](int resultCode, const QString& chosen) {
        if (resultCode != 1)
            return;
        if (path)
            path->setText(chosen);
        if (pathSig)
            pathSig->setText(chosen);
    });
}

void DestinationFolder::Browse_Path_Sig()
{
    Browse_Path();
}

} // namespace salvyn
