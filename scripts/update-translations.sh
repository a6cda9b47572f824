#!/usr/bin/env bash
# Brings the translation sources resources/translations/navik_*.ts up to date
# with the texts of src/: new texts are added (untranslated), texts no longer
# in the code are dropped, translations already made are kept. Translate the
# new entries afterwards (Qt Linguist or any text editor); the build compiles
# the catalogs with lrelease. tests/utils/tst_catalogs checks that no text is
# missing or left untranslated.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
cd "$root"
# No source locations: line numbers would change the catalogs on every edit.
"$lupdate" -silent -locations none -no-obsolete -extensions cpp,h src \
    -ts resources/translations/navik_en.ts resources/translations/navik_fr.ts \
        resources/translations/navik_de.ts resources/translations/navik_ja.ts
