// Feeds arbitrary bytes to the readers of the Photoshop exchange record, as a
// damaged or hostile parameter file would reach them: the editor's reader of
// the request and the host's reader of the answer. Reading may refuse, but
// must never crash, hang, or map or copy a picture that the record's numbers
// do not describe; a request that was read can be answered, and the host
// reads that answer back.

#include "utils/PSDataStructure.h"
#include "utils/PluginDataStructure.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace NAVIK_tarl1;

namespace {

// The picture file beside every parameter file: 4 x 3 pixels at 8 bits.
constexpr int kWidth = 4;
constexpr int kHeight = 3;
constexpr int kDepth = 8;

QByteArray pictureBytes()
{
    QByteArray bytes(pictureByteSize(kWidth, kHeight, kDepth), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7 + 1);
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The exchange files of one run, written afresh for each input.
QString exchangePath(const QByteArray& parameters)
{
    static QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("exchange"));
    if (!folder.isValid() || !writeFile(path, parameters) || !writeFile(path + "-image", pictureBytes()))
        __builtin_trap();
    QFile::remove(path + "-image-tmp");
    return path;
}

// Every getter, as the editor and the host call them.
void readEverything(PhotoshopDataStructure& record)
{
    (void)record.pictureSize();
    (void)record.pictureHeight();
    (void)record.pictureWidth();
    (void)record.pictureDepth();
    (void)record.pluginData();
    (void)record.exitCode();
    (void)record.exif();
    (void)record.iccProfile();
    (void)record.showUI();
    (void)record.imageFileName();
}

// A picture the reader mapped is the whole picture file, as it was written.
void checkMappedPicture(PhotoshopDataStructure& record)
{
    const QByteArray expected = pictureBytes();
    if (!record.inputPicture() || record.pictureSize() != qulonglong(expected.size())
        || std::memcmp(record.inputPicture(), expected.constData(), size_t(expected.size())) != 0)
        __builtin_trap();
}

// The host's reader of the answer, on the bytes as they came.
void readAsAnswer(const QByteArray& parameters)
{
    PSDataStructure host(exchangePath(parameters));
    const bool read = host.deserializeMap();
    if (read && host.exitCode() == NAVIK_QTAPP_EXIT_CODE_SUCCESS)
        checkMappedPicture(host);
    readEverything(host);
}

// The editor's reader of the request; a request it reads is answered with a
// result of 2 x 2 pixels, which the host then reads back.
void readAsRequest(const QByteArray& parameters)
{
    const QString path = exchangePath(parameters);
    PluginDataStructure editor(path);
    const bool read = editor.deserializeMap();
    if (read)
        checkMappedPicture(editor);
    readEverything(editor);

    if (read) {
        char* result = editor.createOutputPicture(2, 2);
        const qint64 resultSize = pictureByteSize(2, 2, editor.pictureDepth());
        if (!result || resultSize <= 0)
            __builtin_trap();
        std::memset(result, 0x5a, size_t(resultSize));
        editor.setExitCode(NAVIK_QTAPP_EXIT_CODE_SUCCESS);
        if (editor.serializeMap()) {
            PSDataStructure host(path);
            if (!host.deserializeMap() || host.exitCode() != NAVIK_QTAPP_EXIT_CODE_SUCCESS || !host.inputPicture()
                || host.pictureSize() != qulonglong(resultSize) || host.inputPicture()[resultSize - 1] != 0x5a)
                __builtin_trap();
        }
    }
    editor.clear();
    // No host listens here: the record need not look for one when it goes.
    editor.setFilePath(QString());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray parameters(reinterpret_cast<const char*>(data), qsizetype(size));
    readAsAnswer(parameters);
    readAsRequest(parameters);
    return 0;
}
