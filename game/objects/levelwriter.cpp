#include "game/objects/levelwriter.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <typeinfo>
#include <vector>

#include "game/objects/level.h"
#include "game/objects/levelfile.h"
#include "game/objects/safe_write.h"
#include "game/objects/staticbox.h"
#include "game/render/spritemanager.h"
#include "physics/physics.h"

const char* const LevelWriter::HEADER = "# boxquake user level";

LevelLine& LevelLine::word(const std::string& w, const char* what) {
    if (!m_error.empty()) return *this;
    if (!LevelWriter::appendWord(m_text, w)) m_error = std::string(what) + " \"" + w + "\" cannot be written as one word";
    ++m_words;
    return *this;
}

LevelLine& LevelLine::number(int v) {
    m_text += ' ';
    m_text += std::to_string(v);
    ++m_words;
    return *this;
}

LevelLine& LevelLine::whole(float v, const char* what) {
    if (!std::isfinite(v)) {
        fail(std::string(what) + " is not a finite number");
        return *this;
    }
    const double r = std::nearbyint(static_cast<double>(v));
    return number(r >= INT_MAX ? INT_MAX : r <= INT_MIN ? INT_MIN : static_cast<int>(r));
}

LevelLine& LevelLine::real(float v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(std::isfinite(v) ? v : 0.0f));
    m_text += ' ';
    m_text += buffer;
    ++m_words;
    return *this;
}

// Positions are the start positions restart returns to, not where play left the bodies.
LevelLine& LevelLine::position(const Object& o) { return whole(o.cachedPosition.x, "x").whole(o.cachedPosition.y, "y"); }

LevelLine& LevelLine::victoryOption(const Object& o) {
    auto it = o.data.find("vicCondName");
    if (it != o.data.end() && !it->second.empty()) word("--victory", "option").word(it->second, "victory condition name");
    return *this;
}

void LevelLine::fail(const std::string& why) {
    if (m_error.empty()) m_error = why;
}

bool LevelLine::finish(std::string& out, std::string& error) const {
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

namespace {

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

// The image name a background sprite was fetched under, from the sprite cache.
std::string spriteName(const Sprite* sprite) {
    for (const auto& entry : SpriteManager::sprites) {
        if (entry.second == sprite) return entry.first;
    }
    return std::string();
}

}  // namespace

bool LevelWriter::run(std::string& text, std::string& error) {
    m_out = std::string(HEADER) + "\n";
    std::string background = m_level.backgroundName;
    if (background.empty() && m_level.background != nullptr) background = spriteName(m_level.background);
    bool ok = background.empty() || emit(LevelLine("Background").word(background, "background picture"));
    ok = ok && emit(LevelLine("Length").number(m_level.length));
    for (auto it = m_level.objects.begin(); ok && it != m_level.objects.end(); ++it) ok = writeObject(**it);
    ok = ok && remainingConditions();
    if (!ok) {
        error = m_error;
        return false;
    }
    text = m_out;
    return true;
}

bool LevelWriter::emit(const LevelLine& line) { return line.finish(m_out, m_error); }

bool LevelWriter::writeObject(Object& o) {
    const auto* kind = Object::kindOf(o);
    if (kind == nullptr) {
        m_error = std::string("an object of an unknown kind (") + typeid(o).name() + ") cannot be written";
        return false;
    }
    return kind->second.write(o, kind->first, *this);
}

bool LevelWriter::areaOutline(const StaticBox& box) {
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
    return victoryLine(name, v, true);
}

bool LevelWriter::victoryLine(const std::string& name, const victoryStruct& v, bool drawRect) {
    LevelLine line("Victory");
    line.word(name, "victory condition name").word(conditionWord(v.condition), "kind");
    line.number(v.x).number(v.y).number(v.w).number(v.h).word(completenessWord(v.completeness), "completeness");
    if (drawRect) line.word("--drawRect", "option");
    if (!emit(line)) return false;
    m_lastWritten[name] = v;
    return true;
}

// Every condition whose last line so far (an outline's) does not already hold
// its final values gets a plain line after the objects; conditions are
// resolved once the whole file is read, so the place does not matter.
bool LevelWriter::remainingConditions() {
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
        if (!victoryLine(name, it->second, false)) return false;
    }
    return true;
}

std::string LevelWriter::freshName() {
    for (int i = 1;; ++i) {
        std::string name = "outline" + std::to_string(i);
        if (m_level.victoryConditions.count(name) == 0 && m_lastWritten.count(name) == 0) return name;
    }
}

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
    LevelWriter writer(level);
    return writer.run(text, error);
}

bool LevelWriter::save(Level& level, const std::string& path, std::string& error) {
    std::string text;
    std::string why;
    if (!write(level, text, why)) {
        error = "Could not save " + path + ": " + why;
        return false;
    }
    if (!replaceFile(path, text, why)) {
        error = "Could not save " + path + ": " + why;
        return false;
    }
    return true;
}
