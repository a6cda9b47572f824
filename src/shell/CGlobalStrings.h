#pragma once

// File-dialog filters and user texts shared across the program, translated
// once, in the user's interface language, when the application object builds
// them. A later change of language does not rebuild them.

#include <QString>

class CGlobalStrings
{
public:
    CGlobalStrings();
    ~CGlobalStrings();

    const QString& jpegTiffFilter() const { return m_jpegTiffFilter; }
    const QString& imageFilesFilter() const { return m_imageFilesFilter; }
    const QString& imageAndRawFilesFilter() const { return m_imageAndRawFilesFilter; }
    const QString& presetFilesFilter() const { return m_presetFilesFilter; }
    const QString& saveNameSuffix() const { return m_saveNameSuffix; }
    const QString& notSupportString() const { return m_notSupportString; }
    const QString& notSupportManyString() const { return m_notSupportManyString; }
    const QString& cantCreateFileString() const { return m_cantCreateFileString; }
    const QString& asShotString() const { return m_asShotString; }
    const QString& defaultBWString() const { return m_defaultBWString; }
    const QString& noGrainString() const { return m_noGrainString; }
    const QString& currentFilmRenderingString() const { return m_currentFilmRenderingString; }
    const QString& jpegFilesFilter() const { return m_jpegFilesFilter; }
    const QString& tiffFilesFilter() const { return m_tiffFilesFilter; }
    const QString& rawFilesFilter() const { return m_rawFilesFilter; }
    const QString& fileExistsString() const { return m_fileExistsString; }
    const QString& exportAllPresetsString() const { return m_exportAllPresetsString; }

private:
    QString m_jpegTiffFilter;
    QString m_imageFilesFilter;
    QString m_imageAndRawFilesFilter;
    QString m_presetFilesFilter;
    QString m_saveNameSuffix;
    QString m_notSupportString;
    QString m_notSupportManyString;
    QString m_cantCreateFileString;
    QString m_asShotString;
    QString m_defaultBWString;
    QString m_noGrainString;
    QString m_currentFilmRenderingString;
    QString m_jpegFilesFilter;
    QString m_tiffFilesFilter;
    QString m_rawFilesFilter;
    QString m_fileExistsString;
    QString m_exportAllPresetsString;
};

// The one object, owned by the application object; null outside its life.
extern CGlobalStrings* g_globalStrings;
