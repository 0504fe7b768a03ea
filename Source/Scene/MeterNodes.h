#pragma once
#include "Framework/Names.h"
#include "Scene/SceneNode.h"
#include "Scene/SceneNodeFactory.h"

namespace Kestrin
{
class Font;
class IImageList;
} // namespace Kestrin

class TextSpriteNode;

// A value between 0 and a maximum, set by game code.
class IMeter
{
public:
    virtual ~IMeter() = default;
    virtual float GetValue() = 0;
    virtual void SetValue(float value) = 0;
    virtual float GetMax() = 0;
    virtual void SetMax(float max) = 0;
};

// Keeps 0 <= value <= max: a negative (or not a number) value or maximum counts as 0, a value
// above the maximum as the maximum, and lowering the maximum clamps the value again.
class MeterComponent : public IMeter
{
public:
    float GetValue() override { return m_value; }
    void SetValue(float value) override;
    float GetMax() override { return m_max; }
    // Then SetValue(value) through the interface, so that a node's own SetValue runs.
    void SetMax(float max) override;

private:
    float m_value = 0.0f;
    float m_max = 0.0f;
};

// Bar directions, the "direction" words' indices: 0 and 1 run along x, 2 and 3 along y; 1 and 3
// fill from the far end.
enum MeterDirection : int
{
    Meter_LeftToRight = 0,
    Meter_RightToLeft = 1,
    Meter_TopToBottom = 2,
    Meter_BottomToTop = 3,
};

// The filled part of `length` for the value: value / max of it, whole pixels (or cells), clamped
// to [0, length]; 0 while max is 0.
int MeterFill(float value, float max, int length);

// A bar filled in proportion to the value: image 1 (when the list has one) as the empty bar over
// the whole length, image 0 tiled over the filled part. The tiles stay aligned to the bar's near
// end whichever way it fills. The size does not depend on the value.
class MeterBarNode : public SceneNode, public MeterComponent
{
public:
    // size: the bar's length in pixels; 0 takes the length of image 0.
    MeterBarNode(int direction, int size, Kestrin::IImageList* images);

    // Sizes the node from image 0: length x its height along x, its width x length along y; 0 x 0
    // without images.
    void UpdateSize();
    // Not owned; sizes the node again.
    void SetImages(Kestrin::IImageList* images);
    Kestrin::IImageList* GetImages() const { return m_images; }
    int GetDirection() const { return m_direction; }
    int GetLength() const { return m_length; }

    void Draw(const Vector2f& offset) override;

private:
    Kestrin::IImageList* m_images;
    int m_direction;
    int m_size;
    int m_length = 0;
};

// A row or column of `size` cells, each image 0 when full or image 1 (when the list has one) when
// empty, `offset` pixels apart; int(value / max * size) of them are full. The reversed directions
// put the full cells at the far end.
class DiscreteMeterBarNode : public SceneNode, public MeterComponent
{
public:
    DiscreteMeterBarNode(int direction, int size, int offset, Kestrin::IImageList* images);

    void UpdateSize();
    Kestrin::IImageList* GetImages() const { return m_images; }
    int GetDirection() const { return m_direction; }
    int GetCellCount() const { return m_size; }

    void Draw(const Vector2f& offset) override;

private:
    Kestrin::IImageList* m_images;
    int m_direction;
    int m_size;
    int m_offset;
};

// The value and the maximum as a text, "3/10" (each truncated to a whole number), shown by a text
// sprite child in its own font and colour; the node takes the child's size. Registering the node
// registers the child with it when it is not registered yet.
class FractionTextMeterNode : public SceneNode, public MeterComponent
{
public:
    FractionTextMeterNode(Kestrin::Font* font, const Kestrin::ColorF& color, int justify);

    void SetValue(float value) override;
    void SetMax(float max) override;
    // "Add" registers the text child in the same database.
    void HandleMessage(const Kestrin::Message& message) override;

    // Null once the text child has left the meter.
    TextSpriteNode* GetTextNode() const { return m_text; }
    void OnChildRemoved(SceneNode* child) override;

private:
    void UpdateText();

    TextSpriteNode* m_text;
};

class MeterBarNodeDescriptor : public SceneNodeDescriptor
{
public:
    Kestrin::NameId images;
    int direction = Meter_LeftToRight;
    int size = 0;
    float max = 0.0f;
    float start = 0.0f;
};

class DiscreteMeterBarNodeDescriptor : public SceneNodeDescriptor
{
public:
    Kestrin::NameId images;
    int direction = Meter_LeftToRight;
    int size = 0;
    int offset = 0;
    float max = 0.0f;
    float start = 0.0f;
};

class FractionTextMeterNodeDescriptor : public SceneNodeDescriptor
{
public:
    Kestrin::NameId font;
    Kestrin::ColorF color{0.0f, 0.0f, 0.0f, 1.0f};
    int justify = 0;
    float max = 0.0f;
    float start = 0.0f;
};

// "meterbarnode": "direction", "size", "images", "start", "max".
class MeterBarNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};

// "discretemeterbarnode": "direction", "size", "offset", "images", "start", "max".
class DiscreteMeterBarNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};

// "fractiontextmeternode": "font", "color" (opaque black when absent), "textJustify", "start",
// "max".
class FractionTextMeterNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};
