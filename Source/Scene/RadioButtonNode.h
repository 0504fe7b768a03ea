#pragma once
#include "Framework/Names.h"
#include "Scene/ClickableNode.h"

#include <string>

// The one-of-many choice of scene layouts. A click, or Enter, Space or GamePadA with the focus,
// selects it, clears every other radio button node of its group in the current database and
// broadcasts {handle, "RadioButtonClick"}, again when it was selected already. A selected button
// shows its down look; its caption is centred over it.
class RadioButtonNode : public ClickableNode
{
public:
    // Plain (up to 10 images): the size of frame 0; three-slice: the width given by the height of
    // frame 0.
    RadioButtonNode(const Kestrin::ColorF& textColor, Kestrin::NameId group, Kestrin::NameId name,
                    const Vector2f& position, Kestrin::IImageList* images, float width, const wchar_t* text,
                    Kestrin::Font* font);

    // "RadioButton": the database lists every radio button node under it.
    Kestrin::NameId GetRole() const override;
    // 0 for buttons given no group: they all form one.
    virtual Kestrin::NameId GetGroup() const { return m_group; }

    // Selects it and broadcasts "RadioButtonClick".
    void Click();
    // true clears the others of the group (directly: no sound, no message); false only this one.
    void SetSelected(bool value);
    bool IsSelected() const { return selected; }

    int GetStateIndex() override;
    void Draw(const Vector2f& offset) override;

    // Set freely by the owner (the group is not told); SetSelected keeps the group right.
    bool selected = false;

protected:
    void Act() override { Click(); }

private:
    Kestrin::NameId m_group;
};

// The radio button node of the current database with the handle; null when the handle names
// nothing live or another kind of object.
RadioButtonNode* GetRadioButtonNode(Kestrin::ObjectHandle handle);

class RadioButtonNodeDescriptor : public ClickableNodeDescriptor
{
public:
    Kestrin::NameId group;
};

// "radiobuttonnode": "textResource", "sounds" (none by default), "alphaSensitivity" (25), "font",
// "text", "width" (three-slice form only), "images", "group".
class RadioButtonNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};
