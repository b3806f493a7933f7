#pragma once
// The real desktop services of the app, made once in main() and handed to the controller.
#include "app/mytablecontroller.h"

#include <memory>

namespace salvyn {

class DesktopServices {
public:
    DesktopServices();
    ~DesktopServices();
    // Services for one controller; the objects stay owned here and must outlive it.
    ControllerServices controllerServices();

    // The private folder of preview files: "$XDG_RUNTIME_DIR/salvyn-preview" when the session
    // has a runtime folder, else the user's cache folder + "/preview".
    static QString previewFolder();

private:
    std::unique_ptr<AlertService> m_alerts;
    std::unique_ptr<DocumentOpener> m_documents;
    std::unique_ptr<IconProvider> m_icons;
    std::unique_ptr<SectorSourceOpener> m_opener;
    std::unique_ptr<FolderChooser> m_folderChooser;
    std::unique_ptr<ModalWindowRunner> m_modalRunner;
};

} // namespace salvyn
