#pragma once
// The destination-folder groups of both criteria screens: each browse button first shows
// the information window `BrowseInfo_Window`, then the folder chooser over the main wizard
// window; a folder chosen with OK is written into both path fields, `_path` and `_path_Sig`,
// so the photo and the other flows show the same folder. The folder is only displayed.
// UI thread only; the fields, runner and chooser must outlive this object.
#include <QObject>
#include <QString>

#include <functional>

class QLineEdit;
class QWidget;

namespace salvyn {

class Browse_Info;
class FolderChooser;
class ModalWindowRunner;

class DestinationFolder : public QObject {
    Q_OBJECT
public:
    DestinationFolder(QWidget* controlPanel, QLineEdit* path, QLineEdit* pathSig, ModalWindowRunner& runner,
                      FolderChooser& chooser);

    // The actions of `_browse_path` and `_browse_path_Sig`; both behave the same.
    void Browse_Path();
    void Browse_Path_Sig();
    // The same choice, then `chosen` with the folder when it ends with OK (nothing otherwise).
    void chooseThen(std::function<void(const QString& folder)> chosen);

    Browse_Info& BrowseInfo_Window() const { return *m_browseInfo; }

private:
    QWidget* m_controlPanel;
    QLineEdit* m_path;
    QLineEdit* m_pathSig;
    ModalWindowRunner& m_runner;
    FolderChooser& m_chooser;
    Browse_Info* m_browseInfo; // owned by the control panel
};

} // namespace salvyn
