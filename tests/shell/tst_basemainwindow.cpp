// The main window base's flows in every run mode: open, save, the question
// before closing, closing the picture, drag and drop, the Photoshop hand-back,
// the file checks and the delayed enabling of the controls. The window only
// records what it is asked; the engine's answers (picture changed, busy) are
// set by the test. Questions and file dialogs take predefined answers, as in
// a test script, except where a test looks at what the Save As dialog proposes.

#include "engine/CProcessEngine.h"
#include "shell/CGlobalStrings.h"
#include "shell/IProcessEngine.h"
#include "shell/ProgressIndicatorFlag.h"
#include "utils/CMessageBox.h"
#include "utils/CNativeDialogs.h"
#include "utils/CScripting.h"
#include "utils/CSettings.h"
#include "utils/PhotoshopDataStructure.h"

#include "FileDialogAnswer.h"
#include "TestApplication.h"
#include "TestFiles.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QImage>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <tiffio.h>

#include <functional>
#include <memory>

using namespace NAVIK_tarl1;

namespace {

enum Answer { NoAnswer = -1, Save = 0, Discard = 1, Cancel = 2 };

// The real engine, except for what the window base asks of it.
class ControlledEngine : public CProcessEngine
{
public:
    bool isPictureChanged() const override { return changed; }
    bool isPictureLoaded() const override { return loaded; }
    bool isProcessingActive() const override { return processing; }

    bool changed = false;
    bool loaded = true;
    bool processing = false;
};

ControlledEngine& engine()
{
    return *static_cast<ControlledEngine*>(application()->engine);
}

bool writePicture(const QString& path, const char* format)
{
    QImage picture(48, 40, QImage::Format_RGB888);
    picture.fill(Qt::darkCyan);
    return picture.save(path, format);
}

// A small TIFF of three (RGB) or four (CMYK) 8-bit samples a pixel.
bool writeTiff(const QString& path, int samples)
{
    TIFF* tiff = TIFFOpen(path.toUtf8().constData(), "w");
    if (!tiff)
        return false;
    constexpr unsigned int side = 40;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, side);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, side);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, samples == 4 ? PHOTOMETRIC_SEPARATED : PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, side);
    QByteArray row(int(side) * samples, '\x40');
    bool written = true;
    for (unsigned int y = 0; y < side; ++y)
        written = written && TIFFWriteScanline(tiff, row.data(), y, 0) == 1;
    TIFFClose(tiff);
    return written;
}

void answerSaveQuestion(int answer)
{
    if (answer != NoAnswer)
        CMessageBox::sp_instance->setSaveDiscardCancelMessage(answer);
}

// How many times script mode recorded the notice.
int noticeCount(const QString& text)
{
    int count = 0;
    while (CScripting::getInstance()->isMessageBoxShown(text, count))
        ++count;
    return count;
}

} // namespace

class TestBaseMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void leavePicture_data();
    void leavePicture();
    void saveFromTheQuestionAppliesTheOpenTool_data();
    void saveFromTheQuestionAppliesTheOpenTool();
    void openDialogChecksTheFile_data();
    void openDialogChecksTheFile();
    void openDialogNamesItsFilter();
    void openImageForHost();
    void fileSupport_data();
    void fileSupport();
    void saveAsProposal_data();
    void saveAsProposal();
    void saveAsRefusedWhileBusy();
    void saveAsSuffixFollowsTheFilter_data();
    void saveAsSuffixFollowsTheFilter();
    void save_data();
    void save();
    void closeWindow_data();
    void closeWindow();
    void photoshopHandBackCancelledKeepsEdits();
    void photoshopHandBackFailedWithoutQuestion_data();
    void photoshopHandBackFailedWithoutQuestion();
    void dragAndDrop_data();
    void dragAndDrop();
    void controlsEnabledIsDelayed();

private:
    // The files of the tests: {photo} the opened picture, {other} a TIFF to
    // open next, {saved} a Save As target.
    QString resolve(QString text) const;
    QStringList resolve(const QStringList& texts) const;
    // A run in `mode`; `saveQuestion` false as with "--no-save-dialog=true".
    bool startRun(int mode, bool saveQuestion = true);
    // A window with {photo} open, unchanged or changed (for the window and the engine).
    std::unique_ptr<RecordingMainWindow> windowWithPicture(bool changed);
    void setScriptMode(bool on);
    // Runs `answer` on the file dialog as soon as one is shown.
    void whenFileDialogShows(std::function<void(QFileDialog&)> answer);

    QTemporaryDir m_folder;
    QString m_script;
    QString m_emptyScript;
    QString m_photo;
    QString m_other;
};

void TestBaseMainWindow::initTestCase()
{
    // The Photoshop host's server name lives in the temporary folder: keep it
    // away from other tests.
    qputenv("TMPDIR", QFile::encodeName(m_folder.filePath(QString())));
    m_script = m_folder.filePath(QStringLiteral("test.js"));
    m_emptyScript = m_folder.filePath(QStringLiteral("empty.js"));
    QVERIFY(writeFile(m_script, "scripting.startTest.connect(function () {});\n"));
    QVERIFY(writeFile(m_emptyScript, ""));
    m_photo = m_folder.filePath(QStringLiteral("photo.final.jpg"));
    m_other = m_folder.filePath(QStringLiteral("other.TIF"));
    QVERIFY(writePicture(m_photo, "JPEG"));
    QVERIFY(writeTiff(m_other, 3));
    CMessageBox::initializeScripting();
}

void TestBaseMainWindow::init()
{
    setScriptMode(true);
    CSettings().clear();
    engine().changed = false;
    engine().loaded = true;
    engine().processing = false;
    CBaseApplication::setImageSaved(true);
    setProgressIndicatorVisible(false);
}

QString TestBaseMainWindow::resolve(QString text) const
{
    return text.replace(QLatin1String("{photo}"), m_photo)
        .replace(QLatin1String("{other}"), m_other)
        .replace(QLatin1String("{saved}"), m_folder.filePath(QStringLiteral("saved.jpg")));
}

QStringList TestBaseMainWindow::resolve(const QStringList& texts) const
{
    QStringList result;
    for (const QString& text : texts)
        result.append(resolve(text));
    return result;
}

bool TestBaseMainWindow::startRun(int mode, bool saveQuestion)
{
    // Only a Lightroom start reads the switch; the mode is set afterwards.
    application()->commandLine = {QStringLiteral("Quillet"), QStringLiteral("--plugin-name=lightroom"),
                                  QStringLiteral("--no-save-dialog=") + (saveQuestion ? "false" : "true"), m_photo};
    if (application()->initialize() != IApplicationInterface::AppInitRunInterface)
        return false;
    application()->setMode(mode);
    return application()->isSaveDialogEnabled() == saveQuestion;
}

std::unique_ptr<RecordingMainWindow> TestBaseMainWindow::windowWithPicture(bool changed)
{
    auto window = std::make_unique<RecordingMainWindow>(application());
    window->openFile(m_photo, QString());
    window->pictureChanged = changed;
    engine().changed = changed;
    window->calls.clear();
    window->opened.clear();
    return window;
}

void TestBaseMainWindow::setScriptMode(bool on)
{
    CScripting::getInstance()->setPathToScript(on ? m_script : m_emptyScript);
}

void TestBaseMainWindow::whenFileDialogShows(std::function<void(QFileDialog&)> answer)
{
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [poll, answer] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->deleteLater();
        poll->stop();
        answer(*dialog);
    });
    poll->start(10);
}

void TestBaseMainWindow::leavePicture_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saveSucceeds");
    QTest::addColumn<bool>("result"); // of an open
    QTest::addColumn<QStringList>("calls");

    const QStringList openOther{"doResetBeforeOpen", "doOpenFile {other}", "changeCaption Navik Quillet - other.TIF",
                                "setupControlsState true"};
    const QStringList saveAs{"doSaveFile {saved} ''", "setPictureChanged false"};
    const QStringList closePicture{"doResetBeforeOpen", "showRecentFilesPage"};
    for (const int mode : {CBaseApplication::PhotoshopMode, CBaseApplication::LightroomMode,
                           CBaseApplication::ApertureMode}) {
        QTest::addRow("open in host mode %d: no question", mode)
            << "open" << mode << true << int(NoAnswer) << true << false << QStringList();
        QTest::addRow("close in host mode %d: nothing", mode)
            << "close" << mode << true << int(NoAnswer) << true << false << QStringList();
    }
    QTest::newRow("open, unchanged") << "open" << 1 << false << int(NoAnswer) << true << true << openOther;
    QTest::newRow("open, Cancel") << "open" << 1 << true << int(Cancel) << true << false << QStringList();
    QTest::newRow("open, Don't save") << "open" << 1 << true << int(Discard) << true << true << openOther;
    QTest::newRow("open, Save") << "open" << 1 << true << int(Save) << true << true << saveAs + openOther;
    QTest::newRow("open, Save fails")
        << "open" << 1 << true << int(Save) << false << false << QStringList{"doSaveFile {saved} ''"};
    QTest::newRow("close, unchanged") << "close" << 1 << false << int(NoAnswer) << true << true << closePicture;
    QTest::newRow("close, Cancel") << "close" << 1 << true << int(Cancel) << true << false << QStringList();
    QTest::newRow("close, Don't save") << "close" << 1 << true << int(Discard) << true << true << closePicture;
    QTest::newRow("close, Save") << "close" << 1 << true << int(Save) << true << true << saveAs + closePicture;
    QTest::newRow("close, Save fails")
        << "close" << 1 << true << int(Save) << false << false << QStringList{"doSaveFile {saved} ''"};
}

void TestBaseMainWindow::leavePicture()
{
    QFETCH(QString, action);
    QFETCH(int, mode);
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(bool, saveSucceeds);
    QFETCH(bool, result);
    QFETCH(QStringList, calls);

    QVERIFY(startRun(mode));
    const auto window = windowWithPicture(changed);
    window->saveSucceeds = saveSucceeds;
    answerSaveQuestion(answer);
    if (answer == Save)
        CNativeDialogs::getInstance()->setSaveFileName(resolve(QStringLiteral("{saved}")));
    if (action == QLatin1String("open"))
        QCOMPARE(window->saveOldAndOpenNewFile(m_other), result);
    else
        window->closeOpenedFile();
    QCOMPARE(window->calls, resolve(calls));
}

// A tool open when the question comes: the Save writes the picture with the
// tool applied, as its Apply button leaves it; the other answers keep the tool.
void TestBaseMainWindow::saveFromTheQuestionAppliesTheOpenTool_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("calls");

    const QStringList appliedAndSaved{"applyCurrentTool", "doSaveFile {saved} ''", "setPictureChanged false"};
    const QStringList openOther{"doResetBeforeOpen", "doOpenFile {other}", "changeCaption Navik Quillet - other.TIF",
                                "setupControlsState true"};
    QTest::newRow("open, Save") << "open" << 1 << int(Save) << appliedAndSaved + openOther;
    QTest::newRow("open, Don't save") << "open" << 1 << int(Discard) << openOther;
    QTest::newRow("close, Save") << "close" << 1 << int(Save)
                                 << appliedAndSaved + QStringList{"doResetBeforeOpen", "showRecentFilesPage"};
    QTest::newRow("quit, Save") << "quit" << 1 << int(Save) << appliedAndSaved + QStringList{"saveSettings"};
    QTest::newRow("quit, Cancel") << "quit" << 1 << int(Cancel) << QStringList();
    QTest::newRow("quit in Lightroom, Save")
        << "quit" << 3 << int(Save) << QStringList{"applyCurrentTool", "doSaveFile {photo} ''", "saveSettings"};
}

void TestBaseMainWindow::saveFromTheQuestionAppliesTheOpenTool()
{
    QFETCH(QString, action);
    QFETCH(int, mode);
    QFETCH(int, answer);
    QFETCH(QStringList, calls);

    QVERIFY(startRun(mode));
    const auto window = windowWithPicture(true);
    window->toolOpen = true;
    answerSaveQuestion(answer);
    if (answer == Save && mode == CBaseApplication::StandaloneMode)
        CNativeDialogs::getInstance()->setSaveFileName(resolve(QStringLiteral("{saved}")));
    if (action == QLatin1String("open")) {
        window->saveOldAndOpenNewFile(m_other);
    } else if (action == QLatin1String("close")) {
        window->closeOpenedFile();
    } else {
        window->show();
        window->close();
    }
    QCOMPARE(window->calls, resolve(calls));
    QCOMPARE(window->toolOpen, answer != Save);
}

void TestBaseMainWindow::openDialogChecksTheFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("openSucceeds");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<bool>("folderRemembered");

    QTest::newRow("a photograph") << "photo.jpg" << true << true << true;
    // The folder is remembered before the open is tried.
    QTest::newRow("a photograph that fails to open") << "photo.jpg" << false << false << true;
    QTest::newRow("a PNG picture") << "picture.png" << true << false << false;
    QTest::newRow("a .jpg holding no picture") << "text.jpg" << true << false << false;
}

void TestBaseMainWindow::openDialogChecksTheFile()
{
    QFETCH(QString, file);
    QFETCH(bool, openSucceeds);
    QFETCH(bool, opened);
    QFETCH(bool, folderRemembered);

    QTemporaryDir folder;
    const QString path = folder.filePath(file);
    QVERIFY(file.endsWith(QLatin1String(".png")) ? writePicture(path, "PNG")
            : file.startsWith(QLatin1String("text")) ? writeFile(path, "not a picture")
                                                      : writePicture(path, "JPEG"));
    QVERIFY(startRun(CBaseApplication::StandaloneMode));
    setSettingsValue(QStringLiteral("mw.recentFolder"), QStringLiteral("/pictures"));
    const int notices = noticeCount(g_globalStrings->notSupportString());
    {
        RecordingMainWindow window(application());
        window.openSucceeds = openSucceeds;
        CNativeDialogs::getInstance()->setOpenFileName(path);
        QCOMPARE(window.saveOldAndOpenNewFile(), opened);
        QCOMPARE(window.opened.contains(path), folderRemembered);
    }
    QCOMPARE(noticeCount(g_globalStrings->notSupportString()), notices + (folderRemembered ? 0 : 1));
    QCOMPARE(getSettingsValue(QStringLiteral("mw.recentFolder"), QString()).toString(),
             folderRemembered ? folder.path() : QStringLiteral("/pictures"));
}

// The Open Image dialog offers the JPEG and TIFF files under their name.
void TestBaseMainWindow::openDialogNamesItsFilter()
{
    QVERIFY(startRun(CBaseApplication::StandaloneMode));
    RecordingMainWindow window(application());
    setScriptMode(false);
    QString title;
    QStringList filters;
    whenFileDialogShows([&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        filters = dialog.nameFilters();
        dialog.reject();
    });
    QVERIFY(!window.saveOldAndOpenNewFile());
    setScriptMode(true);
    QCOMPARE(title, QStringLiteral("Open Image"));
    QCOMPARE(filters, QStringList{QStringLiteral("Image files (*.jpg *.jpeg *.tif *.tiff)")});
}

void TestBaseMainWindow::openImageForHost()
{
    QVERIFY(startRun(CBaseApplication::PhotoshopMode));
    CWindowState state;
    state.values().insert(QStringLiteral("zoom"), 2);
    for (const bool succeeds : {true, false}) {
        RecordingMainWindow window(application());
        window.openSucceeds = succeeds;
        QCOMPARE(window.openImage(NavikImagePtr(), state), succeeds);
        QCOMPARE(window.windowState.values(), state.values());
        QStringList calls{"doResetBeforeOpen", "doOpenImage"};
        if (succeeds)
            calls << "changeCaption Navik Quillet" << "setupControlsState true";
        QCOMPARE(window.calls, calls);
    }
}

void TestBaseMainWindow::fileSupport_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<bool>("supported");

    QTest::newRow("JPEG, suffix in capitals") << "a.JPEG" << QByteArray("JPEG") << true;
    QTest::newRow("RGB TIFF") << "a.tiff" << QByteArray("RGB") << true;
    QTest::newRow("CMYK TIFF") << "a.tif" << QByteArray("CMYK") << false;
    QTest::newRow("PNG") << "a.png" << QByteArray("PNG") << false;
    QTest::newRow("JPEG named .png") << "a.png" << QByteArray("JPEG") << false;
    QTest::newRow(".jpg holding no picture") << "a.jpg" << QByteArray("text") << false;
    QTest::newRow("missing file") << "a.jpg" << QByteArray() << false;
}

void TestBaseMainWindow::fileSupport()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, kind);
    QFETCH(bool, supported);

    QTemporaryDir folder;
    const QString path = folder.filePath(file);
    if (kind == "RGB" || kind == "CMYK")
        QVERIFY(writeTiff(path, kind == "RGB" ? 3 : 4));
    else if (kind == "text")
        QVERIFY(writeFile(path, "not a picture"));
    else if (!kind.isEmpty())
        QVERIFY(writePicture(path, kind.constData()));
    QCOMPARE(IProcessEngine::isFileSupported(path), supported);
}

void TestBaseMainWindow::saveAsProposal_data()
{
    QTest::addColumn<bool>("pictureOpen");
    QTest::addColumn<QVariant>("storedExtension");
    QTest::addColumn<bool>("folderStored");
    QTest::addColumn<QString>("proposal");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("chosenFilter");
    QTest::addColumn<QString>("extensionStored");

    const QString jpeg = g_globalStrings->jpegFilesFilter();
    const QString tiff = g_globalStrings->tiffFilesFilter();
    // {open} is the Open dialog's folder, {save} the folder of the last Save
    // As. The proposal is seen without its extension, which the dialog fits
    // to the filter shown; with no filter preselected the dialog shows the first.
    QTest::newRow("nothing open, nothing stored")
        << false << QVariant() << false << "{open}/Untitled" << jpeg << jpeg << ".jpg";
    QTest::newRow("JPEG stored, TIFF chosen")
        << true << QVariant(".jpg") << true << "{save}/photo_NavikQlt" << jpeg << tiff << ".tif";
    QTest::newRow(".tiff stored") << true << QVariant(".tiff") << true << "{save}/photo_NavikQlt" << tiff << tiff
                                  << ".tif";
    // Comparisons are exact: another letter case preselects nothing.
    QTest::newRow(".TIF stored") << true << QVariant(".TIF") << false << "{open}/photo_NavikQlt" << jpeg << jpeg
                                 << ".jpg";
}

void TestBaseMainWindow::saveAsProposal()
{
    QFETCH(bool, pictureOpen);
    QFETCH(QVariant, storedExtension);
    QFETCH(bool, folderStored);
    QFETCH(QString, proposal);
    QFETCH(QString, filter);
    QFETCH(QString, chosenFilter);
    QFETCH(QString, extensionStored);

    QTemporaryDir openFolder;
    QTemporaryDir saveFolder;
    QTemporaryDir chosenFolder;
    proposal.replace(QLatin1String("{open}"), openFolder.path()).replace(QLatin1String("{save}"), saveFolder.path());
    {
        CSettings settings;
        settings.clear();
        settings.setValue(QStringLiteral("mw.recentFolder"), openFolder.path());
        if (storedExtension.isValid())
            settings.setValue(QStringLiteral("NavikLastUsedExtensionForSave"), storedExtension);
        if (folderStored)
            settings.setValue(QStringLiteral("NavikLastSaveDir"), saveFolder.path());
    }
    QVERIFY(startRun(CBaseApplication::StandaloneMode));
    const auto window = pictureOpen ? windowWithPicture(false) : std::make_unique<RecordingMainWindow>(application());

    setScriptMode(false);
    QString proposed;
    QString preselected;
    const QString chosen = chosenFolder.filePath(QStringLiteral("chosen.file"));
    whenFileDialogShows([&](QFileDialog& dialog) {
        const QFileInfo shown(dialog.selectedFiles().value(0));
        proposed = shown.path() + QLatin1Char('/') + shown.completeBaseName();
        preselected = dialog.selectedNameFilter();
        dialog.selectNameFilter(chosenFilter);
        typeFileName(dialog, chosen);
        static_cast<QDialog&>(dialog).accept(); // protected in QFileDialog
    });
    QVERIFY(window->saveOpenedFileAs());
    setScriptMode(true);
    QCOMPARE(proposed, proposal);
    QCOMPARE(preselected, filter);
    QCOMPARE(getSettingsValue(QStringLiteral("NavikLastUsedExtensionForSave"), QString()).toString(), extensionStored);
    QCOMPARE(getSettingsValue(QStringLiteral("NavikLastSaveDir"), QString()).toString(), chosenFolder.path());
    // ".file" names no format we save: the chosen filter's suffix is added.
    QCOMPARE(window->calls, (QStringList{"doSaveFile " + chosen + extensionStored + " '" + extensionStored + "'",
                                         "setPictureChanged false"}));
}

void TestBaseMainWindow::saveAsSuffixFollowsTheFilter_data()
{
    QTest::addColumn<QString>("storedExtension");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");

    QTest::newRow("no suffix, TIFF chosen") << ".tif" << "photo" << "photo.tif";
    QTest::newRow("a trailing dot") << ".tif" << "photo." << "photo.tif";
    QTest::newRow("a suffix of no format we save") << ".tif" << "photo.png" << "photo.png.tif";
    QTest::newRow("JPEG chosen") << ".jpg" << "photo.png" << "photo.png.jpg";
    QTest::newRow("no filter chosen: JPEG") << "" << "photo.bmp" << "photo.bmp.jpg";
    QTest::newRow("another saved format stays") << ".jpg" << "photo.TIFF" << "photo.TIFF";
    QTest::newRow("upper-case suffix stays") << ".tif" << "photo.JPEG" << "photo.JPEG";
}

void TestBaseMainWindow::saveAsSuffixFollowsTheFilter()
{
    QFETCH(QString, storedExtension);
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    setSettingsValue(QStringLiteral("NavikLastUsedExtensionForSave"), storedExtension);
    QVERIFY(startRun(CBaseApplication::StandaloneMode));
    const auto window = windowWithPicture(true);
    const QString folder = m_folder.path() + QLatin1Char('/');
    CNativeDialogs::getInstance()->setSaveFileName(folder + typed);
    QVERIFY(window->saveOpenedFileAs());
    QCOMPARE(window->calls.filter(QStringLiteral("doSaveFile")),
             QStringList("doSaveFile " + folder + saved + " '" + storedExtension + "'"));
}

void TestBaseMainWindow::saveAsRefusedWhileBusy()
{
    QVERIFY(startRun(CBaseApplication::StandaloneMode));
    const auto window = windowWithPicture(true);
    // No dialog may show: script mode would fail the test for want of an answer.
    engine().processing = true;
    QVERIFY(!window->saveOpenedFileAs());
    engine().processing = false;
    setProgressIndicatorVisible(true);
    QVERIFY(!window->saveOpenedFileAs());
    setProgressIndicatorVisible(false);
    for (const int mode : {CBaseApplication::LightroomMode, CBaseApplication::ApertureMode}) {
        application()->setMode(mode);
        QVERIFY(!window->saveOpenedFileAs());
    }
    QCOMPARE(window->calls, QStringList());
}

void TestBaseMainWindow::save_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("savePath");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("imageSaved");
    QTest::addColumn<bool>("closed");

    const QStringList saved{"doSaveFile {photo} ''", "setPictureChanged false"};
    QTest::newRow("standalone") << 1 << "" << true << saved << true << false;
    QTest::newRow("standalone, save fails") << 1 << "" << false << QStringList{"doSaveFile {photo} ''"} << false
                                            << false;
    QTest::newRow("standalone, save path given")
        << 1 << "{saved}" << true << QStringList{"doSaveFile {saved} ''", "setPictureChanged false"} << true << false;
    QTest::newRow("Lightroom: saved, closes") << 3 << "" << true << saved + QStringList{"saveSettings"} << true
                                              << true;
    QTest::newRow("Lightroom: save fails, stays")
        << 3 << "" << false << QStringList{"doSaveFile {photo} ''"} << false << false;
    QTest::newRow("Aperture: saved, closes") << 4 << "" << true << saved + QStringList{"saveSettings"} << true << true;
    const QStringList handBack{"doSaveImageToPS", "setPictureChanged false", "saveSettings"};
    QTest::newRow("Photoshop: handed back, closes") << 2 << "" << true << handBack << true << true;
    QTest::newRow("Photoshop: not handed back, closes") << 2 << "" << false << handBack << false << true;
}

void TestBaseMainWindow::save()
{
    QFETCH(int, mode);
    QFETCH(QString, savePath);
    QFETCH(bool, succeeds);
    QFETCH(QStringList, calls);
    QFETCH(bool, imageSaved);
    QFETCH(bool, closed);

    QVERIFY(startRun(mode));
    RecordingMainWindow window(application());
    window.openFile(m_photo, resolve(savePath));
    window.pictureChanged = engine().changed = true;
    window.calls.clear();
    window.saveSucceeds = window.handBackSucceeds = succeeds;
    window.show();
    CBaseApplication::setImageSaved(false);

    QCOMPARE(window.saveOpenedFile(), succeeds);
    QCOMPARE(window.calls, resolve(calls));
    QCOMPARE(CBaseApplication::isImageSaved(), imageSaved);
    QCOMPARE(!window.isVisible(), closed);
}

void TestBaseMainWindow::closeWindow_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("saveQuestion");
    QTest::addColumn<bool>("engineChanged");
    QTest::addColumn<bool>("windowChanged");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("hostListens");
    QTest::addColumn<int>("saveToFile");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("imageSaved");

    const QStringList settings{"saveSettings"};
    const QStringList saveAs{"doSaveFile {saved} ''", "setPictureChanged false"};
    const QStringList save{"doSaveFile {photo} ''"};
    const QStringList handBack{"doSaveImageToPS", "saveSettings"};
    // The image-saved flag is true before: an earlier save.
    QTest::newRow("engine sees no change") << 1 << true << false << true << int(NoAnswer) << false << -1 << true
                                           << true << settings << true;
    QTest::newRow("window sees no change") << 3 << true << true << false << int(NoAnswer) << false << -1 << true
                                           << true << settings << true;
    QTest::newRow("standalone, Don't save") << 1 << true << true << true << int(Discard) << false << -1 << true
                                            << true << settings << false;
    QTest::newRow("standalone, Cancel") << 1 << true << true << true << int(Cancel) << false << -1 << true << false
                                        << QStringList() << true;
    QTest::newRow("standalone, Save") << 1 << true << true << true << int(Save) << false << -1 << true << true
                                      << saveAs + settings << true;
    QTest::newRow("standalone, Save fails") << 1 << true << true << true << int(Save) << false << -1 << false
                                            << false << QStringList{"doSaveFile {saved} ''"} << true;
    QTest::newRow("Lightroom, Save") << 3 << true << true << true << int(Save) << false << -1 << true << true
                                     << save + settings << true;
    // The user who chose to save keeps the edits when the save fails.
    QTest::newRow("Lightroom, Save fails: stays open") << 3 << true << true << true << int(Save) << false << -1
                                                       << false << false << save << false;
    QTest::newRow("Aperture, Save fails: stays open") << 4 << true << true << true << int(Save) << false << -1
                                                      << false << false << save << false;
    QTest::newRow("Lightroom without the question") << 3 << false << true << true << int(NoAnswer) << false << -1
                                                    << true << true << save + settings << true;
    QTest::newRow("Aperture without the question, save fails")
        << 4 << false << true << true << int(NoAnswer) << false << -1 << false << true << save + settings << false;
    QTest::newRow("Aperture, Don't save") << 4 << true << true << true << int(Discard) << false << -1 << true
                                          << true << settings << false;
    QTest::newRow("Photoshop, Save: handed back") << 2 << true << true << true << int(Save) << true << -1 << true
                                                  << true << handBack << true;
    QTest::newRow("Photoshop, Save: hand-back fails") << 2 << true << true << true << int(Save) << true << -1
                                                      << false << true << handBack << false;
    QTest::newRow("Photoshop without the question") << 2 << false << true << true << int(NoAnswer) << true << -1
                                                    << true << true << handBack << true;
    QTest::newRow("Photoshop gone, not saved to a file") << 2 << true << true << true << int(Save) << false << 0
                                                         << true << true << settings << false;
    QTest::newRow("Photoshop gone, saved to a file") << 2 << true << true << true << int(Save) << false << 1
                                                     << true << true << saveAs + settings << false;
    QTest::newRow("Photoshop gone, save to a file fails") << 2 << true << true << true << int(Save) << false << 1
                                                          << false << false << QStringList{"doSaveFile {saved} ''"}
                                                          << true;
}

void TestBaseMainWindow::closeWindow()
{
    QFETCH(int, mode);
    QFETCH(bool, saveQuestion);
    QFETCH(bool, engineChanged);
    QFETCH(bool, windowChanged);
    QFETCH(int, answer);
    QFETCH(bool, hostListens);
    QFETCH(int, saveToFile);
    QFETCH(bool, succeeds);
    QFETCH(bool, closed);
    QFETCH(QStringList, calls);
    QFETCH(bool, imageSaved);

    QLocalServer host;
    if (hostListens)
        QVERIFY(host.listen(QString::fromLatin1(g_photoshopServerName)));
    QVERIFY(startRun(mode, saveQuestion));
    const auto window = windowWithPicture(true);
    window->pictureChanged = windowChanged;
    engine().changed = engineChanged;
    window->saveSucceeds = window->handBackSucceeds = succeeds;
    answerSaveQuestion(answer);
    if (saveToFile != -1)
        CMessageBox::sp_instance->setYesNoMessage(saveToFile == 1);
    if (saveToFile == 1 || (mode == CBaseApplication::StandaloneMode && answer == Save))
        CNativeDialogs::getInstance()->setSaveFileName(resolve(QStringLiteral("{saved}")));
    window->show();

    QCOMPARE(window->close(), closed);
    QCOMPARE(window->calls, resolve(calls));
    QCOMPARE(CBaseApplication::isImageSaved(), imageSaved);
    if (!hostListens)
        return;
    // The host saw the probe connection come and go.
    QVERIFY(host.waitForNewConnection(1000));
    QLocalSocket* probe = host.nextPendingConnection();
    QVERIFY(probe->state() == QLocalSocket::UnconnectedState || probe->waitForDisconnected(1000));
}

// A hand-back that ends without handing back and without the host being gone
// (a file save offered instead and cancelled, a render that failed) keeps
// the window open with its edits, at Save and at closing.
void TestBaseMainWindow::photoshopHandBackCancelledKeepsEdits()
{
    QLocalServer host;
    QVERIFY(host.listen(QString::fromLatin1(g_photoshopServerName)));
    QVERIFY(startRun(CBaseApplication::PhotoshopMode));
    const auto window = windowWithPicture(true);
    window->handBackCancelled = true;
    window->show();
    CBaseApplication::setImageSaved(false);

    QVERIFY(!window->saveOpenedFile());
    answerSaveQuestion(Save);
    QVERIFY(!window->close());
    QCOMPARE(window->calls, QStringList({"doSaveImageToPS", "doSaveImageToPS"}));
    QVERIFY(window->isVisible());
    QVERIFY(window->isPictureChanged());
    QVERIFY(!CBaseApplication::isImageSaved());
}

// With "--no-save-dialog" a close hands the picture back at once; when that
// cannot be done the question comes after all, so the window can be left.
void TestBaseMainWindow::photoshopHandBackFailedWithoutQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");

    QTest::newRow("Don't save") << int(Discard) << true;
    QTest::newRow("Cancel") << int(Cancel) << false;
    QTest::newRow("Save") << int(Save) << false;
}

void TestBaseMainWindow::photoshopHandBackFailedWithoutQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);

    QLocalServer host;
    QVERIFY(host.listen(QString::fromLatin1(g_photoshopServerName)));
    QVERIFY(startRun(CBaseApplication::PhotoshopMode, false));
    const auto window = windowWithPicture(true);
    window->handBackCancelled = true;
    window->show();
    CBaseApplication::setImageSaved(false);

    answerSaveQuestion(answer);
    QCOMPARE(window->close(), closed);
    // One hand-back tried; the window's settings kept when it closes.
    QCOMPARE(window->calls,
             closed ? QStringList({"doSaveImageToPS", "saveSettings"}) : QStringList({"doSaveImageToPS"}));
    QCOMPARE(window->isVisible(), !closed);
    QVERIFY(!CBaseApplication::isImageSaved());
}

void TestBaseMainWindow::dragAndDrop_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saveSucceeds");
    QTest::addColumn<bool>("openSucceeds");
    QTest::addColumn<bool>("dragAccepted");
    QTest::addColumn<bool>("dropAccepted");
    QTest::addColumn<bool>("notice");
    QTest::addColumn<QStringList>("calls");

    const QStringList other{"{other}"};
    const QStringList open{"doResetBeforeOpen", "doOpenFile {other}", "changeCaption Navik Quillet - other.TIF",
                           "setupControlsState true"};
    const QStringList save{"doSaveFile {photo} ''", "setPictureChanged false"};
    QTest::newRow("one TIFF") << 1 << other << false << int(NoAnswer) << true << true << true << true << false
                              << open;
    QTest::newRow("Photoshop mode") << 2 << other << false << int(NoAnswer) << true << true << false << false
                                    << false << QStringList();
    QTest::newRow("Lightroom mode") << 3 << other << false << int(NoAnswer) << true << true << false << false
                                    << false << QStringList();
    QTest::newRow("two photographs") << 1 << QStringList{"{photo}", "{other}"} << false << int(NoAnswer) << true
                                     << true << false << false << true << QStringList();
    QTest::newRow("a PNG") << 1 << QStringList{"picture.png"} << false << int(NoAnswer) << true << true << false
                           << false << true << QStringList();
    QTest::newRow("changed, Cancel") << 1 << other << true << int(Cancel) << true << true << true << false << false
                                     << QStringList();
    QTest::newRow("changed, Don't save") << 1 << other << true << int(Discard) << true << true << true << true
                                         << false << open;
    QTest::newRow("changed, Save") << 1 << other << true << int(Save) << true << true << true << true << false
                                   << save + open;
    // A failed save keeps the edited picture: the drop is refused.
    QTest::newRow("changed, Save fails") << 1 << other << true << int(Save) << false << true << true << false
                                         << false << QStringList{"doSaveFile {photo} ''"};
    // The reset let go of the picture: the start page shows, as after Close.
    QTest::newRow("open fails") << 1 << other << false << int(NoAnswer) << true << false << true << false << false
                                << QStringList{"doResetBeforeOpen", "doOpenFile {other}", "showRecentFilesPage"};
}

void TestBaseMainWindow::dragAndDrop()
{
    QFETCH(int, mode);
    QFETCH(QStringList, files);
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(bool, saveSucceeds);
    QFETCH(bool, openSucceeds);
    QFETCH(bool, dragAccepted);
    QFETCH(bool, dropAccepted);
    QFETCH(bool, notice);
    QFETCH(QStringList, calls);

    QVERIFY(startRun(mode));
    const auto window = windowWithPicture(changed);
    window->saveSucceeds = saveSucceeds;
    window->openSucceeds = openSucceeds;
    QList<QUrl> urls;
    for (const QString& file : resolve(files))
        urls.append(QUrl::fromLocalFile(QDir(m_folder.path()).absoluteFilePath(file)));
    QMimeData data;
    data.setUrls(urls);

    QDragEnterEvent drag(QPoint(4, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    drag.setAccepted(false);
    window->dragEnterEvent(&drag);
    QCOMPARE(drag.isAccepted(), dragAccepted);
    QCOMPARE(window->calls, QStringList());

    answerSaveQuestion(answer);
    const int notices = noticeCount(g_globalStrings->notSupportString());
    QDropEvent drop(QPointF(4, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setAccepted(false);
    window->dropEvent(&drop);
    QCOMPARE(drop.isAccepted(), dropAccepted);
    QCOMPARE(window->calls, resolve(calls));
    QCOMPARE(noticeCount(g_globalStrings->notSupportString()), notices + (notice ? 1 : 0));
}

void TestBaseMainWindow::controlsEnabledIsDelayed()
{
    QVERIFY(startRun(CBaseApplication::StandaloneMode));
    RecordingMainWindow window(application());
    window.clock.start();
    using State = std::pair<bool, bool>;
    const auto waitForStates = [&window](int count) {
        return QTest::qWaitFor([&window, count] { return window.controlStates.size() >= count; }, 5000);
    };
    // A delay timer may fire up to 5 % early.
    constexpr qint64 delay = 475;

    // An open: a disable shows at once, the enable after the delay.
    window.setControlsEnabled(true, false);
    QCOMPARE(window.controlStates.size(), 1);
    QCOMPARE(window.controlStates.last().first, State(true, false));
    QTest::qWait(100);
    qint64 requested = window.clock.elapsed();
    window.setControlsEnabled(true, true);
    QVERIFY(waitForStates(2));
    QCOMPARE(window.controlStates.last().first, State(true, true));
    QVERIFY(window.controlStates.last().second - requested >= delay);

    // Processing: the same without the whole window.
    window.setControlsEnabled(false, false);
    QCOMPARE(window.controlStates.last().first, State(false, false));
    window.setControlsEnabled(false, true);

    // A second enable inside the delay moves the enabling, and the
    // whole-window flag is kept until it is applied.
    QTest::qWait(200);
    requested = window.clock.elapsed();
    window.setControlsEnabled(true, true);
    QVERIFY(waitForStates(4));
    QCOMPARE(window.controlStates.last().first, State(true, true));
    QVERIFY(window.controlStates.last().second - requested >= delay);
    QTest::qWait(700);
    QCOMPARE(window.controlStates.size(), 4);
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    ControlledEngine engine;
    application.engine = &engine;
    TestBaseMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_basemainwindow.moc"
