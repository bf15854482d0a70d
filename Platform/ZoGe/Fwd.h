#pragma once

class ZoGeMatrix3d;
class ZoGePoint2d;
class ZoGePoint3d;
class ZoGeTol;
class ZoGeVector2d;
class ZoGeVector3d;
