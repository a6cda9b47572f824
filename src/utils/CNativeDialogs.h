#pragma once

// The one way the program asks the user for files and folders. A test script
// predefines the answers instead: in script mode each question returns the
// answer set for its kind (and consumes it), and a question without one fails
// the test.

#include "utils/UtilsGlobal.h"

#include <QFileDialog>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <memory>

class QWidget;

namespace NAVIK_tarl1 {

class NAVIK_UTILS_EXPORT CNativeDialogs : public QObject
{
    Q_OBJECT
public:
    static std::shared_ptr<CNativeDialogs> getInstance();

    QString getOpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                            const QString& filter, QString* selectedFilter = nullptr,
                            QFileDialog::Options options = QFileDialog::Options());
    QStringList getOpenFileNames(QWidget* parent, const QString& caption, const QString& directory,
                                 const QString& filter, QString* selectedFilter = nullptr,
                                 QFileDialog::Options options = QFileDialog::Options());
    // The selected filter is updated with the filter the user chose.
    QString getSaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                            const QString& filter, QString* selectedFilter = nullptr,
                            QFileDialog::Options options = QFileDialog::Options());
    QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& directory,
                                 QFileDialog::Options options = QFileDialog::ShowDirsOnly);

    // Predefined answers for test scripts; each replaces the previous one.
    Q_INVOKABLE void setOpenFileName(const QString& path);
    Q_INVOKABLE void setOpenFileNames(const QVariantList& paths);
    Q_INVOKABLE void setSaveFileName(const QString& path);
    Q_INVOKABLE void setExistingDirectory(const QString& folder);

private:
    CNativeDialogs() = default;

    static std::shared_ptr<CNativeDialogs> s_spInstance;

    QString m_openFileName;
    QString m_saveFileName;
    QString m_existingDirectory;
    QStringList m_openFileNames;
};

} // namespace NAVIK_tarl1
