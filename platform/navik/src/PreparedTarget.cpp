#include "PreparedTarget.h"

#include "Navik/ColorSpace.h"
#include "Navik/Exif.h"
#include "Navik/Image.h"

#include "Pyramid.h"

#include <algorithm>
#include <cmath>

namespace Navik::Internal {

namespace {

// A print may be large, but not larger than any image this framework loads.
constexpr double kMaxPrintSide = 65535.0;

// The print size: the output fitted inside the box, keeping its proportions.
Geometry::Size fitted(Geometry::Size output, const PrintBox& box)
{
    double scale = HUGE_VAL;
    if (box.width > 0.0)
        scale = std::min(scale, box.width / output.width);
    if (box.height > 0.0)
        scale = std::min(scale, box.height / output.height);
    scale = std::min({scale, kMaxPrintSide / output.width, kMaxPrintSide / output.height,
                      std::sqrt(double(kMaxImagePixelCount) / (double(output.width) * output.height))});
    return {std::max(1, int(std::lround(output.width * scale))), std::max(1, int(std::lround(output.height * scale)))};
}

const ColorSpace* embeddedProfile(const Image& image)
{
    return image.GetICCProfile() ? image.GetICCProfile() : image.GetExif()->GetICCProfile();
}

} // namespace

std::shared_ptr<const PreparedTarget> PreparedTarget::Build(const TargetSettings& settings, const Pyramid& pyramid,
                                                            const Geometry::CameraData& camera,
                                                            unsigned int profileVersion)
{
    auto prepared = std::make_shared<PreparedTarget>();
    prepared->profileVersion = profileVersion;
    prepared->chain = Geometry::CorrectionChain::Build(settings.geometry, {pyramid.Width(), pyramid.Height()}, camera);
    prepared->interpolation = settings.interpolation;
    prepared->colour = ColorTransform::Create(embeddedProfile(pyramid.Source()), settings.outputProfile, pyramid.Format());
    const Geometry::Size output = prepared->chain.OutputSize(0);
    prepared->size = settings.print ? fitted(output, *settings.print) : output;
    prepared->scaleX = double(output.width) / prepared->size.width;
    prepared->scaleY = double(output.height) / prepared->size.height;
    return prepared;
}

Geometry::Size PreparedTarget::OutputSize(unsigned int level) const
{
    return Geometry::CorrectionChain::ScaledSize(size, level);
}

OutputMap PreparedTarget::MapAt(unsigned int level) const
{
    const double levelScale = 1.0 / Geometry::CorrectionChain::LevelScale(level);
    const Geometry::Homography toChainOutput = Geometry::Homography::Scaling(scaleX * levelScale, scaleY * levelScale);
    return {chain.OutputToStageHomography(0) * toChainOutput, chain.IsProjective() ? nullptr : &chain.Lens()};
}

std::optional<Geometry::Point> PreparedTarget::InputToOutput(Geometry::Point input, unsigned int level) const
{
    const auto output = chain.InputToOutput(input, 0);
    if (!output)
        return std::nullopt;
    const double levelScale = Geometry::CorrectionChain::LevelScale(level);
    return Geometry::Point{output->x / scaleX * levelScale, output->y / scaleY * levelScale};
}

std::optional<Geometry::Point> PreparedTarget::OutputToInput(Geometry::Point output, unsigned int level) const
{
    const double levelScale = 1.0 / Geometry::CorrectionChain::LevelScale(level);
    return chain.OutputToInput({output.x * levelScale * scaleX, output.y * levelScale * scaleY}, 0);
}

} // namespace Navik::Internal
