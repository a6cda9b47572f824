#include "shell/CGlobalStrings.h"

#include <QObject>

CGlobalStrings* g_globalStrings = nullptr;

namespace {

// "Name (patterns)"; only the name is translated.
QString filter(const QString& name, const QString& patterns)
{
    return name + QStringLiteral(" (") + patterns + QStringLiteral(")");
}

} // namespace

CGlobalStrings::CGlobalStrings()
{
    static const QString jpgFiles = QStringLiteral("*.jpg *.jpeg");
    static const QString tiffFiles = QStringLiteral("*.tif *.tiff");
    static const QString rawFiles = QStringLiteral(
        "*.crw *.mrw *.arw *.raf *.pef *.orf *.rw2 *.nrw *.srw *.cr2 *.nef *.dng");
    const QString space = QStringLiteral(" ");

    m_imageFilesFilter = filter(QObject::tr("Image files"), jpgFiles + space + tiffFiles);
    m_imageAndRawFilesFilter =
        filter(QObject::tr("Image files"), jpgFiles + space + tiffFiles + space + rawFiles);
    m_presetFilesFilter = QObject::tr("Preset files") + QStringLiteral(" (*.preset)");
    m_saveNameSuffix = QObject::tr("_NavikQlt");
    m_notSupportString = QObject::tr("Sorry, but this file type is not supported. Please, try again.");
    m_notSupportManyString =
        QObject::tr("Sorry, but type of these files are not supported. Please, try again.");
    m_cantCreateFileString = QObject::tr("Can't create file with name %1. Try to use another name.");
    m_asShotString = QObject::tr("As shot");
    m_defaultBWString = QObject::tr("Default B&W");
    m_noGrainString = QObject::tr("No grain");
    m_currentFilmRenderingString = QObject::tr("Current film rendering");
    m_jpegFilesFilter = filter(QObject::tr("JPEG Image files"), jpgFiles);
    m_tiffFilesFilter = filter(QObject::tr("TIFF Image files"), tiffFiles);
    m_rawFilesFilter = filter(QObject::tr("RAW Image files"), rawFiles);
    m_fileExistsString = QObject::tr("The following file already exists:%1Do you want to overwrite it?");
    m_exportAllPresetsString = QObject::tr("Export all presets");
    m_jpegTiffFilter = m_jpegFilesFilter + QStringLiteral(";;") + m_tiffFilesFilter;
}

CGlobalStrings::~CGlobalStrings() = default;
