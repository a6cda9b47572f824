#pragma once

#include <QString>

// Whether the path ends in ".jpg", ".jpeg", ".tif" or ".tiff", in any letter
// case: the picture files the program opens and saves.
bool hasPictureFileSuffix(const QString& path);
