#pragma once

namespace Brio {

class BBox;
class BRect;
class Color;
struct Float2;
struct Point3f;
struct Vector3f;

} // namespace Brio
