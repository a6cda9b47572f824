#include "shell/CommandLineOptions.h"

#include "utils/Logger.h"

namespace CommandLineOptions {

namespace {

const QString kOptionPrefix = QStringLiteral("--");

void addUnknownArgument(const QString& argument, QStringList& files)
{
    LOG_MESSAGE('D', "Unknown argument name: " << argument);
    files.append(argument);
}

} // namespace

const QStringList& knownNames()
{
    static const QStringList names = {batchMode,    selectPreset, session,
                                      processImage, touchImage,   saveImage,
                                      noSaveDialog, pluginName,   makeCrash,
                                      appResultXmlFilePath,       script};
    return names;
}

bool parseCmdParams(StringsMap& params, const QStringList& arguments, QStringList& files)
{
    bool nameExpected = true;
    QString pendingName;
    for (const QString& argument : arguments) {
        if (!nameExpected && !argument.startsWith(kOptionPrefix)) {
            params[pendingName] = argument;
            nameExpected = true;
            continue;
        }
        // A pending name followed by another option gets no value.
        nameExpected = true;
        const QString rest = argument.mid(2);
        if (rest.contains(QLatin1Char('='))) {
            // Text after a second "=" is dropped.
            const QStringList parts = rest.split(QLatin1Char('='));
            if (knownNames().contains(parts.at(0)))
                params[parts.at(0)] = parts.at(1);
            else
                addUnknownArgument(argument, files);
        } else if (knownNames().contains(rest)) {
            pendingName = rest;
            nameExpected = false;
        } else {
            addUnknownArgument(argument, files);
        }
    }
    return true;
}

bool isSwitchOn(const StringsMap& params, const QString& name)
{
    return params.value(name).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

} // namespace CommandLineOptions
