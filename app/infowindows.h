#pragma once
// The small information windows of the wizard, each in the window colour with a short text
// and its own buttons: the note before the destination folder chooser, the two end-of-search
// notes, the help window and the about window. Run them through a ModalWindowRunner; every
// button that ends a window ends its modal run with code 1. UI thread only.
#include <QDialog>
#include <QString>

class QPushButton;
class QVBoxLayout;

namespace salvyn {

class AlertService;
class DocumentOpener;

// A window with a title, a text in plain text, and room for buttons below it.
class InfoWindow : public QDialog {
    Q_OBJECT
public:
    InfoWindow(const QString& objectName, const QString& title, const QString& text, QWidget* parent);

protected:
    // Adds a button in the row at the bottom; the last added is the default button.
    QPushButton* addButton(const QString& objectName, const QString& title);
    QVBoxLayout* contentLayout() const { return m_content; }

private:
    QVBoxLayout* m_content;
    QWidget* m_buttonRow;
};

// `BrowseInfo_Window`: shown before every folder chooser.
class Browse_Info : public InfoWindow {
    Q_OBJECT
public:
    explicit Browse_Info(QWidget* parent = nullptr);
    void Continue_Btn() { done(1); }
};

// `SaveFile_Info_Window`: the end of a photo search.
class SaveFile_Info : public InfoWindow {
    Q_OBJECT
public:
    explicit SaveFile_Info(QWidget* parent = nullptr);
    void OK_Btn() { done(1); }
};

// `SaveFile_Info_For_RAW_Window`: the end of a video, raw-file or audio search.
class SaveFile_Info_For_RAW : public InfoWindow {
    Q_OBJECT
public:
    explicit SaveFile_Info_For_RAW(QWidget* parent = nullptr);
    void OK_Btn() { done(1); }
};

// `HelpWindow`: a few lines on the wizard and a link-like button `_Help_File_Label` that
// opens the user guide, "Help.pdf" in the resource folder, with the desktop's default
// application. The opener and the alerts must outlive the window.
class Help_Support : public InfoWindow {
    Q_OBJECT
public:
    Help_Support(const QString& resourceFolder, DocumentOpener& opener, AlertService& alerts,
                 QWidget* parent = nullptr);
    void HelpFilePressed();
    void Close_Btn() { done(1); }

private:
    QString m_resourceFolder;
    DocumentOpener& m_opener;
    AlertService& m_alerts;
};

// The about window: product, maker, version (the application's version), what it does and
// the licence of the toolkit it is built with.
class AboutWindow : public InfoWindow {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
    void OK_Btn() { done(1); }
};

} // namespace salvyn
