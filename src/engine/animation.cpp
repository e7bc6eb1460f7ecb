#include "engine/animation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tovala {

namespace {

double eased(Easing easing, double t) {
  return easing == Easing::Linear ? t : t * t * (3.0 - 2.0 * t);
}

float moved(float a, float b, double s) { return float(double(a) + (double(b) - double(a)) * s); }
float turned(float a, float b, double s) { return float(double(a) + angleStep(a, b) * s); }

// The joint with `key` in `pose`: keys captured from one figure list their joints in the same
// order, so the place `hint` is tried first.
const JointPose* findJointPose(const Pose& pose, JointKey key, size_t hint) {
  if (hint < pose.joints.size() && pose.joints[hint].key == key) return &pose.joints[hint];
  for (const JointPose& j : pose.joints)
    if (j.key == key) return &j;
  return nullptr;
}

// Every joint any key names, in the order the keys first name them, with values still to set.
void collectJoints(const Animation& anim, Pose& out) {
  out.joints.clear();
  // An animation poses one figure of a cast: the one its first key names.
  out.figure = anim.keys.empty() ? 0 : anim.keys.front().pose.figure;
  for (const AnimationKey& k : anim.keys) {
    for (size_t i = 0; i < k.pose.joints.size(); ++i) {
      const JointKey key = k.pose.joints[i].key;
      if (!findJointPose(out, key, i)) out.joints.push_back(JointPose{key, {}, {}});
    }
  }
}

// The key index the motion at `frame` leaves from: the last key at or before it, or -1.
int keyBefore(const Animation& anim, double frame) {
  const auto after = std::upper_bound(anim.keys.begin(), anim.keys.end(), frame,
                                      [](double f, const AnimationKey& k) { return f < k.frame; });
  return int(after - anim.keys.begin()) - 1;
}

// How far between keys `a` and `b` (a before b) the frame lies, eased by a's easing.
double progress(const AnimationKey& a, const AnimationKey& b, double frame) {
  const double t = (frame - a.frame) / double(b.frame - a.frame);
  return eased(a.easing, std::clamp(t, 0.0, 1.0));
}

// One joint's value in one key: where the normalization finds it.
struct Named {
  JointKey key;
  int32_t keyIndex;
  uint32_t jointIndex;
};

bool byJointThenKey(const Named& a, const Named& b) {
  if (a.key.line != b.key.line) return a.key.line < b.key.line;
  if (a.key.point != b.key.point) return a.key.point < b.key.point;
  return a.keyIndex < b.keyIndex;
}

// The joint's values at key `k` from the keys around it that name it (`from` before, `to` after,
// either may be null).
void fillBetween(const Animation& anim, const Named* from, const Named* to, int k, JointPose& out) {
  const auto joint = [&](const Named* n) -> const JointPose& {
    return anim.keys[size_t(n->keyIndex)].pose.joints[n->jointIndex];
  };
  if (!from || !to) {
    const JointPose& held = joint(from ? from : to);
    out.vd = held.vd;
    out.rad = held.rad;
    return;
  }
  const JointPose &a = joint(from), &b = joint(to);
  const double s = progress(anim.keys[size_t(from->keyIndex)], anim.keys[size_t(to->keyIndex)],
                            anim.keys[size_t(k)].frame);
  for (size_t c = 0; c < 3; ++c) {
    out.vd[c] = moved(a.vd[c], b.vd[c], s);
    out.rad[c] = turned(a.rad[c], b.rad[c], s);
  }
}

}  // namespace

bool normalizeKeys(Animation& anim, size_t maxValues) {
  std::vector<Named> named;
  for (size_t k = 0; k < anim.keys.size(); ++k) {
    const auto& joints = anim.keys[k].pose.joints;
    for (size_t i = 0; i < joints.size(); ++i) named.push_back({joints[i].key, int32_t(k), uint32_t(i)});
  }
  std::sort(named.begin(), named.end(), byJointThenKey);
  // Each joint's run of keys naming it, the runs in the order the keys first name the joints.
  struct Run {
    size_t begin, end;
  };
  std::vector<Run> runs;
  for (size_t n = 0; n < named.size();) {
    size_t end = n + 1;
    while (end < named.size() && named[end].key == named[n].key) ++end;
    runs.push_back({n, end});
    n = end;
  }
  if (!anim.keys.empty() && runs.size() > maxValues / anim.keys.size()) return false;
  std::sort(runs.begin(), runs.end(), [&](const Run& a, const Run& b) {
    const Named &x = named[a.begin], &y = named[b.begin];
    return x.keyIndex != y.keyIndex ? x.keyIndex < y.keyIndex : x.jointIndex < y.jointIndex;
  });

  std::vector<std::vector<JointPose>> filled(anim.keys.size(), std::vector<JointPose>(runs.size()));
  for (size_t j = 0; j < runs.size(); ++j) {
    const Run& run = runs[j];
    size_t next = run.begin;  // the first entry of the run at or after key k
    for (size_t k = 0; k < anim.keys.size(); ++k) {
      while (next < run.end && size_t(named[next].keyIndex) < k) ++next;
      JointPose& out = filled[k][j];
      out.key = named[run.begin].key;
      if (next < run.end && size_t(named[next].keyIndex) == k) {
        out = anim.keys[k].pose.joints[named[next].jointIndex];
        continue;
      }
      fillBetween(anim, next > run.begin ? &named[next - 1] : nullptr,
                  next < run.end ? &named[next] : nullptr, int(k), out);
    }
  }
  for (size_t k = 0; k < anim.keys.size(); ++k) anim.keys[k].pose.joints = std::move(filled[k]);
  return true;
}

double angleStep(double a, double b) {
  constexpr double kTwoPi = 2 * std::numbers::pi;
  double d = std::fmod(b - a, kTwoPi);  // in (-2 pi, 2 pi)
  if (d > std::numbers::pi) d -= kTwoPi;
  if (d < -std::numbers::pi) d += kTwoPi;
  return d;
}

void poseAtFrame(const Animation& anim, double frame, Pose& out) {
  collectJoints(anim, out);
  if (anim.keys.empty()) {
    out.whole = {};
    return;
  }
  if (!std::isfinite(frame)) frame = 0;
  const int before = keyBefore(anim, frame);
  const int count = int(anim.keys.size());

  // The whole-figure values: every key has them.
  {
    const AnimationKey& a = anim.keys[size_t(std::max(before, 0))];
    if (before < 0 || before + 1 >= count) {
      out.whole = a.pose.whole;
    } else {
      const AnimationKey& b = anim.keys[size_t(before + 1)];
      const double s = progress(a, b, frame);
      for (size_t i = 0; i < 3; ++i) out.whole[i] = moved(a.pose.whole[i], b.pose.whole[i], s);
      for (size_t i = 3; i < 6; ++i) out.whole[i] = turned(a.pose.whole[i], b.pose.whole[i], s);
    }
  }

  for (size_t i = 0; i < out.joints.size(); ++i) {
    JointPose& j = out.joints[i];
    const JointPose* from = nullptr;
    const JointPose* to = nullptr;
    int fromKey = before, toKey = before + 1;
    for (; fromKey >= 0 && !from; --fromKey)
      from = findJointPose(anim.keys[size_t(fromKey)].pose, j.key, i);
    for (; toKey < count && !to; ++toKey)
      to = findJointPose(anim.keys[size_t(toKey)].pose, j.key, i);
    if (!from || !to) {
      const JointPose& held = from ? *from : *to;  // one exists: every joint came from a key
      j.vd = held.vd;
      j.rad = held.rad;
      continue;
    }
    // The loops stepped one past the keys they found.
    const double s = progress(anim.keys[size_t(fromKey + 1)], anim.keys[size_t(toKey - 1)], frame);
    for (size_t k = 0; k < 3; ++k) {
      j.vd[k] = moved(from->vd[k], to->vd[k], s);
      j.rad[k] = turned(from->rad[k], to->rad[k], s);
    }
  }
}

int keyIndexAt(const Animation& anim, int32_t frame) {
  const auto it = std::lower_bound(anim.keys.begin(), anim.keys.end(), frame,
                                   [](const AnimationKey& k, int32_t f) { return k.frame < f; });
  return it != anim.keys.end() && it->frame == frame ? int(it - anim.keys.begin()) : -1;
}

int setKey(Animation& anim, AnimationKey key) {
  if (key.frame < 0 || key.frame >= anim.length) return -1;
  const auto it = std::lower_bound(anim.keys.begin(), anim.keys.end(), key.frame,
                                   [](const AnimationKey& k, int32_t f) { return k.frame < f; });
  int index;
  if (it != anim.keys.end() && it->frame == key.frame) {
    *it = std::move(key);
    index = int(it - anim.keys.begin());
  } else {
    // begin() only after the insert: it may move the keys to a new buffer.
    const auto inserted = anim.keys.insert(it, std::move(key));
    index = int(inserted - anim.keys.begin());
  }
  normalizeKeys(anim);
  return index;
}

bool removeKey(Animation& anim, int32_t frame) {
  const int i = keyIndexAt(anim, frame);
  if (i < 0) return false;
  anim.keys.erase(anim.keys.begin() + i);
  return true;
}

bool moveKey(Animation& anim, int32_t from, int32_t to) {
  const int i = keyIndexAt(anim, from);
  if (i < 0 || to < 0 || to >= anim.length) return false;
  if (from == to) return true;
  if (keyIndexAt(anim, to) >= 0) return false;
  AnimationKey key = std::move(anim.keys[size_t(i)]);
  anim.keys.erase(anim.keys.begin() + i);
  key.frame = to;
  setKey(anim, std::move(key));
  return true;
}

}  // namespace tovala
