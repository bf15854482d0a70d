#pragma once
/// Every public header of the scene library.
#include <Scene/Foundations/NetObjectCountImpl.h>
#include <Scene/Foundations/SceneClass.h>
#include <Scene/Attributes/EAttributeType.h>
#include <Scene/Attributes/Attribute.h>
#include <Scene/Attributes/CompositeAttribute.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/TypeSpecificAttributeSet.h>
#include <Scene/Attributes/AttributeSetEx.h>
#include <Scene/Attributes/SimpleAttributeSet.h>
#include <Scene/Attributes/AttributeSetListEx.h>
#include <Scene/Attributes/VisibilityAttribute.h>
#include <Scene/Attributes/DepthPriorityAttribute.h>
#include <Scene/Attributes/OpacityAttribute.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Nodes/ENodeType.h>
#include <Scene/Nodes/ANodeData.h>
