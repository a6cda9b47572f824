#pragma once

// The options a standalone save asks for before it writes the picture: the
// JPEG quality, or one of three TIFF variants. Each answer is remembered in
// the settings ("appJPEGCompression", "appTIFFParams") and offered again the
// next time. Test scripts reach the dialog as "FileSaveDialog".

#include "utils/CBaseDialog.h"

#include <memory>

namespace Ui {
class FileSaveDialog;
}

class CFileSaveDialog : public NAVIK_tarl1::CBaseDialog
{
    Q_OBJECT
public:
    explicit CFileSaveDialog(QWidget* parent = nullptr);
    ~CFileSaveDialog() override;

    // Each runs the dialog over `parent` and, when the user accepts, writes
    // the answer to the caller's variables and the settings and returns true;
    // a cancelled dialog changes nothing and returns false.
    static bool execJpegOptions(QWidget* parent, int& quality);
    // "converted and compressed": both true; "converted": converted only
    // (8 bits a sample); "normal": neither (the picture's own depth).
    static bool execTiffOptions(QWidget* parent, bool& compressed, bool& converted);

private:
    enum class Page
    {
        Jpeg,
        Tiff
    };
    void preparePage(Page page);

    std::unique_ptr<Ui::FileSaveDialog> ui;
};
