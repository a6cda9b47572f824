#pragma once

// Projective transforms as the correction engine exchanges them: nine doubles
// under one key, the 3 x 3 matrix row after row, mapping (x, y) to
// ((h0 x + h1 y + h2) / w, (h3 x + h4 y + h5) / w) with w = h6 x + h7 y + h8.
// That is the transpose of QTransform's element order.

#include <Navik/Value.h>

#include <QTransform>

// The identity unless the entry holds exactly nine values.
QTransform getTransformFromDictionary(const Navik::Dictionary& dict, const char* key);
void setTransformToDictionary(Navik::Dictionary& dict, const char* key, const QTransform& transform);
