#pragma once
// An animation: poses at key frames, and the poses between them.
//
// Frames are numbered from 0 to length - 1 and shown at `fps` frames per second. Each key holds
// a whole pose (engine/pose.h) and the easing of the motion that leaves it towards the next key.
// Between two keys every joint value and every whole-figure value moves from the one key's value
// to the other's; before the first key and after the last the nearest key's pose is held.
// Rotations (radx, rady, radz, RadX, RadY, RadZ) take the short way round: the difference is
// wrapped into [-pi, pi] first, so 3.0 to -3.0 turns by 0.28, not by -6.0. A value may then pass
// beyond pi between keys; each key is still hit exactly.
//
// Keys normally all name the same joints in the same order, which keeps a frame cheap:
// normalizeKeys makes them so, and setKey and the file reader call it. A joint that some key
// does not name moves between the nearest keys that do name it (normalizing writes exactly that
// value into the key).
//
// The animation file (NAME.tovanim next to NAME.tov): engine/animation_file.h.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/pose.h"

namespace tovala {

// How the motion leaving a key runs to the next: Smooth starts and ends gently (an ease curve,
// 3t^2 - 2t^3), Linear runs at an even speed.
enum class Easing : uint8_t { Smooth, Linear };

struct AnimationKey {
  int32_t frame = 0;
  Pose pose;
  Easing easing = Easing::Smooth;
  bool operator==(const AnimationKey&) const = default;
};

inline constexpr int32_t kDefaultAnimationFps = 12;
inline constexpr int32_t kDefaultAnimationLength = 48;

struct Animation {
  int32_t fps = kDefaultAnimationFps;
  int32_t length = kDefaultAnimationLength;  // frames
  std::vector<AnimationKey> keys;            // sorted by frame, no frame twice, all < length
  bool operator==(const Animation&) const = default;
};

// The pose at `frame` (fractions allowed, for smooth playback and checks): every joint any key
// names, in the order keys first name them, the whole-figure values, and the figure of a cast
// the first key names (engine/pose.h). No keys: `out` becomes the empty pose. Allocates
// nothing once `out` holds as many joints as it will be given, so a player or exporter reuses
// one Pose for every frame.
void poseAtFrame(const Animation& anim, double frame, Pose& out);

// Makes every key name every joint any key names, in the order the keys first name them; a
// key's missing joints take the values the animation gives them at its frame. False, with
// nothing changed, when that would make more than `maxValues` joint values in all.
bool normalizeKeys(Animation& anim, size_t maxValues = SIZE_MAX);

// The index of the key at `frame`, or -1.
int keyIndexAt(const Animation& anim, int32_t frame);

// Puts a key at key.frame, replacing one already there, keeping the keys sorted and normalized.
// Returns its index, or -1 (nothing changed) when the frame lies outside 0 .. length - 1.
int setKey(Animation& anim, AnimationKey key);

// Removes the key at `frame`; false when there is none.
bool removeKey(Animation& anim, int32_t frame);

// Moves the key at `from` to `to`; false (nothing changed) when there is no key at `from`, `to`
// lies outside the animation, or another key sits at `to`.
bool moveKey(Animation& anim, int32_t from, int32_t to);

// The short-way difference b - a, wrapped into [-pi, pi].
double angleStep(double a, double b);

}  // namespace tovala
