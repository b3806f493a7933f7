#pragma once
// What the controller is given rather than reaching for it itself, so every desktop
// service can be replaced (by fakes in the tests).
#include "media/qt/diskinfoprovider.h"
#include "media/qt/volumelister.h"

#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace salvyn {

class AlertService;
class FrameDecoder;
class DocumentOpener;
class FolderChooser;
class IconProvider;
class ModalWindowRunner;
class MoviePlayer;
class SectorSourceOpener;

struct ControllerServices {
    AlertService* alerts = nullptr;
    DocumentOpener* documents = nullptr;
    IconProvider* icons = nullptr;
    SectorSourceOpener* opener = nullptr;
    FolderChooser* folderChooser = nullptr;
    ModalWindowRunner* modalRunner = nullptr;
    // Puts the movie player of the preview box into `movieView` (which owns it).
    std::function<MoviePlayer*(QWidget* movieView)> moviePlayerIn;
    // Makes a decoder that takes a found video's frame or a sound's cover picture.
    std::function<std::unique_ptr<FrameDecoder>()> frameDecoders;
    std::unique_ptr<VolumeLister> volumeLister;
    std::unique_ptr<DiskInfoProvider> diskInfoProvider;
    QString resourceFolder; // signature lists, NoPreview.png, Help.pdf
    QString previewFolder;  // private folder of the preview files ("dprv", "dprv.X")
    // Ends the application; `threadsStillRunning` when a search thread would not stop.
    std::function<void(bool threadsStillRunning)> terminate;
};

} // namespace salvyn
