#pragma once
// A level as comparable values: what a level file sets, one entry per setting,
// condition and object, so that two loads compare as two lists and a difference
// shows as the entry that differs. And a level as the writer writes it.
#include <iomanip>
#include <sstream>
#include <string>
#include <typeinfo>
#include <vector>

#include <gtest/gtest.h>

#include "game/objects/ball.h"
#include "game/objects/blackhole.h"
#include "game/objects/bomb.h"
#include "game/objects/box.h"
#include "game/objects/level.h"
#include "game/objects/levelwriter.h"
#include "game/objects/polygon.h"
#include "game/objects/staticbox.h"
#include "game/render/draw_log.h"
#include "game/render/text.h"

// The level's file as the writer writes it (and a test failure when it cannot).
inline std::string written(Level& level) {
    std::string text, error;
    EXPECT_TRUE(LevelWriter::write(level, text, error)) << error;
    return text;
}

// The values, each followed by a space; reals with nine digits, so that a float
// the writer does not keep exactly shows.
template <class... T>
inline std::string join(const T&... values) {
    std::ostringstream s;
    s << std::setprecision(9);
    ((s << values << ' '), ...);
    return s.str();
}

// Everything a level file sets, one entry per setting, condition and object.
inline std::vector<std::string> scene(Level& level) {
    std::vector<std::string> out{join(level.length, DrawLog::imageOf(level.background))};
    for (const auto& [name, v] : level.victoryConditions) {
        out.push_back(join(name, v.x, v.y, v.w, v.h, v.condition, v.completeness));
    }
    for (Object* o : level.objects) {
        std::string s = join(typeid(*o).name(), o->cachedPosition.x, o->cachedPosition.y, DrawLog::imageOf(o->sprite));
        if (Object::Body2D* b = o->physics) {
            s += join(b->getOrientation().getAngle(), b->isStatic(), b->getInverseMass());
        }
        for (const auto& [key, value] : o->data) s += join(key, value);
        for (const victoryStruct& v : o->victory) s += join(v.condition, v.x, v.y);
        if (auto* w = dynamic_cast<StaticBox*>(o)) {
            s += join(w->width, w->height, w->image, w->hasPhysics, w->outlineOf, w->noPhysPos.x, w->noPhysPos.y);
        }
        if (auto* b = dynamic_cast<Ball*>(o)) s += join(b->radius, b->image, b->hasRestitution, b->restitution);
        if (auto* c = dynamic_cast<Box*>(o)) s += join(c->width, c->height, c->image);
        if (auto* p = dynamic_cast<Polygon0*>(o)) {
            s += join(p->scale, p->image, p->isStaticPolygon, p->hasRotate, p->rotate);
            for (int k = 0; k < p->pointNum; ++k) s += join(p->points[k].x, p->points[k].y);
        }
        if (auto* f = dynamic_cast<Bomb*>(o)) s += join(f->getTime());
        if (auto* h = dynamic_cast<BlackHole*>(o)) s += join(h->power, h->list == &level.objects);
        if (auto* t = dynamic_cast<Text*>(o)) s += join(t->text, t->size, t->colour);
        out.push_back(s);
    }
    return out;
}
