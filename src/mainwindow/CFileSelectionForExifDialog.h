#pragma once

// Asks for the camera's original file of the opened picture when the picture
// lacks the shooting data that the optical-distortion correction needs, and
// reads that file's EXIF into the opened image. Accepted exactly when a
// chosen file's EXIF was read; rejected when the user cancelled, chose no
// file or a file without valid EXIF. Test scripts reach it as
// "FileSelectionForExifDialog".

#include "shell/NavikImagePtr.h"
#include "utils/CBaseDialog.h"

#include <memory>

namespace Ui {
class FileSelectionForExifDialog;
}

class CFileSelectionForExifDialog : public NAVIK_tarl1::CBaseDialog
{
    Q_OBJECT
public:
    explicit CFileSelectionForExifDialog(const NavikImagePtr& image, QWidget* parent = nullptr);
    ~CFileSelectionForExifDialog() override;

public Q_SLOTS:
    // For test scripts.
    void clickOnShowExplanatoryCheckBox();
    bool isExplanatoryTextVisible() const;
    // Takes `path` as the chosen file (no file dialog, no warning) and clicks "Open".
    void openFile(const QString& path);
    void clickOnCancel();
    bool isFileLoadedSuccessfully() const;
    bool isDialogVisible() const;

private Q_SLOTS:
    void onLoadExifData();
    void onShowExplanatoryCheckBox(bool checked);

private:
    QString startFolder() const;

    NavikImagePtr m_image;
    QString m_scriptFilePath;
    bool m_loaded = false;
    std::unique_ptr<Ui::FileSelectionForExifDialog> ui;
};
