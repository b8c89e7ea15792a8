#pragma once
// An immovable rectangle: a wall, one of the level's four boundary walls, or,
// without a shape, the drawn outline of a victory area.
#include <memory>
#include <string>

#include "game/objects/object.h"

class StaticBox : public Object {
public:
    // From the line "StaticBox" x y width height [image]; "wall.tga" without image.
    StaticBox(World2D* world, std::string* words);
    // A wall (hasShape) or an outline (no shape) built by the level. Loads its own
    // picture, "wall.tga" or "rect.tga", outside the sprite cache.
    StaticBox(World2D* world, int x, int y, int width, int height, bool hasShape);
    ~StaticBox() override;

    // Extents become (v.x, v.y). A box with a shape gets a new rectangle; an
    // outline only changes its drawn size.
    void size(const physics::Vector2D& v) override;
    int draw() override;
    bool isVictor() override;  // always true: walls never hold up a victory

    static Object* construct(World2D* world, std::string* words);
    static bool write(Object& object, const std::string& keyword, LevelWriter& out);

    float width = 0.0f;             // extent along x, world units
    float height = 0.0f;            // extent along y, world units
    physics::Vector2D noPhysPos;    // where an outline is drawn; (0, 0) for a box with a shape
    bool hasPhysics = true;         // whether the body has a rectangle
    std::string image;              // picture name ("wall.tga" when the line gives none)
    bool boundary = false;          // one of the level's four boundary walls (not from the file)
    std::string outlineOf;          // for a victory-area outline: the condition's name

private:
    std::unique_ptr<Sprite> m_ownSprite;  // the picture of a level-built box; sprite points at it
};
