#pragma once

// The utility library's namespace, also used where a class name is spelled with
// its namespace (translation contexts, meta-object names).
#define NAVIK_NAMESPACE NAVIK_tarl1

// The library is built with hidden visibility; this marks what it exports.
#define NAVIK_UTILS_EXPORT __attribute__((visibility("default")))
