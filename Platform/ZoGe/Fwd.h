#pragma once

class ZoGeCircArc3d;
class ZoGeEllipArc3d;
class ZoGeMatrix3d;
class ZoGeNurbCurve3d;
class ZoGePoint2d;
class ZoGePoint3d;
class ZoGeTol;
class ZoGeVector2d;
class ZoGeVector3d;
class ZoGeRay3d;
class ZoGeBoundBlock2d;
