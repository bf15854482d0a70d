#include "CameraTestSupport.h"

#include <Scene/Environment/Light.h>
#include <Scene/Environment/Lighting.h>

using namespace Brio::Scene;
using namespace CameraTest;

TEST(LightTest, ANewLightIsDirectionalWithoutFalloff) {
    auto l = Light::make(TestSegment());
    EXPECT_EQ(l->lightType(), Light::eDirectional);
    EXPECT_EQ(l->lightSpace(), Light::eUnset);
    float c, lin, q, inner, outer;
    l->getAttenuation(c, lin, q);
    EXPECT_EQ(c, 1.0f);
    EXPECT_EQ(lin, 0.0f);
    EXPECT_EQ(q, 0.0f);
    l->getSpotCone(inner, outer);
    EXPECT_EQ(inner, 0.3f);
    EXPECT_EQ(outer, 0.5f);
    EXPECT_EQ(l->ambientColor(), Brio::Color());
    EXPECT_TRUE(l->hasDirection());
    EXPECT_FALSE(l->hasPosition());
    EXPECT_FALSE(l->isAttenuated());

    l->lightType(Light::eSpot);
    EXPECT_TRUE(l->hasPosition() && l->hasDirection() && l->isAttenuated());
    l->lightType(Light::ePoint);
    EXPECT_TRUE(l->hasPosition() && !l->hasDirection() && l->isAttenuated());
    l->lightType(Light::ELightType(9));
    EXPECT_TRUE(l->hasDirection() && l->isAttenuated()) << "unknown types draw as directional lights";
}

TEST(LightTest, AssignmentCopiesEveryValue) {
    auto a = Light::make(TestSegment());
    a->lightType(Light::eSpot);
    a->lightSpace(Light::eView);
    a->ambientColor({0.1f, 0.2f, 0.3f});
    a->diffuseColor({0.4f, 0.5f, 0.6f, 0.5f});
    a->specularColor({1, 1, 1});
    a->position(ZoGePoint3d(1, 2, 3));
    a->direction(ZoGeVector3d(0, -1, 0));
    a->setSpotCone(0.1f, 0.2f);
    a->setAttenuation(2, 3, 4);

    auto b = Light::make(TestSegment());
    *b = *a;
    *b = *b;
    EXPECT_EQ(b->lightType(), Light::eSpot);
    EXPECT_EQ(b->lightSpace(), Light::eView);
    EXPECT_EQ(b->ambientColor(), Brio::Color(0.1f, 0.2f, 0.3f));
    EXPECT_EQ(b->diffuseColor(), Brio::Color(0.4f, 0.5f, 0.6f, 0.5f));
    EXPECT_EQ(b->specularColor(), Brio::Color(1, 1, 1));
    ExpectPoint(b->position(), 1, 2, 3);
    ExpectVector(b->direction(), 0, -1, 0);
    float inner, outer, c, l, q;
    b->getSpotCone(inner, outer);
    b->getAttenuation(c, l, q);
    EXPECT_EQ(inner, 0.1f);
    EXPECT_EQ(outer, 0.2f);
    EXPECT_EQ(c, 2.0f);
    EXPECT_EQ(l, 3.0f);
    EXPECT_EQ(q, 4.0f);
}

TEST(LightTest, ViewSpaceLightsFollowTheCamera) {
    // Eye on +x looking at the origin with z up: eye-space -z is world -x, eye-space +x is world +y.
    auto camera = MakeCamera({5, 0, 0}, {0, 0, 0}, {0, 0, 1});
    auto l = Light::make(TestSegment());
    l->position(ZoGePoint3d(1, 0, -5));
    l->direction(ZoGeVector3d(0, 0, -1));
    ExpectPoint(l->worldPosition(camera.getTarget()), 1, 0, -5); // not in view space: as stored

    l->lightSpace(Light::eView);
    ExpectPoint(l->worldPosition(camera.getTarget()), 0, 1, 0);
    ExpectVector(l->worldDirection(camera.getTarget()), -1, 0, 0);
    ExpectPoint(l->worldPosition(nullptr), 1, 0, -5);

    camera->orbit(320, 0); // the light turns with the camera
    ExpectVector(l->worldDirection(camera.getTarget()), camera->direction().x, camera->direction().y,
                 camera->direction().z);
}

TEST(LightingTest, AnOrderedListOfSharedLights) {
    auto lighting = Lighting::make(TestSegment());
    auto a = Light::make(TestSegment()), b = Light::make(TestSegment()), c = Light::make(TestSegment());
    EXPECT_EQ(lighting->lightCount(), 0);
    lighting->addLight(a);
    lighting->addLight(b);
    lighting->addLight(a);
    lighting->addLight(c);
    lighting->addLight(nullptr);
    ASSERT_EQ(lighting->lightCount(), 4);
    EXPECT_TRUE(lighting->getLight(-1).isNull());
    EXPECT_TRUE(lighting->getLight(4).isNull());

    lighting->removeLight(a); // only the first entry goes
    ASSERT_EQ(lighting->lightCount(), 3);
    EXPECT_EQ(lighting->getLight(0), b.getTarget());
    EXPECT_EQ(lighting->getLight(1), a.getTarget());
    EXPECT_EQ(lighting->getLight(2), c.getTarget());
    lighting->removeLight(Light::make(TestSegment())); // absent: nothing
    EXPECT_EQ(lighting->lightCount(), 3);

    auto other = Lighting::make(TestSegment());
    other->addLight(c);
    *other = *lighting;
    *other = *other;
    ASSERT_EQ(other->lightCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(other->getLight(i), lighting->getLight(i).getTarget()) << "the same light objects";
    b->lightType(Light::ePoint);
    EXPECT_EQ(other->getLight(0)->lightType(), Light::ePoint);

    lighting->removeAllLights();
    EXPECT_EQ(lighting->lightCount(), 0);
    EXPECT_EQ(other->lightCount(), 3);
}
