#pragma once

// The exchange record between the Photoshop host and the editor. Both sides
// share one base path P: the parameter file P (a data-streamed variant map),
// the pixel file P + "-image" and, on the editor's side, P + "-image-tmp", the
// input pixels moved aside so that the result can take their name. Pixels are
// never copied here: the editor works on memory mappings of the two pixel
// files. The host's end is PSDataStructure, the editor's PluginDataStructure.

#include "utils/UtilsGlobal.h"

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QString>
#include <QVariant>

#include <string>

namespace NAVIK_tarl1 {

// Exit code of a run whose result picture holds the corrected image; 3 means
// that no picture came back, -1 that the round trip failed.
inline constexpr int NAVIK_QTAPP_EXIT_CODE_SUCCESS = 0;

// The local server on which the host listens while the editor runs. A
// connection followed by a disconnection tells it that the answer is written.
inline constexpr char g_photoshopServerName[] = "NavikPhotoShop";

// The keys of the parameter map; the variant type of each value is part of
// the format (see the setters).
namespace PhotoshopDataKeys {
inline const QString height = QStringLiteral("height");
inline const QString width = QStringLiteral("width");
inline const QString depth = QStringLiteral("depth");
inline const QString pictureSize = QStringLiteral("pictureSize");
inline const QString pluginData = QStringLiteral("pPluginData");
inline const QString exitCode = QStringLiteral("exitCode");
inline const QString exif = QStringLiteral("exif");
inline const QString iccProfile = QStringLiteral("IccProfile");
inline const QString showUI = QStringLiteral("showUI");
inline const QString imageFileName = QStringLiteral("imgFileName");
} // namespace PhotoshopDataKeys

// Byte size of a picture file: height rows of width pixels of three
// interleaved channels of depth bits (8 or 16), without padding. -1 for
// dimensions no exchanged picture can have and for sizes beyond 64 bits.
NAVIK_UTILS_EXPORT qint64 pictureByteSize(qint64 width, qint64 height, qint64 depth);

class NAVIK_UTILS_EXPORT PhotoshopDataStructure
{
public:
    PhotoshopDataStructure();
    explicit PhotoshopDataStructure(const QString& path);
    PhotoshopDataStructure(const PhotoshopDataStructure&) = delete;
    PhotoshopDataStructure& operator=(const PhotoshopDataStructure&) = delete;

    // The order of these operations is the host plug-in's binary interface.
    virtual ~PhotoshopDataStructure();
    virtual void setFilePath(const QString& path);
    virtual bool serializeMap() = 0;
    virtual bool deserializeMap() = 0;
    // Keeps the host's buffer without copying it; it must live until serializeMap.
    virtual void setInputPicture(char* data, qint64 size, int width, int height, int depth);
    virtual char* inputPicture();
    // Creates, sizes and maps P + "-image" for a result of the given size at
    // the record's depth; null when it cannot be sized or mapped.
    virtual char* createOutputPicture(int width, int height);
    virtual unsigned long long pictureSize();
    virtual int pictureHeight();
    virtual int pictureWidth();
    virtual int pictureDepth();
    virtual void setPluginData(const char* data, unsigned int size);
    virtual void setPluginData(const QByteArray& data);
    virtual QByteArray pluginData();
    virtual int exitCode();
    virtual void setExitCode(int code);
    virtual void setExif(const QString& exif);
    virtual QString exif();
    virtual void setIccProfile(char* data, int size);
    virtual QByteArray iccProfile();
    virtual void setShowUI(bool show);
    virtual bool showUI();
    // Each byte of the name becomes one Latin-1 character.
    virtual void setImageFileName(const std::string& name);
    virtual QString imageFileName() const;

protected:
    // The getters add an absent key with an empty value (so that the next
    // write-back carries it) and report its absence as an assertion.
    QVariant requiredEntry(const QString& key, bool reportAbsence = true);
    QVariant entry(const QString& key) const { return m_map.value(key); }

    // The picture size the map describes, or -1 when "pictureSize" disagrees
    // with "width", "height" and "depth". The map comes from another process:
    // no file is mapped or copied with its numbers before they agree.
    qint64 describedPictureSize() const;

    // Opens `file` read-write and maps all of it when it holds exactly `size` bytes.
    static char* mapWholeFile(QFile& file, qint64 size);
    // Unmaps `picture` from `file` (if it is mapped) and closes the file.
    static void releasePicture(QFile& file, char*& picture);

    // Reads the map from the parameter file P (replacing the current one) and
    // closes the file; false on a read error or a stream that breaks off.
    bool readParameterFile();
    // Writes the map into the parameter file opened for writing and closes it;
    // false when anything of it did not reach the file.
    bool writeParameterFile();

    char* m_pInputPicture = nullptr;
    char* m_pOutputPicture = nullptr;
    QMap<QString, QVariant> m_map;
    QString m_fileName;
    QFile m_inputPictureFile;
    QFile m_outputPictureFile;
    QFile m_settingsFile;
};

} // namespace NAVIK_tarl1
