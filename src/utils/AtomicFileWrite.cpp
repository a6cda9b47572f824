#include "utils/AtomicFileWrite.h"

#include <QSaveFile>

namespace NAVIK_tarl1 {

bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error)
{
    QSaveFile file(path);
    // QSaveFile commits even when its buffer cannot reach the disk at the
    // commit, which would put an empty or cut file in place: nothing is
    // buffered here, and every byte is written and checked before the commit.
    // A write that a full disk cuts short reports no error, only a smaller
    // count; writing the rest then fails with the reason.
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    for (qint64 done = 0; written && done < data.size();) {
        const qint64 count = file.write(data.constData() + done, data.size() - done);
        written = count > 0;
        done += count;
    }
    written = written && file.flush() && file.error() == QFileDevice::NoError;
    if (!written) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace NAVIK_tarl1
