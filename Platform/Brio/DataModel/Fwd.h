#pragma once
/// Forward declarations of the host data model.
namespace Brio {
class Asset;
class AssetAdapter;
class BlobSerializerTrigger;
class DataChange;
class DataModelCallback;
class Entity;
class EntityMetaType;
class EntityReferenceListMetaType;
class IScriptableRootObject;
class MemberSet;
class MetaTypeManager;
class MigrationHelper;
class Object;
class ObjectPath;
class ReaderWriterMutex;
class Segment;
class ValueMetaType;
class ZipArchive;
} // namespace Brio
