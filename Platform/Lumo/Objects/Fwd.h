#pragma once
/// Forward declarations of the object library.
namespace Lumo::Objects {
class UString;
class KString;
class IBaseInterface;
class IClone;
class HeapOperators;
class ARefCounted;
class AAttachable;
class ClassFactory;
class ClassRegistry;
class SBox3;
class ADevMatrix;
class SharedMatrix;
class _ListBase;
struct NoLifetime;
struct RefCountedLifetime;
template <class T, class Lifetime> class _ArrayList;
template <class T> class AutoPtr;
template <class T> struct vec2;
template <class T> struct vec3;
template <class T> struct vec4;
template <class T> struct mat4;
namespace Threads {
class Mutex;
}
} // namespace Lumo::Objects
