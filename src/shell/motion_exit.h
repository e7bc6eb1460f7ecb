#pragma once
// What leaving motion mode does to the figure before editing goes on.

namespace tovala {

class Document;

// A line whose first point is an unshown end point gets it back as a normal point, and every
// point returns to its reference position keeping its movement and rotation values.
void leaveMotionPose(Document& doc);

}  // namespace tovala
