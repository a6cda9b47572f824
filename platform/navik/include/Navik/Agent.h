#pragma once

// The correction engine's view of one opened image: an Agent holds the image
// (and builds its input pyramid on demand) and owns the Targets that render it
// with a parameter dictionary. See docs/correction-engine.md.

#include "Navik/Object.h"
#include "Navik/Value.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace Navik {

class Exif;
class Image;
class PixelData;
class Progress;
class Target;
class ThreadGraph;
struct Region;

namespace Internal {
class Pyramid;
}

// How a target renders. Previews (mode 3) interpolate bilinearly; final output
// (mode 2) interpolates bicubically and honours the print-size keys. Both
// honour "OutputInterpolation".
enum CorrectionMode : int
{
    kCorrectionModeFinal = 2,
    kCorrectionModePreview = 3,
};

// The processing filter a target renders through. The engine has one kind,
// the default one; a target keeps a reference to its filter.
class Filter : public Object
{
};

// The camera's calibration: what the engine knows of the lens that took the
// image. An agent makes one from the image's EXIF focal data.
class CalibrationModule : public Object
{
public:
    explicit CalibrationModule(double focalLength35mm, std::optional<double> radialDistortion = std::nullopt)
        : m_focalLength35mm(focalLength35mm), m_radialDistortion(radialDistortion)
    {
    }

    // The focal length in millimetres on a 35 mm frame.
    double GetFocalLength35mm() const { return m_focalLength35mm; }
    // The radial coefficient of the lens model, used by the "Auto" distortion
    // correction; none when the lens was not measured.
    std::optional<double> GetRadialDistortion() const { return m_radialDistortion; }

private:
    double m_focalLength35mm;
    std::optional<double> m_radialDistortion;
};

class Agent
{
public:
    // The agent retains the image (and its Exif record).
    explicit Agent(const Image& image);
    // For a buffer without a file: the agent shares the buffer's memory and
    // copies the Exif record.
    Agent(const PixelData& pixels, const Exif& exif);
    ~Agent();
    Agent(const Agent&) = delete;
    Agent& operator=(const Agent&) = delete;

    // The camera profile the agent chose from the EXIF focal data; null when
    // the EXIF has none or it was dropped. Changing it changes the geometry of
    // every target's next render.
    CalibrationModule* GetProfile() const;
    void SetProfile(CalibrationModule* profile);

    // A new target, owned by the agent and valid until it is removed or the
    // agent goes. Null for an unusable image.
    Target* AddTarget(CorrectionMode mode, const Dictionary& parameters, Filter* filter);
    // The same under a name; an existing target of that name is replaced.
    Target* AddTarget(const std::string& name, CorrectionMode mode, const Dictionary& parameters, Filter* filter);

    // The named target's parameters; false when there is no such target.
    bool UpdateParameters(const std::string& name, const Dictionary& parameters);
    // Adds to `graph` a task that renders the named target at `level` over
    // `region` (level-0 output pixels, clipped to the output) and keeps its
    // output parameters. The result is an identifier of the scheduled work,
    // empty when nothing was scheduled. `label` names the task in the log.
    std::string ScheduleProcess(const std::string& name, unsigned int level, const Region* region,
                                const std::string& label, ThreadGraph& graph, Progress* progress);
    // The output parameters of the named target's last render at `level`.
    Dictionary GetOutputParameters(const std::string& name, unsigned int level) const;

    // Deletes a target; false when the agent has no such target.
    bool RemoveTarget(const std::string& name);
    bool RemoveTarget(Target* target);

private:
    friend class Target;

    Target* Adopt(std::unique_ptr<Target> target, const std::string& name);
    Target* Find(const std::string& name) const;
    // The profile and a number that changes with every SetProfile, so a
    // target knows when its geometry must be built again.
    RefPtr<CalibrationModule> ProfileAndVersion(unsigned int& version) const;

    std::shared_ptr<Internal::Pyramid> m_pyramid;
    RefPtr<Exif> m_exif;
    mutable std::mutex m_mutex; // guards the profile and the target lists
    RefPtr<CalibrationModule> m_profile;
    unsigned int m_profileVersion = 0;
    std::vector<std::unique_ptr<Target>> m_targets;
    std::map<std::string, Target*> m_named;
};

} // namespace Navik
