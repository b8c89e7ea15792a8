#include "game/objects/levelwriter.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <typeinfo>
#include <vector>

#include "game/objects/ball.h"
#include "game/objects/blackhole.h"
#include "game/objects/bomb.h"
#include "game/objects/box.h"
#include "game/objects/level.h"
#include "game/objects/levelfile.h"
#include "game/objects/polygon.h"
#include "game/objects/staticbox.h"
#include "game/render/spritemanager.h"
#include "game/render/text.h"
#include "physics/physics.h"

const char* const LevelWriter::HEADER = "# boxquake user level";

namespace {

const int kUpdatesPerSecond = 60;

// One line being written; the first failure is kept and later words are ignored.
class Line {
public:
    explicit Line(const char* keyword) : m_text(keyword), m_words(1) {}

    Line& word(const std::string& w, const char* what) {
        if (!m_error.empty()) return *this;
        if (!LevelWriter::appendWord(m_text, w)) {
            m_error = std::string(what) + " \"" + w + "\" cannot be written as one word";
        }
        ++m_words;
        return *this;
    }
    Line& number(int v) {
        m_text += ' ';
        m_text += std::to_string(v);
        ++m_words;
        return *this;
    }
    // A whole number of units from a float: rounded to the nearest, kept in the int range.
    Line& whole(float v, const char* what) {
        if (!std::isfinite(v)) {
            fail(std::string(what) + " is not a finite number");
            return *this;
        }
        const double r = std::nearbyint(static_cast<double>(v));
        return number(r >= INT_MAX ? INT_MAX : r <= INT_MIN ? INT_MIN : static_cast<int>(r));
    }
    Line& real(float v) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(std::isfinite(v) ? v : 0.0f));
        m_text += ' ';
        m_text += buffer;
        ++m_words;
        return *this;
    }
    void fail(const std::string& why) {
        if (m_error.empty()) m_error = why;
    }

    // The finished line, or false with `error` set.
    bool finish(std::string& out, std::string& error) const {
        if (!m_error.empty()) {
            error = m_error;
            return false;
        }
        if (m_words > LevelFile::MAX_TOKENS || static_cast<int>(m_text.size()) > LevelFile::MAX_LINE_LENGTH) {
            error = "a line of " + std::to_string(m_words) + " words and " + std::to_string(m_text.size()) +
                    " characters exceeds the reader's limits (" + std::to_string(LevelFile::MAX_TOKENS) + " words, " +
                    std::to_string(LevelFile::MAX_LINE_LENGTH) + " characters): " + m_text.substr(0, 40) + "...";
            return false;
        }
        out += m_text;
        out += '\n';
        return true;
    }

private:
    std::string m_text;
    int m_words;  // tokens so far, the keyword included
    std::string m_error;
};

const char* conditionWord(victoryStruct::Condition c) {
    switch (c) {
        case victoryStruct::ENTER: return "enter";
        case victoryStruct::LEAVE: return "leave";
        default: return "auto";  // any other word reads as AUTO
    }
}

const char* completenessWord(victoryStruct::Completeness c) {
    switch (c) {
        case victoryStruct::WHOLE: return "whole";
        case victoryStruct::PARTIAL: return "partial";
        default: return "centre";  // any other word reads as CENTRE
    }
}

bool sameCondition(const victoryStruct& a, const victoryStruct& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h && a.condition == b.condition &&
           a.completeness == b.completeness;
}

std::string victoryName(const Object& o) {
    auto it = o.data.find("vicCondName");
    return it == o.data.end() ? std::string() : it->second;
}

// The image name a background sprite was fetched under, from the sprite cache.
std::string spriteName(const Sprite* sprite) {
    for (const auto& entry : SpriteManager::sprites) {
        if (entry.second == sprite) return entry.first;
    }
    return std::string();
}

class Writer {
public:
    explicit Writer(Level& level) : m_level(level) {}

    bool run(std::string& text, std::string& error) {
        m_out = std::string(LevelWriter::HEADER) + "\n";
        std::string background = m_level.backgroundName;
        if (background.empty() && m_level.background != nullptr) background = spriteName(m_level.background);
        if (!background.empty()) {
            if (!emit(Line("Background").word(background, "background picture"), error)) return false;
        }
        if (!emit(Line("Length").number(m_level.length), error)) return false;

        for (Object* object : m_level.objects) {
            if (!writeObject(*object, error)) return false;
        }
        if (!remainingConditions(error)) return false;
        text = m_out;
        return true;
    }

private:
    bool emit(const Line& line, std::string& error) { return line.finish(m_out, error); }

    static physics::Vector2D start(const Object& o) { return o.cachedPosition; }

    bool writeObject(Object& o, std::string& error) {
        if (auto* text = dynamic_cast<Text*>(&o)) return label(*text, error);
        if (auto* wall = dynamic_cast<StaticBox*>(&o)) return staticBox(*wall, error);
        if (auto* ball = dynamic_cast<Ball*>(&o)) {
            Line line("Ball");
            line.whole(start(o).x, "x").whole(start(o).y, "y").whole(ball->radius, "radius");
            line.word(ball->image, "ball picture");
            victoryOption(line, o);
            if (ball->hasRestitution) line.word("--restitution", "option").real(ball->restitution);
            return emit(line, error);
        }
        if (auto* box = dynamic_cast<Box*>(&o)) {
            Line line("Box");
            line.whole(start(o).x, "x").whole(start(o).y, "y").whole(box->width, "width").whole(box->height, "height");
            line.word(box->image, "crate picture");
            victoryOption(line, o);
            return emit(line, error);
        }
        if (auto* polygon = dynamic_cast<Polygon0*>(&o)) {
            Line line("Polygon");
            line.whole(start(o).x, "x").whole(start(o).y, "y").real(polygon->scale);
            line.word(polygon->image, "polygon picture").number(polygon->pointNum);
            for (int i = 0; i < polygon->pointNum && i < Polygon0::MAX_POINTS; ++i) {
                line.real(polygon->points[i].x).real(polygon->points[i].y);
            }
            if (polygon->isStaticPolygon) line.word("--static", "option");
            if (polygon->hasRotate) line.word("--rotate", "option").real(polygon->rotate);
            victoryOption(line, o);
            return emit(line, error);
        }
        if (auto* bomb = dynamic_cast<Bomb*>(&o)) {
            if (bomb->time % kUpdatesPerSecond != 0) {
                error = "a bomb's fuse of " + std::to_string(bomb->time) +
                        " updates is not a whole number of seconds, which is all a level file can hold";
                return false;
            }
            Line line("Bomb");
            line.whole(start(o).x, "x").whole(start(o).y, "y").number(bomb->time / kUpdatesPerSecond);
            return emit(line, error);
        }
        if (auto* hole = dynamic_cast<BlackHole*>(&o)) {
            Line line("BlackHole");
            line.whole(start(o).x, "x").whole(start(o).y, "y").whole(hole->power, "power");
            return emit(line, error);
        }
        if (typeid(o) == typeid(Object)) return emit(Line("Object"), error);
        error = std::string("an object of an unknown kind (") + typeid(o).name() + ") cannot be written";
        return false;
    }

    void victoryOption(Line& line, const Object& o) {
        const std::string name = victoryName(o);
        if (!name.empty()) line.word("--victory", "option").word(name, "victory condition name");
    }

    // A label's line gives its lower-left corner; its body's centre is that corner
    // plus half its size (whole halves), and the label is drawn at the body's
    // centre. Labels never move under physics, so the body is where it stands.
    bool label(Text& text, std::string& error) {
        Line line("Text");
        const physics::Vector2D p = text.physics != nullptr ? text.physics->getPosition() : text.cachedPosition;
        const float half = text.physics != nullptr ? static_cast<float>(text.size / 2) : 0.0f;
        line.whole(p.x - half, "x").whole(p.y - half, "y").number(text.size);
        char colour[16];
        std::snprintf(colour, sizeof colour, "0x%06x", static_cast<unsigned>(text.colour) & 0xffffffu);
        line.word(colour, "colour");
        if (!text.text.empty()) {
            std::string word = text.text;
            if (word.find('\\') != std::string::npos) {
                line.fail("the label \"" + text.text + "\" holds a backslash, which a level file reads as a line break");
            }
            for (char& c : word) {
                if (c == '\n') c = '\\';
            }
            line.word(word, "label");
        }
        return emit(line, error);
    }

    bool staticBox(StaticBox& wall, std::string& error) {
        if (!wall.hasPhysics) return outline(wall, error);
        if (wall.boundary && LevelWriter::isDefaultBoundary(wall)) return true;
        Line line("StaticBox");
        line.whole(start(wall).x, "x").whole(start(wall).y, "y");
        line.whole(wall.width, "width").whole(wall.height, "height");
        line.word(wall.image.empty() ? std::string("wall.tga") : wall.image, "wall picture");
        return emit(line, error);
    }

    // An area outline is what a Victory line with "--drawRect" leaves at its place
    // in the object order; its condition's kind comes from the condition table.
    bool outline(StaticBox& box, std::string& error) {
        std::string name = box.outlineOf;
        victoryStruct v;
        auto it = m_level.victoryConditions.find(name);
        if (it != m_level.victoryConditions.end()) {
            v = it->second;
        } else {
            v.condition = victoryStruct::ENTER;
            // An outline without a usable name (its Victory line had none) gets a
            // fresh one that nothing refers to, so it stays an outline and nothing more.
            if (name.empty()) name = freshName();
        }
        v.x = static_cast<int>(std::lround(box.noPhysPos.x));
        v.y = static_cast<int>(std::lround(box.noPhysPos.y));
        v.w = static_cast<int>(std::lround(box.width));
        v.h = static_cast<int>(std::lround(box.height));
        return victoryLine(name, v, true, error);
    }

    bool victoryLine(const std::string& name, const victoryStruct& v, bool drawRect, std::string& error) {
        Line line("Victory");
        line.word(name, "victory condition name").word(conditionWord(v.condition), "kind");
        line.number(v.x).number(v.y).number(v.w).number(v.h).word(completenessWord(v.completeness), "completeness");
        if (drawRect) line.word("--drawRect", "option");
        if (!emit(line, error)) return false;
        m_lastWritten[name] = v;
        return true;
    }

    // Every condition whose last line so far (an outline's) does not already hold
    // its final values gets a plain line after the objects; conditions are
    // resolved once the whole file is read, so the place does not matter.
    bool remainingConditions(std::string& error) {
        std::vector<std::string> names = m_level.victoryNames;
        for (const auto& entry : m_level.victoryConditions) {
            bool listed = false;
            for (const std::string& n : names) listed = listed || n == entry.first;
            if (!listed) names.push_back(entry.first);
        }
        for (const std::string& name : names) {
            auto it = m_level.victoryConditions.find(name);
            if (it == m_level.victoryConditions.end()) continue;
            auto last = m_lastWritten.find(name);
            if (last != m_lastWritten.end() && sameCondition(last->second, it->second)) continue;
            if (!victoryLine(name, it->second, false, error)) return false;
        }
        return true;
    }

    std::string freshName() {
        for (int i = 1;; ++i) {
            std::string name = "outline" + std::to_string(i);
            if (m_level.victoryConditions.count(name) == 0 && m_lastWritten.count(name) == 0) return name;
        }
    }

    Level& m_level;
    std::string m_out;
    std::map<std::string, victoryStruct> m_lastWritten;  // by name: the values of its last line so far
};

}  // namespace

bool LevelWriter::appendWord(std::string& line, const std::string& word) {
    if (word.empty()) return false;
    if (word.find_first_of(std::string("\n\r\0", 3)) != std::string::npos) return false;
    const bool separators = word.find_first_of(" \t") != std::string::npos;
    const bool quote = word.find('"') != std::string::npos;
    if (separators && quote) return false;
    if (separators) {
        // A quote right after a single separator opens a quoted word.
        line += " \"" + word + "\"";
    } else if (word[0] == '"') {
        // After two separators a quote is an ordinary character of its word.
        line += "  " + word;
    } else {
        line += ' ';
        line += word;
    }
    return true;
}

bool LevelWriter::isDefaultBoundary(const StaticBox& wall) {
    for (const auto& b : Level::BOUNDARY_WALLS) {
        // Compared as written: whole units (a body's centre may be a rounding error off).
        if (std::nearbyint(wall.cachedPosition.x) == static_cast<float>(b[0]) &&
            std::nearbyint(wall.cachedPosition.y) == static_cast<float>(b[1]) &&
            wall.width == static_cast<float>(b[2]) && wall.height == static_cast<float>(b[3])) {
            return true;
        }
    }
    return false;
}

bool LevelWriter::write(Level& level, std::string& text, std::string& error) {
    Writer writer(level);
    return writer.run(text, error);
}

bool LevelWriter::save(Level& level, const std::string& path, std::string& error) {
    std::string text;
    std::string why;
    if (!write(level, text, why)) {
        error = "Could not save " + path + ": " + why;
        return false;
    }
    const std::string temporary = path + ".tmp";
    FILE* f = std::fopen(temporary.c_str(), "wb");
    if (f == nullptr) {
        error = "Could not save " + path + ": " + std::strerror(errno);
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    int savedErrno = ok ? 0 : errno;
    if (std::fflush(f) != 0 && ok) {
        ok = false;
        savedErrno = errno;
    }
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        savedErrno = errno;
    }
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        savedErrno = errno;
    }
    if (!ok) {
        std::remove(temporary.c_str());
        error = "Could not save " + path + ": " + std::strerror(savedErrno != 0 ? savedErrno : EIO);
        return false;
    }
    return true;
}
