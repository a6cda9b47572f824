// Start and stop of the correction engine (the engine-related part of CBaseApplication).

#include "shell/CBaseApplication.h"

#include "utils/CMessageBox.h"
#include "utils/CSettings.h"
#include "utils/Logger.h"

#include <Navik/Engine.h>
#include <Navik/Keystoning.h>
#include <Navik/Logging.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

using namespace NAVIK_tarl1;

namespace {

bool s_engineStarted = false;

const QString kTilePoolKey = QStringLiteral("NavikTitlePoolMaxRAM64");
const QString kAlgorithmPoolKey = QStringLiteral("NavikAlgoPoolMaxRAM64");
constexpr std::uint64_t kDefaultPoolMegabytes = 2048;
// The largest limit whose byte count still fits in 64 bits.
constexpr std::uint64_t kMaxPoolMegabytes = std::numeric_limits<std::uint64_t>::max() >> 20;

// The pool limit in megabytes. A setting that is not a positive whole number
// gets the default, not a 0-byte pool, and a huge one is clamped so that the
// byte count does not wrap.
std::uint64_t poolMegabytes(const QString& key)
{
    bool ok = false;
    const qulonglong value = getSettingsValue(key, QVariant::fromValue(kDefaultPoolMegabytes)).toULongLong(&ok);
    if (!ok || value == 0)
        return kDefaultPoolMegabytes;
    return std::min<std::uint64_t>(value, kMaxPoolMegabytes);
}

// The engine's logging callback; the messages reach the log through the
// installed logger (CELogger) instead.
void engineLogCallback(const char*, Navik::LogLevel, const char*, va_list)
{
}

} // namespace

void CBaseApplication::initializeEngine()
{
    LOG_TRACE();
    if (s_engineStarted)
        return;
    // Set before the start, so that a failed start is still finalised.
    s_engineStarted = true;

    Navik::Engine::Configuration configuration;
    const std::uint64_t tileMegabytes = poolMegabytes(kTilePoolKey);
    const std::uint64_t algorithmMegabytes = poolMegabytes(kAlgorithmPoolKey);
    configuration.tilePoolMaxBytes = tileMegabytes << 20;
    configuration.algorithmPoolMaxBytes = algorithmMegabytes << 20;
    const std::string call = "LibCorrectionClientInitialize(2U, " + std::to_string(tileMegabytes) + " << 20, "
        + std::to_string(algorithmMegabytes) + " << 20, stdGrainDataPath, false);";
    LOG_MESSAGE('D', "Enter " << call);

    Navik::SetLoggingToUseCallback(engineLogCallback);
    if (!Navik::Engine::Initialize(configuration))
        CMessageBox::warning(nullptr, tr("Warning"), tr("Initializing CE"), QMessageBox::Ok, QMessageBox::NoButton);
    // The engine owns the corrections from here on.
    Navik::Engine::RegisterCorrection(new Navik::DistortionCorrection(false, true));
    Navik::Engine::RegisterCorrection(new Navik::Keystoning);

    LOG_MESSAGE('D', "Exit " << call);
}

void CBaseApplication::releaseEngine()
{
    LOG_TRACE();
    if (!s_engineStarted)
        return;
    Navik::Engine::Finalize();
    s_engineStarted = false;
}

bool CBaseApplication::isEngineStarted()
{
    return s_engineStarted;
}
