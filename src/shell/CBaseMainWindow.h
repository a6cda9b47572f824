#pragma once

// The base of the program's main window: the document flow for the one
// picture the program edits at a time, shared by every run mode.
//
//   - open: the question about unsaved changes, the Open dialog with its
//     remembered folder ("mw.recentFolder"), the file checks, the caption;
//     pictures dropped on the window (standalone only) and pictures given on
//     the command line (one, or several in batch);
//   - save to the opened path, save under another name (the remembered
//     folder "NavikLastSaveDir" and extension "NavikLastUsedExtensionForSave");
//   - close the picture, and close the window with the question before closing;
//     in Photoshop mode the window hands the corrected picture back to the
//     host instead of writing a file;
//   - a counted, delayed enabling of the window's controls.
//
// The picture itself lives in the process engine. Everything that depends on
// the concrete window is an operation of IMainWindowInterface; the flows here
// call those operations in a fixed order, which is the contract with the
// concrete window. Every flow runs on the GUI thread; the questions and
// dialogs run local event loops, so other slots may run while one is open.
//
// Outcome for a host: Save, and the host branches of the question before
// closing, set the application's image-saved flag, from which the host's exit
// code follows (0 saved, 3 nothing saved).

#include "shell/FileFailure.h"
#include "shell/IMainWindowInterface.h"
#include "shell/SerializableUiImpl.h"

#include <QMessageBox>
#include <QTimer>

#include <memory>

class CBaseApplication;
class QLocalSocket;

class CBaseMainWindow : public IMainWindowInterface, public SerializableUiImpl
{
    Q_OBJECT
    Q_INTERFACES(ISerializableUiInterface ISerializableInterface)
public:
    CBaseMainWindow(CBaseApplication* application, QWidget* parent = nullptr);
    // Remembers the Open dialog's folder for the next run.
    ~CBaseMainWindow() override;

    // Resets the window and opens the file; true when the picture is open.
    // When `savePath` is not empty, Save writes there instead of `path`.
    bool openFile(const QString& path, const QString& savePath);
    // Opens a picture already in memory (a Photoshop host's) with the window
    // state the host kept.
    bool openImage(NavikImagePtr image, const CWindowState& state);
    bool openFilesInBatchMode(const QStringList& paths);
    CWindowState getWindowState() const;

    // The only way to change the controls' enabled state. Requests are
    // counted: a disable shows at once, an enable only once the requests
    // balance and 500 ms have passed without another one. `allControls`
    // is kept until it has been applied.
    void setControlsEnabled(bool allControls, bool enabled);
    void enableWindowCloseButton(bool enabled);

public Q_SLOTS:
    // Opens another picture (the Open action, a file-open event, a recent
    // file) after asking about unsaved changes; an empty path shows the Open
    // dialog. Only in standalone mode.
    bool saveOldAndOpenNewFile(const QString& path);
    bool saveOldAndOpenNewFile();
    // Save: to the opened path, or in Photoshop mode back to the host (which
    // also closes the window, as a save does in Lightroom and Aperture mode).
    bool saveOpenedFile();
    // Save As: the file dialog, then a save that changes neither the opened
    // path nor the image-saved flag.
    bool saveOpenedFileAs();
    void closeApp();
    // What happens to unsaved changes when the window closes: Save (saved or
    // handed back; close), Discard (nothing to save, or the user declined;
    // close) or Cancel (keep the window open).
    QMessageBox::StandardButton saveImageBeforeClosing();
    // Closes the picture after asking about unsaved changes (standalone only).
    void closeOpenedFile();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // A connection to the Photoshop host's local server, or null when the
    // host does not answer within 30 s: the host listens while it waits for
    // the editor, so a connection proves that it is still there.
    static std::unique_ptr<QLocalSocket> connectToPhotoshopHost();
    static void disconnectFromPhotoshopHost(QLocalSocket& socket);

    // Says that a file was not opened, with its cause under the notice: the
    // not-supported notice for a file of another type, otherwise that the
    // file could not be opened.
    void warnOpenFailed(FileFailure failure);
    // Save As without the check for a running render, for a user who has
    // just answered a question to save: a render may have started since
    // (the open tool applied), and the engine's save is queued behind it.
    bool chooseNameAndSave();

    CBaseApplication* m_application;

private Q_SLOTS:
    void onControlsEnabledTimer();

private:
    int mode() const;
    bool isHostEditorMode() const;
    // "The picture has been modified. Do you want to save changes?":
    // Save, Discard or Cancel.
    QMessageBox::StandardButton askToSaveChanges();
    // Before the picture is replaced or closed: false when the user cancelled
    // the question or the Save As it leads to.
    bool settleChangesBeforeLeaving();
    // The branches of the question before closing after the user chose to
    // save (or was not asked).
    QMessageBox::StandardButton handBackToPhotoshop();
    QMessageBox::StandardButton saveForHostEditor(bool userWasAsked);
    QString saveTarget() const;
    QString proposedSaveName(const QString& folder, const QString& extension) const;
    // The one picture a drag or drop carries, or empty.
    QString droppedPicture(const QDropEvent& event) const;
    void acceptDraggedPicture(QDragMoveEvent* event);

    QString m_openedFilePath;
    QString m_saveFilePath;
    QString m_lastUsedPictureDir;
    int m_controlsEnabledCounter = 0;
    bool m_pendingAllControls = false;
    QTimer m_controlsEnabledTimer;
};
