#!/usr/bin/env bash
# Brings the translation sources resources/translations/navik_*.ts up to date
# with the texts of src/: new texts are added (untranslated), texts no longer
# in the code are dropped, translations already made are kept. Translate the
# new entries afterwards (Qt Linguist or any text editor); the build compiles
# the catalogs with lrelease. tests/utils/tst_catalogs checks that the
# catalogs are up to date and that no text is left untranslated.
#
#     scripts/update-translations.sh [folder holding the navik_*.ts to update]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
catalogs=$(cd "${1:-$root/resources/translations}" && pwd)
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
cd "$root"
# No source locations: line numbers would change the catalogs on every edit.
"$lupdate" -silent -locations none -no-obsolete -extensions cpp,h,ui src \
    -ts "$catalogs/navik_en.ts" "$catalogs/navik_fr.ts" "$catalogs/navik_de.ts" "$catalogs/navik_ja.ts"
