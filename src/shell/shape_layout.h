#pragma once
// The shape tools: the points of the selected line laid out on a straight line, a triangle, a
// rectangle or an ellipse dragged on the canvas. Each changes x and y of the line's real points
// only, and does nothing when the line has too few points for the shape.

namespace tovala {

class Document;

enum class Shape { Straight = 1, Triangle = 2, Rectangle = 3, Ellipse = 4 };

// The fewest real points each shape needs: 2, 4, 5 and 4.
int minimumPoints(Shape shape);

// Lays out line `line` in the box from (x0, y0) to (x1, y1); for a straight line these are the
// two ends. Returns false when the line is invalid or too short.
bool layoutShape(Document& doc, int line, Shape shape, int x0, int y0, int x1, int y1);

}  // namespace tovala
