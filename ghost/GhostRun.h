// A ghost rider's run: the sled's pose at a fixed rate from GO, recorded while a
// race is ridden and replayed in a later one, and its file. Plain values: no GL,
// no physics.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

namespace frostline {

/// Where the sled is and how its rider leans at one moment.
struct GhostPose {
    glm::vec3 position{0.0f};        ///< the drawn sled's origin (world units)
    glm::quat orientation{1.0f, 0.0f, 0.0f, 0.0f};  ///< the drawn sled's turn (yaw and the slope's tilt)
    float leftLean = 0.0f;           ///< swing of the left side part (degrees)
    float rightLean = 0.0f;          ///< swing of the right side part (degrees)
};

/// The pose of a sled drawn with this object-to-world matrix (a turn and a move only)
/// and these side-part swings (degrees).
GhostPose ghostPoseOf(const glm::mat4& modelMatrix, float leftLean, float rightLean);
/// The drawn sled's object-to-world matrix of a pose.
glm::mat4 modelMatrixOf(const GhostPose& pose);
/// The pose a fraction t (0 to 1) of the way from a to b.
GhostPose mixPoses(const GhostPose& a, const GhostPose& b, float t);

/// A recorded run.
struct GhostRun {
    /// Seconds between two samples (20 a second, whatever the frame rate).
    static constexpr float sampleSeconds = 0.05f;
    /// Longest run kept (s): an hour, far beyond any race.
    static constexpr float longestSeconds = 3600.0f;

    std::vector<GhostPose> samples;  ///< the poses at 0, sampleSeconds, 2 sampleSeconds, ... after GO
    float finishTime = -1.0f;        ///< seconds from GO to the last gate; negative: not won

    /// Whether the run won its race.
    bool won() const { return finishTime >= 0.0f && !samples.empty(); }
    /// The pose seconds after GO, between the samples around it; the first before GO,
    /// the last after the end. A run without samples gives the rest pose.
    GhostPose poseAt(float seconds) const;
};

/// Records a run at the fixed rate from the frames of a race, whatever their length.
class GhostRecorder {
public:
    /// Forgets the run so far: the next frame is the start.
    void start();
    /// The sled's pose raceSeconds after GO; the samples due since the last frame are
    /// worked out between that frame's pose and this one.
    void frame(float raceSeconds, const GhostPose& pose);
    /// Marks the run as won at raceSeconds after GO.
    void finish(float raceSeconds);
    /// The run recorded so far.
    const GhostRun& run() const { return recorded; }

private:
    GhostRun recorded;
    GhostPose lastPose;
    float lastSeconds = -1.0f;  ///< negative: no frame yet
};

/// The run as the game's ghost files hold it: text, one sample a line, the same bytes
/// for the same run.
std::string writeGhostRun(const GhostRun& run);
/// The run in the bytes of a ghost file; nothing when they are not one (wrong header,
/// a count that does not match, a number that is not one or out of range).
std::optional<GhostRun> readGhostRun(const std::string& bytes);

}  // namespace frostline
