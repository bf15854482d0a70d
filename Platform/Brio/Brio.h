#pragma once

// Every public header of the host framework's base and value-type modules.

#include <Brio/Base/Fwd.h>
#include <Brio/Base/Exception.h>
#include <Brio/Base/IdleHandler.h>
#include <Brio/Base/PathInfo.h>
#include <Brio/Base/RefCounted.h>
#include <Brio/Base/ScopedLockBase.h>
#include <Brio/Base/SpinLock.h>
#include <Brio/Base/Status.h>
#include <Brio/Base/StringConversion.h>
#include <Brio/Base/StrongRef.h>
#include <Brio/Base/StrongRefBase.h>
#include <Brio/Base/UIThread.h>
#include <Brio/Base/TextCommand.h>
#include <Brio/Base/TextCommandParameters.h>
#include <Brio/Base/UniqueString.h>

#include <Brio/Types/Fwd.h>
#include <Brio/DataModel/DataChange.h>
#include <Brio/DataModel/Object.h>
#include <Brio/DataModel/ObjectPath.h>
#include <Brio/Types/BBox.h>
#include <Brio/Types/BRect.h>
#include <Brio/Types/Color.h>
#include <Brio/Types/Float2.h>
#include <Brio/Types/Point3f.h>
#include <Brio/Types/Vector3f.h>
