#include "game/render/draw_list.h"

#include <utility>

namespace {

DrawList::Command command(DrawList::Kind kind, unsigned int texture, int width, int height) {
    DrawList::Command c;
    c.kind = kind;
    c.texture = texture;
    c.width = width;
    c.height = height;
    return c;
}

}  // namespace

void DrawList::sprite(unsigned int texture, int width, int height, float x, float y, float sx, float sy, float angle,
                      float alpha) {
    Command c = command(SPRITE, texture, width, height);
    c.p[0] = x;
    c.p[1] = y;
    c.p[2] = sx;
    c.p[3] = sy;
    c.p[4] = angle;
    c.p[5] = alpha;
    commands_.push_back(c);
}

void DrawList::polygon(unsigned int texture, int width, int height, const float* texCoords, const float* vertices,
                       int count) {
    Command c = command(POLYGON, texture, width, height);
    c.first = floats_.size();
    c.count = count;
    for (int i = 0; i < count; ++i) {
        floats_.push_back(texCoords[2 * i]);
        floats_.push_back(texCoords[2 * i + 1]);
        floats_.push_back(vertices[2 * i]);
        floats_.push_back(vertices[2 * i + 1]);
    }
    commands_.push_back(c);
}

void DrawList::quads(unsigned int texture, int width, int height, const float* data, int quadCount, float r, float g,
                     float b, float a) {
    Command c = command(QUADS, texture, width, height);
    c.p[0] = r;
    c.p[1] = g;
    c.p[2] = b;
    c.p[3] = a;
    c.first = floats_.size();
    c.count = quadCount;
    floats_.insert(floats_.end(), data, data + 16 * static_cast<std::size_t>(quadCount));
    commands_.push_back(c);
}

void DrawList::clear() {
    commands_.clear();
    floats_.clear();
}

bool DrawList::operator==(const DrawList& other) const {
    if (commands_.size() != other.commands_.size() || floats_ != other.floats_) return false;
    for (std::size_t i = 0; i < commands_.size(); ++i) {
        const Command& a = commands_[i];
        const Command& b = other.commands_[i];
        if (a.kind != b.kind || a.texture != b.texture || a.width != b.width || a.height != b.height ||
            a.first != b.first || a.count != b.count)
            return false;
        for (int k = 0; k < 6; ++k) {
            if (a.p[k] != b.p[k]) return false;
        }
    }
    return true;
}

bool FrameGate::mustRender(const DrawList& next, unsigned long textureEpoch) const {
    return !valid_ || textureEpoch != epoch_ || standing_ >= REFRESH_FRAMES || next != shown_;
}

void FrameGate::rendered(DrawList& next, unsigned long textureEpoch) {
    std::swap(shown_, next);
    next.clear();
    epoch_ = textureEpoch;
    valid_ = true;
    standing_ = 0;
}

void FrameGate::skipped(DrawList& next) {
    next.clear();
    ++standing_;
}
