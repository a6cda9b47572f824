#pragma once

// The command line through which the user and the host applications start
// the program: options "--name=value" or "--name value", plus file arguments.
//
//   Photoshop:  --plugin-name=photoshop --process-image=<exchange parameter file>
//   Lightroom:  --plugin-name=lightroom [--app-result-xml-file-path=<exit-code file>]
//               [--batch-mode=true --select-preset=... --session=...]
//               [--no-save-dialog=true] <image files> (or --process-image=<image>)
//   Aperture:   as Lightroom with --plugin-name=aperture
//   Standalone: <image files>

#include <QMap>
#include <QString>
#include <QStringList>

// Option name to value; a later occurrence of a name replaces the earlier one.
using StringsMap = QMap<QString, QString>;

namespace CommandLineOptions {

inline const QString batchMode = QStringLiteral("batch-mode");
inline const QString selectPreset = QStringLiteral("select-preset");
inline const QString session = QStringLiteral("session");
inline const QString processImage = QStringLiteral("process-image");
inline const QString touchImage = QStringLiteral("touch-image");
inline const QString saveImage = QStringLiteral("save-image");
inline const QString noSaveDialog = QStringLiteral("no-save-dialog");
inline const QString pluginName = QStringLiteral("plugin-name");
inline const QString makeCrash = QStringLiteral("mkcrm");
inline const QString appResultXmlFilePath = QStringLiteral("app-result-xml-file-path");
inline const QString script = QStringLiteral("script");

// The values of "plugin-name" that choose a host mode (compared case-sensitively).
inline const QString photoshopPlugin = QStringLiteral("photoshop");
inline const QString lightroomPlugin = QStringLiteral("lightroom");
inline const QString aperturePlugin = QStringLiteral("aperture");

// Every known option name, in table order; names are case-sensitive.
const QStringList& knownNames();

// Fills `params` and `files` from the arguments (without the program path).
// A name argument starts with "--" or comes where a name is expected; its
// first two characters are dropped whatever they are. Anything that is not a
// known name, plain paths included, is logged as "Unknown argument name: "
// and appended whole to `files`. Never fails; always returns true.
bool parseCmdParams(StringsMap& params, const QStringList& arguments, QStringList& files);

// A switch is on when its value is "true" in any letter case.
bool isSwitchOn(const StringsMap& params, const QString& name);

} // namespace CommandLineOptions
