#include "ghost/GhostRun.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace frostline {

namespace {

/// First line of every ghost file: what it is and its format's version.
constexpr std::string_view header = "frostline ghost 1";
/// Farthest a recorded position may lie from the origin (world units); the level is a few hundred across.
constexpr float farthest = 100000.0f;
/// Largest swing of a side part a file may give (degrees).
constexpr float largestLean = 90.0f;

/// The next line of text from position `at` on, without its end; nothing at the end.
std::optional<std::string_view> nextLine(std::string_view text, size_t& at)
{
    if (at >= text.size()) {
        return std::nullopt;
    }
    const size_t end = std::min(text.find('\n', at), text.size());
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    at = end + 1;
    return line;
}

/// The blank-separated numbers of a line, exactly count of them; nothing otherwise.
std::optional<std::vector<float>> numbersOf(std::string_view line, size_t count)
{
    std::vector<float> numbers;
    const char* p = line.data();
    const char* end = line.data() + line.size();
    while (p < end) {
        while (p < end && *p == ' ') {
            ++p;
        }
        if (p == end) {
            break;
        }
        float value = 0.0f;
        const auto [next, error] = std::from_chars(p, end, value);
        if (error != std::errc() || !std::isfinite(value) || (next < end && *next != ' ')) {
            return std::nullopt;
        }
        numbers.push_back(value);
        p = next;
    }
    if (numbers.size() != count) {
        return std::nullopt;
    }
    return numbers;
}

/// The number after a line's key ("finish 31.5"); nothing when the line is another.
std::optional<float> keyed(std::optional<std::string_view> line, std::string_view key)
{
    if (!line || line->substr(0, key.size()) != key || line->size() <= key.size() ||
        (*line)[key.size()] != ' ') {
        return std::nullopt;
    }
    const auto numbers = numbersOf(line->substr(key.size() + 1), 1);
    return numbers ? std::optional<float>((*numbers)[0]) : std::nullopt;
}

}  // namespace

GhostPose ghostPoseOf(const glm::mat4& modelMatrix, float leftLean, float rightLean)
{
    GhostPose pose;
    pose.position = glm::vec3(modelMatrix[3]);
    pose.orientation = glm::normalize(glm::quat_cast(glm::mat3(modelMatrix)));
    pose.leftLean = leftLean;
    pose.rightLean = rightLean;
    return pose;
}

glm::mat4 modelMatrixOf(const GhostPose& pose)
{
    glm::mat4 model = glm::mat4_cast(pose.orientation);
    model[3] = glm::vec4(pose.position, 1.0f);
    return model;
}

GhostPose mixPoses(const GhostPose& a, const GhostPose& b, float t)
{
    GhostPose pose;
    pose.position = glm::mix(a.position, b.position, t);
    pose.orientation = glm::slerp(a.orientation, b.orientation, t);
    pose.leftLean = a.leftLean + (b.leftLean - a.leftLean) * t;
    pose.rightLean = a.rightLean + (b.rightLean - a.rightLean) * t;
    return pose;
}

GhostPose GhostRun::poseAt(float seconds) const
{
    if (samples.empty()) {
        return {};
    }
    const float at = std::isfinite(seconds) ? std::max(seconds, 0.0f) / sampleSeconds : 0.0f;
    const size_t last = samples.size() - 1;
    if (at >= static_cast<float>(last)) {
        return samples[last];
    }
    const auto index = static_cast<size_t>(at);
    return mixPoses(samples[index], samples[index + 1], at - static_cast<float>(index));
}

void GhostRecorder::start()
{
    recorded = GhostRun{};
    lastSeconds = -1.0f;
}

void GhostRecorder::frame(float raceSeconds, const GhostPose& pose)
{
    if (!std::isfinite(raceSeconds) || raceSeconds > GhostRun::longestSeconds) {
        return;
    }
    if (lastSeconds < 0.0f) {
        // The first frame is GO: the run starts here.
        recorded.samples.assign(1, pose);
    } else if (raceSeconds > lastSeconds) {
        // Every sample due by now, between the last frame and this one.
        for (float due = static_cast<float>(recorded.samples.size()) * GhostRun::sampleSeconds;
             due <= raceSeconds;
             due = static_cast<float>(recorded.samples.size()) * GhostRun::sampleSeconds) {
            recorded.samples.push_back(
                mixPoses(lastPose, pose, (due - lastSeconds) / (raceSeconds - lastSeconds)));
        }
    }
    lastPose = pose;
    lastSeconds = std::max(raceSeconds, lastSeconds);
}

void GhostRecorder::finish(float raceSeconds)
{
    recorded.finishTime = raceSeconds;
}

std::string writeGhostRun(const GhostRun& run)
{
    std::string text(header);
    char line[256];
    std::snprintf(line, sizeof(line), "\nrate %d\nfinish %.4f\nsamples %zu\n",
                  static_cast<int>(std::lround(1.0f / GhostRun::sampleSeconds)), run.finishTime,
                  run.samples.size());
    text += line;
    for (const GhostPose& s : run.samples) {
        std::snprintf(line, sizeof(line), "%.4f %.4f %.4f %.6f %.6f %.6f %.6f %.3f %.3f\n", s.position.x,
                      s.position.y, s.position.z, s.orientation.w, s.orientation.x, s.orientation.y,
                      s.orientation.z, s.leftLean, s.rightLean);
        text += line;
    }
    return text;
}

std::optional<GhostRun> readGhostRun(const std::string& bytes)
{
    size_t at = 0;
    const std::string_view text(bytes);
    if (nextLine(text, at) != std::optional<std::string_view>(header)) {
        return std::nullopt;
    }
    const std::optional<float> rate = keyed(nextLine(text, at), "rate");
    const std::optional<float> finish = keyed(nextLine(text, at), "finish");
    const std::optional<float> count = keyed(nextLine(text, at), "samples");
    const float longest = GhostRun::longestSeconds / GhostRun::sampleSeconds;
    if (!rate || std::lround(*rate) != std::lround(1.0f / GhostRun::sampleSeconds) || !finish || !count ||
        *count < 1.0f || *count > longest || *count != std::floor(*count)) {
        return std::nullopt;
    }
    GhostRun run;
    run.finishTime = *finish < 0.0f ? -1.0f : *finish;
    run.samples.reserve(static_cast<size_t>(*count));
    for (size_t i = 0; i < static_cast<size_t>(*count); ++i) {
        const std::optional<std::string_view> line = nextLine(text, at);
        const auto n = line ? numbersOf(*line, 9) : std::nullopt;
        if (!n) {
            return std::nullopt;
        }
        GhostPose pose;
        pose.position = glm::vec3((*n)[0], (*n)[1], (*n)[2]);
        const glm::quat turn((*n)[3], (*n)[4], (*n)[5], (*n)[6]);
        const float turnLength = glm::length(turn);
        if (glm::any(glm::greaterThan(glm::abs(pose.position), glm::vec3(farthest))) ||
            std::fabs(turnLength - 1.0f) > 0.01f) {
            return std::nullopt;
        }
        // Six decimals keep a unit turn within a millionth: used as it is, written again
        // it gives the same bytes.
        pose.orientation = turn;
        pose.leftLean = std::clamp((*n)[7], 0.0f, largestLean);
        pose.rightLean = std::clamp((*n)[8], 0.0f, largestLean);
        run.samples.push_back(pose);
    }
    // Nothing may follow but blank lines.
    while (const std::optional<std::string_view> line = nextLine(text, at)) {
        if (line->find_first_not_of(' ') != std::string_view::npos) {
            return std::nullopt;
        }
    }
    return run;
}

}  // namespace frostline
