#pragma once

// Answers a file dialog the way a user types a name. QFileDialog::selectFile()
// leaves the name field alone while it has the focus, and whether it has it
// depends on what the test showed before: the text is put in the field itself.

#include <QFileDialog>
#include <QLineEdit>

inline void typeFileName(QFileDialog& dialog, const QString& name)
{
    if (auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        field->setText(name);
    else
        dialog.selectFile(name);
}
