#include <Scene/Selection/RawHitInfo.h>

namespace Brio::Scene {

struct RawHitInfo::Record {
    RawHitInfo* owner = nullptr;
    int id = 0;
    ZoGePoint3d localHitPoint, localRayPoint;
    ZoGeRay3d localRay;
    ZoGeVector3d localNormal;
    ZoGeMatrix3d localToWorld;
    ViewFragmentTransformer transformer;
    int hitPriority = 0, hitDepthPriority = 0;
    mutable double localDistance = 0.0, worldDistance = 0.0;
    double tolerance = 0.0;
    Brio::Object* view = nullptr;
    ViewFragment* fragment = nullptr;
    Lumo::Graphics::GroupNode* viewNode = nullptr;
    Lumo::Graphics::GroupNode* fragmentNode = nullptr;
};

RawHitInfo::RawHitInfo() : m_record(new Record) {
    m_record->owner = this;
}
RawHitInfo::~RawHitInfo() {
    delete m_record;
}

RawHitInfo* RawHitInfo::make() {
    return new RawHitInfo;
}

RawHitInfo* RawHitInfo::make(const RawHitInfo* other) {
    RawHitInfo* info = new RawHitInfo;
    if (other) {
        *info->m_record = *other->m_record;
        info->m_record->owner = info;
    }
    return info;
}

void RawHitInfo::destroy() {
    delete this;
}

int RawHitInfo::id() const {
    return m_record->id;
}
void RawHitInfo::id(int id) {
    m_record->id = id;
}
const ZoGePoint3d& RawHitInfo::localHitPoint() const {
    return m_record->localHitPoint;
}
void RawHitInfo::localHitPoint(const ZoGePoint3d& p) {
    m_record->localHitPoint = p;
}
const ZoGePoint3d& RawHitInfo::localRayPoint() const {
    return m_record->localRayPoint;
}
void RawHitInfo::localRayPoint(const ZoGePoint3d& p) {
    m_record->localRayPoint = p;
}
const ZoGeRay3d& RawHitInfo::localRay() const {
    return m_record->localRay;
}
void RawHitInfo::localRay(const ZoGeRay3d& ray) {
    m_record->localRay = ray;
}
const ZoGeVector3d& RawHitInfo::localNormal() const {
    return m_record->localNormal;
}
void RawHitInfo::localNormal(const ZoGeVector3d& n) {
    m_record->localNormal = n;
}
const ZoGeMatrix3d& RawHitInfo::localToWorldTransform() const {
    return m_record->localToWorld;
}
void RawHitInfo::localToWorldTransform(const ZoGeMatrix3d& m) {
    m_record->localToWorld = m;
}
const ViewFragmentTransformer& RawHitInfo::viewFragmentTransformer() const {
    return m_record->transformer;
}
void RawHitInfo::viewFragmentTransformer(const ViewFragmentTransformer& t) {
    m_record->transformer = t;
}
int RawHitInfo::hitPriority() const {
    return m_record->hitPriority;
}
void RawHitInfo::hitPriority(int p) {
    m_record->hitPriority = p;
}
int RawHitInfo::hitDepthPriority() const {
    return m_record->hitDepthPriority;
}
void RawHitInfo::hitDepthPriority(int p) {
    m_record->hitDepthPriority = p;
}
double RawHitInfo::hitTolerance() const {
    return m_record->tolerance;
}
void RawHitInfo::hitTolerance(double t) {
    m_record->tolerance = t;
}
Brio::Object* RawHitInfo::view() const {
    return m_record->view;
}
void RawHitInfo::view(Brio::Object* view) {
    m_record->view = view;
}
ViewFragment* RawHitInfo::viewFragment() const {
    return m_record->fragment;
}
void RawHitInfo::viewFragment(ViewFragment* fragment) {
    m_record->fragment = fragment;
}
Lumo::Graphics::GroupNode* RawHitInfo::viewNode() const {
    return m_record->viewNode;
}
void RawHitInfo::viewNode(Lumo::Graphics::GroupNode* node) {
    m_record->viewNode = node;
}
Lumo::Graphics::GroupNode* RawHitInfo::viewFragmentNode() const {
    return m_record->fragmentNode;
}
void RawHitInfo::viewFragmentNode(Lumo::Graphics::GroupNode* node) {
    m_record->fragmentNode = node;
}

double RawHitInfo::localHitDistance() const {
    Record& r = *m_record;
    if (r.localDistance == 0.0)
        r.localDistance = r.localRay.pointOnLine().distanceTo(r.localRayPoint);
    return r.localDistance;
}

double RawHitInfo::worldHitDistance() const {
    Record& r = *m_record;
    if (r.worldDistance == 0.0) {
        const ZoGePoint3d p0 = r.localToWorld * r.localRay.pointOnLine();
        const ZoGePoint3d q = r.localToWorld * r.localRayPoint;
        ZoGePoint3d s;
        r.transformer.worldToScreen(q, s);
        s.z -= double(r.hitDepthPriority) * 9.5367431640625e-07 * 10.0;
        ZoGePoint3d moved;
        r.transformer.screenToWorld(s, moved);
        r.worldDistance = moved.distanceTo(p0);
    }
    return r.worldDistance;
}

void RawHitInfo::transform(const ZoGeMatrix3d& m) {
    Record& r = *m_record;
    r.localHitPoint.transformBy(m);
    r.localRayPoint.transformBy(m);
    r.localRay.transformBy(m);
    r.localNormal.transformBy(m);
    r.localToWorld = r.localToWorld * m.inverse();
    r.localDistance = r.worldDistance = 0.0;
}

} // namespace Brio::Scene
