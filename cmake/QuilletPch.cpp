// The source of QuilletPch, the target that holds the precompiled headers the
// Qt targets share (cmake/QuilletPrecompiled.cmake).
