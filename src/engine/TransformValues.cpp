#include "engine/TransformValues.h"

namespace {

constexpr unsigned int kMatrixElements = 9;

} // namespace

QTransform getTransformFromDictionary(const Navik::Dictionary& dict, const char* key)
{
    const Navik::Value entry = dict.GetValueForKey(key);
    const Navik::ValueArray& h = entry.AsValueArray();
    // A short array would leave m33 at 0: a transform that maps every point to infinity.
    if (h.Count() != kMatrixElements)
        return {};
    const auto at = [&](unsigned int index) { return h.GetValueAtIndex(index).AsDouble(); };
    return QTransform(at(0), at(3), at(6), at(1), at(4), at(7), at(2), at(5), at(8));
}

void setTransformToDictionary(Navik::Dictionary& dict, const char* key, const QTransform& transform)
{
    const Navik::ValueArray h{transform.m11(), transform.m21(), transform.m31(), transform.m12(), transform.m22(),
                              transform.m32(), transform.m13(), transform.m23(), transform.m33()};
    dict.SetValueForKey(key, Navik::Value(h));
}
