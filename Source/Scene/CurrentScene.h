#pragma once
// Lookups in the current screen's scene, for any code that runs inside a screen (its handlers, the
// node tasks of a level) without knowing which screen that is.
#include "Scene/SceneNode.h"
#include "Scene/StaticSpriteNode.h"

#include <initializer_list>
#include <string>

class SceneApplicationMode;

using SceneNodePath = std::initializer_list<SceneNode::PathElement>;

// The current screen is the one being entered while a push runs, else the top of the stack; these
// answer null when it is no scene screen or has no root yet.
SceneApplicationMode* GetCurrentSceneScreen();
SceneNode* GetCurrentSceneRoot();
// The node at the path below the current root; null as soon as a step finds nothing.
SceneNode* FindSceneNode(const SceneNode::PathElement* path);
SceneNode* FindSceneNode(SceneNodePath path);
// One step below the current root.
SceneNode* FindSceneChild(const SceneNode::PathElement& element);
// The node at the path when it is a static sprite; null otherwise.
StaticSpriteNode* FindStaticSpriteNode(SceneNodePath path);

// The path for the log, its steps joined by "/".
std::string DescribePath(SceneNodePath path);
