#pragma once
#include <Brio/DataModel/DataChange.h>
#include <Lumo/Devices/ECull.h>
#include <Lumo/Graphics/AWorld.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Vec.h>
#include <Scene/Attributes/BasicColorMaterial.h>
#include <Scene/Attributes/BillBoardAttribute.h>
#include <Scene/Attributes/EAttributeType.h>
#include <Scene/Attributes/SliceCapAttribute.h>
#include <Scene/Attributes/TransparentLayerAttribute.h>
#include <Scene/Change/NodeData.h>

#include <cstdint>
#include <string>
#include <vector>

class ZoGeCircArc3d;
class ZoGeEllipArc3d;
class ZoGeMatrix3d;
class ZoGeNurbCurve3d;
class ZoGePoint3d;
class ZoGeVector3d;

namespace Brio {
class Color;
}
namespace Lumo::Objects {
class SBox3;
}
namespace Lumo::Devices {
class SimpleMesh;
}
namespace Lumo::Graphics {
class ARenderNode;
class GroupNode;
class GeometryNode;
class APrimitive;
} // namespace Lumo::Graphics
namespace Lumo::Scene {
class Attribute;
class AttributeSet;
class LODGeometryNode;
class TextNode;
class LineStyle;
class SelectionQualifier;
class EffectAttribute;
struct ThreadData;
struct ZebraAnalysisData;
struct DraftAnalysisData;
struct CurvatureMapData;
class VisibilityAttribute;
class SelectabilityAttribute;
class OpacityAttribute;
class ColorHintAttribute;
class DepthPriorityAttribute;
class TransformAttribute;
class VertexColorEffectAttribute;
class SingleSidedFaceEffectAttribute;
class TwoSidedFaceEffectAttribute;
class MaterialEffectAttribute;
class WireframeMaterialEffectAttribute;
class ColorEffectAttribute;
class TextureEffectAttribute;
class AmbraEffectAttribute;
class PrioritizedAmbraAttribute;
class OccludedEffectAttribute;
class ZebraAnalysisAttribute;
class DraftAnalysisAttribute;
class CurvatureMapAttribute;
class ThreadAttribute;
class DecalGeometryAttribute;
class ObjectIDAttribute;
class SliceCapAttribute;
class MultipleSliceNoCapAttribute;
class GroupAttribute;
class OrderInTransparentGroupAttribute;
class TransparentLayerAttribute;
class CullModeAttribute;
class LineStyleAttribute;
class BillBoardAttribute;
class PixelScaleAttribute;
} // namespace Lumo::Scene

namespace Brio::Scene {

class ChangePacket;
class INodeSource;
class IBodyNodeSource;
class NodePath;

/// The one way node sources create and change render nodes: a short-lived builder made on the
/// stack around one node. What it collects goes into a change packet that the object manager
/// applies at the next sync when the builder ends; a node the builder just created is updated
/// at once instead. Reference levels let one change address one instance of a shared
/// component inside an assembly.
class NodeChange {
public:
    /// What model nodes do with changes: 0 plain scene packets; 1 the model object manager
    /// collects them and no packet is made; any other value both.
    enum EQuill : std::uint32_t { eQuillOff = 0, eQuillOnly = 1, eQuillBoth = 2 };

    /// A change about node; justCreated applies it when the builder ends.
    NodeChange(Lumo::Graphics::ARenderNode* node, bool justCreated);
    /// A builder about to create its node.
    NodeChange();
    NodeChange(const NodeChange& other);
    NodeChange& operator=(const NodeChange& other);
    /// Posts (or, for a just-created node, applies) the collected packet.
    virtual ~NodeChange();

    static void setQuill(EQuill mode);
    static EQuill _Quill();

    Lumo::Graphics::ARenderNode* node() const { return m_target; }
    Lumo::Graphics::GroupNode* groupNode() const;
    Lumo::Graphics::GroupNode* instanceNode() const;
    Lumo::Scene::TextNode* textNode() const;
    Lumo::Graphics::GeometryNode* geometryNode() const;
    Lumo::Scene::LODGeometryNode* lodGeometryNode() const;
    /// The target's model node data; null until the model nodes exist or without flag 0x8.
    NodeData* _QuillNode() const;

    /// Unlinks the target's node data from its source.
    void clearSource();
    /// True when the packet will be applied as the builder ends (a just-created node, no
    /// mirrored channel).
    bool doItNow() const;

    // Creating the target: null and nothing done when the builder already has one.
    Lumo::Graphics::GroupNode* createGroupNode(INodeSource* source, Lumo::Graphics::EWorldType worldType,
                                               bool extended = false, bool post = true);
    Lumo::Graphics::GroupNode* createComponentNode(INodeSource* source, Lumo::Graphics::EWorldType worldType,
                                                   bool post = true);
    Lumo::Graphics::GroupNode* createBodyNode(IBodyNodeSource* source, std::uint64_t id,
                                              Lumo::Graphics::EWorldType worldType, bool post = true);
    Lumo::Graphics::GroupNode* createInstanceNode(INodeSource* source, bool post = true);
    Lumo::Graphics::GeometryNode* createGeometryNode(INodeSource* source, bool post = true);
    Lumo::Scene::LODGeometryNode* createLODGeometryNode(INodeSource* source, bool post = true);
    Lumo::Scene::TextNode* createTextNode(INodeSource* source);
    /// An image at the point; a file name is loaded as a texture on the first device.
    Lumo::Graphics::ARenderNode* createImageNode(INodeSource* source, const ZoGePoint3d& start,
                                                 const std::wstring& file);
    Lumo::Graphics::ARenderNode* createCircleArcNode(INodeSource* source, const ZoGeCircArc3d& arc);
    Lumo::Graphics::ARenderNode* createEllipseArcNode(INodeSource* source, const ZoGeEllipArc3d& arc);
    /// The two integers are tessellation hints the primitive chooses itself.
    Lumo::Graphics::ARenderNode* createTorusNode(INodeSource* source, const ZoGePoint3d& center, double majorRadius,
                                                 double minorRadius, const ZoGeVector3d& axis, int, int);
    Lumo::Graphics::ARenderNode* createBoxNode(INodeSource* source, const ZoGePoint3d& corner,
                                               const ZoGeVector3d& xAxis, const ZoGeVector3d& yAxis,
                                               const ZoGeVector3d& zAxis, double xLength, double yLength,
                                               double zLength);
    /// A cone frustum from the base centre along the axis (its length is the height) with a
    /// base and a top radius; equal radii make a cylinder.
    Lumo::Graphics::ARenderNode* createConeNode(INodeSource* source, const ZoGePoint3d& baseCenter,
                                                const ZoGeVector3d& axis, double baseRadius, double topRadius);
    Lumo::Graphics::ARenderNode* createSphereNode(INodeSource* source, const ZoGePoint3d& center, double radius);
    Lumo::Graphics::ARenderNode* createNurbsCurveNode(INodeSource* source, const ZoGeNurbCurve3d& curve);
    Lumo::Graphics::ARenderNode* createPolyLineNode(INodeSource* source, const std::vector<ZoGePoint3d>& points);

    // Changing a primitive target: false unless the target is a primitive of that kind.
    bool setCircleArc(const ZoGeCircArc3d& arc);
    bool setEllipseArc(const ZoGeEllipArc3d& arc);
    bool setTorus(const ZoGePoint3d& center, double majorRadius, double minorRadius, const ZoGeVector3d& axis, int,
                  int);
    bool setBox(const ZoGePoint3d& corner, const ZoGeVector3d& xAxis, const ZoGeVector3d& yAxis,
                const ZoGeVector3d& zAxis, double xLength, double yLength, double zLength);
    bool setCone(const ZoGePoint3d& baseCenter, const ZoGeVector3d& axis, double baseRadius, double topRadius);
    bool setSphere(const ZoGePoint3d& center, double radius);
    bool setNurbsCurve(const ZoGeNurbCurve3d& curve);
    bool setPolyLine(const std::vector<ZoGePoint3d>& points);
    /// Images keep their picture; always false.
    bool setImage(const ZoGePoint3d& start, const std::wstring& file);

    /// The mesh of a level of detail; plain geometry nodes use level 15 only.
    void geometry(Lumo::Devices::SimpleMesh* mesh, int lod);
    /// A new model box (a non-empty one) for the target.
    void modelBox(const Lumo::Objects::SBox3& box);
    void markDynamic(bool on);
    void setFlags(unsigned long flags, bool on);
    /// Only for a text node.
    void textData(const wchar_t* text);
    void qualifier(std::uint64_t q);
    void clientType(std::uint32_t types);
    void doubleSided(EDoubleSided mode);
    /// Asks the source again for these host changes at the next sync.
    void invalidate(DataChange::EChangeType types);

    // Attributes: each is made, set into the active attribute set when there is one, and
    // returned (the caller does not own it; it lives while the change does or longer).
    Lumo::Scene::VisibilityAttribute* visibility(bool visible, bool winTies = false, unsigned char priority = 0);
    Lumo::Scene::SelectabilityAttribute* selectability(bool selectable, int selectionPriority,
                                                       Lumo::Scene::SelectionQualifier* qualifier, bool winTies = false,
                                                       unsigned char priority = 0);
    Lumo::Scene::OpacityAttribute* opacity(float opacity, bool absolute, bool winTies = false,
                                           unsigned char priority = 0);
    Lumo::Scene::ColorHintAttribute* colorHint(const Lumo::Objects::vec3<float>& color, bool winTies = false,
                                               unsigned char priority = 0);
    Lumo::Scene::DepthPriorityAttribute* depthPriority(int depthPriority, bool winTies = false,
                                                       unsigned char priority = 0);
    Lumo::Scene::TransformAttribute* transform(const ZoGeMatrix3d& matrix, bool absolute, bool winTies = false,
                                               unsigned char priority = 0);
    Lumo::Scene::TransformAttribute* transform(const ZoGeVector3d& translation, bool absolute, bool winTies = false,
                                               unsigned char priority = 0);
    Lumo::Scene::TransformAttribute* transform(const ZoGePoint3d& translation, bool absolute, bool winTies = false,
                                               unsigned char priority = 0);
    Lumo::Scene::VertexColorEffectAttribute* vertexColorEffect(bool alphaFlag, float opacity, bool winTies = false,
                                                               unsigned char priority = 0);
    Lumo::Scene::SingleSidedFaceEffectAttribute* singleSidedFaceEffect(Lumo::Scene::EffectAttribute* face,
                                                                       Lumo::Devices::ECull cull, bool winTies = false,
                                                                       unsigned char priority = 0);
    Lumo::Scene::TwoSidedFaceEffectAttribute* twoSidedFaceEffect(Lumo::Scene::EffectAttribute* front,
                                                                 Lumo::Scene::EffectAttribute* back,
                                                                 bool winTies = false, unsigned char priority = 0);
    Lumo::Scene::MaterialEffectAttribute* materialEffect(const Lumo::Scene::BasicColorMaterial& material,
                                                         Lumo::Scene::EColorSource colorSource, bool winTies = false,
                                                         unsigned char priority = 0);
    Lumo::Scene::WireframeMaterialEffectAttribute*
    wireframeMaterialEffect(const Lumo::Scene::BasicColorMaterial& material, bool winTies = false,
                            unsigned char priority = 0);
    Lumo::Scene::ColorEffectAttribute* colorEffect(const Brio::Color& color, bool winTies = false,
                                                   unsigned char priority = 0);
    Lumo::Scene::TextureEffectAttribute* textureEffect(const std::wstring& texture, const Brio::Color& color,
                                                       bool winTies = false, unsigned char priority = 0);
    Lumo::Scene::AmbraEffectAttribute* ambraEffect(const std::wstring& material, bool useCustomizedColor,
                                                   const Brio::Color& customizedColor, float scale, float rotation,
                                                   bool winTies = false, unsigned char priority = 0);
    Lumo::Scene::PrioritizedAmbraAttribute* prioritizedAmbraEffect(const std::wstring& material,
                                                                   bool useCustomizedColor,
                                                                   const Brio::Color& customizedColor, float scale,
                                                                   float rotation);
    /// An opacity of -1 takes the class's visible or occluded default.
    Lumo::Scene::OccludedEffectAttribute* occludedEffect(const std::wstring& texture, const Brio::Color& color,
                                                         float visibleOpacity, float occludedOpacity,
                                                         bool winTies = false, unsigned char priority = 0);
    Lumo::Scene::ZebraAnalysisAttribute* zebraAnalysis(const Lumo::Scene::ZebraAnalysisData& data, bool highQuality,
                                                       bool winTies = false, unsigned char priority = 0);
    Lumo::Scene::DraftAnalysisAttribute* draftAnalysis(const Lumo::Scene::DraftAnalysisData& data, bool highQuality,
                                                       bool winTies = false, unsigned char priority = 0);
    Lumo::Scene::CurvatureMapAttribute* curvatureMap(const Lumo::Scene::CurvatureMapData& data, bool highQuality,
                                                     bool winTies = false, unsigned char priority = 0);
    Lumo::Scene::ThreadAttribute* cosmeticThreads(const std::vector<Lumo::Scene::ThreadData>& threads,
                                                  bool winTies = false, unsigned char priority = 0);
    Lumo::Scene::DecalGeometryAttribute* decalGeometry(bool winTies = false, unsigned char priority = 0);
    Lumo::Scene::ObjectIDAttribute* objectID(bool winTies = false, unsigned char priority = 0);
    Lumo::Scene::SliceCapAttribute* SliceCap(Lumo::Scene::ESectionType sectionType, bool doCap,
                                             Lumo::Objects::vec4<float>* plane1, Lumo::Objects::vec4<float>* plane2,
                                             bool winTies = false, unsigned char priority = 0);
    Lumo::Scene::MultipleSliceNoCapAttribute* MultipleSLiceNoCap(const std::vector<Lumo::Objects::vec4<float>>& planes,
                                                                 bool winTies = false, unsigned char priority = 0);
    Lumo::Scene::GroupAttribute* Group(bool winTies = false, unsigned char priority = 0);
    Lumo::Scene::OrderInTransparentGroupAttribute* OrderInTransparentGroup(int order, bool winTies = false,
                                                                           unsigned char priority = 0);
    Lumo::Scene::TransparentLayerAttribute* TransparentLayer(int layer, bool winTies = false,
                                                             unsigned char priority = 0);
    Lumo::Scene::CullModeAttribute* cullMode(Lumo::Devices::ECull cull, bool winTies = false,
                                             unsigned char priority = 0);
    /// Null (nothing set) for single faces and edges addressed directly: their line style
    /// comes from above.
    Lumo::Scene::LineStyleAttribute* lineStyle(const Lumo::Scene::LineStyle& style, bool winTies = false,
                                               unsigned char priority = 0);
    Lumo::Scene::BillBoardAttribute* billBoard(const ZoGePoint3d& anchor, Lumo::Scene::BillBoardAttribute::EStyle style,
                                               const ZoGeVector3d& axis, bool winTies = false,
                                               unsigned char priority = 0);
    Lumo::Scene::PixelScaleAttribute* pixelScale(double screenSpaceSize, double modelSpaceSize,
                                                 const ZoGePoint3d& scaleCenter, bool winTies = false,
                                                 unsigned char priority = 0);
    void setAttribute(Lumo::Scene::Attribute* attribute);
    void removeAttribute(Lumo::Scene::EAttributeType type);

    // Attribute-set levels.
    /// The active set's child for node (extended sets), else the active set again.
    bool pushAttributeSet(Lumo::Graphics::ARenderNode* node, unsigned clientTypes);
    /// One level per node whose client type does not share a bit with mask; the shared bits
    /// of skipped nodes become the next level's append types. Answers the levels pushed.
    int pushAttributeSet(const std::vector<Lumo::Graphics::ARenderNode*>& nodes, unsigned mask);
    /// The active set's type-specific child, or a new type-specific set merged into it when
    /// popped.
    bool pushAttributeSet(unsigned applyTypes, unsigned appendTypes);
    bool popAttributeSet(int n = 1);
    bool popAllAttributeSets();
    /// The set attribute operations write into; null without a target.
    Lumo::Scene::AttributeSet* getActiveAttributeSet();

    // References and instances.
    /// Descends into target as shown under the active reference node.
    void pushReferenceNode(Lumo::Graphics::ARenderNode* target,
                           Lumo::Graphics::EWorldType worldType = Lumo::Graphics::eSingleNodeWorld);
    /// One level per node of the path; answers the path's size.
    int pushReferenceNode(const NodePath& path, Lumo::Graphics::EWorldType last = Lumo::Graphics::eSingleNodeWorld,
                          Lumo::Graphics::EWorldType others = Lumo::Graphics::eSingleNodeWorld);
    void popReferenceNode(int n = 1);
    /// Addresses the named instance of the active reference.
    void pushRefInstance(const std::string& name);
    void popRefInstance();
    void popToRootNode();
    /// Removes what the active reference shows (or, inside an instance, that instance).
    void markRemoved();

    // Children of a group target.
    void addChild(Lumo::Graphics::ARenderNode* child);
    void removeChild(Lumo::Graphics::ARenderNode* child);
    void removeAllChildren();

    /// Write the packet's XML dump (when a packet exists).
    bool testDumpToXML(const std::wstring& path);
    bool testDumpMergeResultToXML(const std::wstring& path);

    /// The packet collected so far, made on first need; null without a target.
    ChangePacket* getChangePacket();
    /// Flag bits of the builder.
    static constexpr std::uint32_t kRefInstanceActive = 0x1;
    static constexpr std::uint32_t kJustCreated = 0x2;
    static constexpr std::uint32_t kMergeTypeSpecific = 0x4;
    static constexpr std::uint32_t kQuillTarget = 0x8;
    std::uint32_t flags() const { return m_flags; }

    /// Builders are made on the stack or by this class's own operator new.
    static void* operator new(std::size_t size);
    static void operator delete(void* p);

private:
    template <class N> N* adopt(N* node, INodeSource* source, Lumo::Scene::ENodeType type, bool extended);
    void postCreate(std::uint32_t createType, std::uint32_t worldType, bool extended, bool post);
    bool setPrimitive(int kind, Lumo::Graphics::APrimitive* primitive);
    template <class A> A* put(A* attribute);
    void pushSet(Lumo::Scene::AttributeSet* set);
    void popOne();
    void postGroupChange(Lumo::Graphics::ARenderNode* child, bool add);
    void childProxy(Lumo::Graphics::ARenderNode* child, bool add);
    void processChangePacket();
    /// The builder works below the packet's own node, inside a reference.
    bool referenceActive() const;

    /// The attribute-set levels, kept inline while shallow: a builder is made per edit.
    class SetStack {
    public:
        void push_back(Lumo::Scene::AttributeSet* set) {
            if (m_size < kInline)
                m_inline[m_size] = set;
            else
                m_more.push_back(set);
            ++m_size;
        }
        void pop_back() {
            if (--m_size >= kInline)
                m_more.pop_back();
        }
        Lumo::Scene::AttributeSet* operator[](int i) const { return i < kInline ? m_inline[i] : m_more[i - kInline]; }
        Lumo::Scene::AttributeSet* back() const { return (*this)[m_size - 1]; }
        int size() const { return m_size; }
        bool empty() const { return m_size == 0; }
        void clear() {
            m_size = 0;
            m_more.clear();
        }

    private:
        static constexpr int kInline = 6;
        Lumo::Scene::AttributeSet* m_inline[kInline] = {};
        std::vector<Lumo::Scene::AttributeSet*> m_more;
        int m_size = 0;
    };

    Lumo::Graphics::GroupNode* m_activeReference = nullptr;
    SetStack m_stack;                                // each entry holds a reference
    Lumo::Graphics::ARenderNode* m_target = nullptr; // one reference while set
    ChangePacket* m_packet = nullptr;                // one reference, shared by copies
    std::uint32_t m_flags = 0;
    std::string m_refInstanceName;
    std::vector<Lumo::Objects::AutoPtr<Lumo::Scene::Attribute>> m_orphans; // made with no set to take them
};

} // namespace Brio::Scene
