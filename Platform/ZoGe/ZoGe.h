#pragma once

// Every header of the geometry library.

#include <ZoGe/Fwd.h>
#include <ZoGe/ZoGeBoundBlock2d.h>
#include <ZoGe/ZoGeCircArc3d.h>
#include <ZoGe/ZoGeEllipArc3d.h>
#include <ZoGe/ZoGeMatrix3d.h>
#include <ZoGe/ZoGeNurbCurve3d.h>
#include <ZoGe/ZoGePoint2d.h>
#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeRay3d.h>
#include <ZoGe/ZoGeTol.h>
#include <ZoGe/ZoGeVector2d.h>
#include <ZoGe/ZoGeVector3d.h>
