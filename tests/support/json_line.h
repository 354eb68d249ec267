// Reads one line of a JSON-lines log: a flat object whose values are strings, integers,
// true, false or null. Enough for tests that follow the simulated driver's log.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <istream>
#include <map>
#include <string>
#include <vector>

namespace jsonline {

class Object {
  public:
    // False for anything but one flat object; `object` is then empty.
    static bool Parse(const std::string& line, Object& object) {
        object.fields_.clear();
        Reader reader{line, 0};
        if (!reader.Take('{')) return Fail(object);
        reader.SkipBlanks();
        if (reader.Take('}')) return reader.AtEnd() || Fail(object);
        for (;;) {
            std::string key;
            Value value;
            if (!reader.String(key) || !reader.Take(':') || !reader.Value(value)) {
                return Fail(object);
            }
            object.fields_[key] = value;
            if (reader.Take(',')) continue;
            if (reader.Take('}')) return reader.AtEnd() || Fail(object);
            return Fail(object);
        }
    }

    bool Has(const std::string& key) const { return fields_.count(key) != 0; }
    bool IsText(const std::string& key) const { return Kind(key) == kText; }
    bool IsNumber(const std::string& key) const { return Kind(key) == kNumber; }
    // The value, or the fallback when the key is missing or of another kind.
    std::string Text(const std::string& key, const std::string& fallback = "") const {
        return IsText(key) ? fields_.at(key).text : fallback;
    }
    int64_t Number(const std::string& key, int64_t fallback = 0) const {
        return IsNumber(key) ? fields_.at(key).number : fallback;
    }
    bool Bool(const std::string& key, bool fallback = false) const {
        return Kind(key) == kBool ? fields_.at(key).flag : fallback;
    }

  private:
    enum ValueKind { kMissing, kText, kNumber, kBool, kNull };
    struct Value {
        ValueKind kind = kMissing;
        std::string text;
        int64_t number = 0;
        bool flag = false;
    };

    struct Reader {
        const std::string& line;
        size_t at;

        void SkipBlanks() {
            while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r')) {
                ++at;
            }
        }
        bool AtEnd() {
            SkipBlanks();
            return at == line.size();
        }
        bool Take(char c) {
            SkipBlanks();
            if (at < line.size() && line[at] == c) {
                ++at;
                return true;
            }
            return false;
        }
        bool Word(const char* word) {
            const std::string w(word);
            if (line.compare(at, w.size(), w) != 0) return false;
            at += w.size();
            return true;
        }
        static int Hex(char c) {
            if (c >= '0' && c <= '9') return c - '0';
            if (c >= 'a' && c <= 'f') return c - 'a' + 10;
            if (c >= 'A' && c <= 'F') return c - 'A' + 10;
            return -1;
        }
        // Escapes as the driver writes them; \u only below 0x80, which is all it emits.
        bool String(std::string& out) {
            if (!Take('"')) return false;
            while (at < line.size()) {
                const char c = line[at++];
                if (c == '"') return true;
                if (c != '\\') {
                    out += c;
                    continue;
                }
                if (at >= line.size()) return false;
                const char e = line[at++];
                switch (e) {
                    case '"':
                        out += '"';
                        break;
                    case '\\':
                        out += '\\';
                        break;
                    case '/':
                        out += '/';
                        break;
                    case 'n':
                        out += '\n';
                        break;
                    case 't':
                        out += '\t';
                        break;
                    case 'r':
                        out += '\r';
                        break;
                    case 'u': {
                        if (at + 4 > line.size()) return false;
                        int code = 0;
                        for (int i = 0; i < 4; ++i) {
                            const int digit = Hex(line[at++]);
                            if (digit < 0) return false;
                            code = code * 16 + digit;
                        }
                        if (code >= 0x80) return false;
                        out += static_cast<char>(code);
                        break;
                    }
                    default:
                        return false;
                }
            }
            return false;
        }
        bool Value(Object::Value& value) {
            SkipBlanks();
            if (at >= line.size()) return false;
            const char c = line[at];
            if (c == '"') {
                value.kind = kText;
                return String(value.text);
            }
            if (Word("true")) {
                value.kind = kBool;
                value.flag = true;
                return true;
            }
            if (Word("false")) {
                value.kind = kBool;
                return true;
            }
            if (Word("null")) {
                value.kind = kNull;
                return true;
            }
            const size_t start = at;
            if (line[at] == '-') ++at;
            while (at < line.size() && line[at] >= '0' && line[at] <= '9') ++at;
            if (at == start || (at == start + 1 && line[start] == '-')) return false;
            value.kind = kNumber;
            value.number = std::strtoll(line.substr(start, at - start).c_str(), nullptr, 10);
            return true;
        }
    };

    static bool Fail(Object& object) {
        object.fields_.clear();
        return false;
    }
    ValueKind Kind(const std::string& key) const {
        const auto found = fields_.find(key);
        return found == fields_.end() ? kMissing : found->second.kind;
    }

    std::map<std::string, Value> fields_;
};

// Every line of a log that parses; the count of those that did not goes to `unreadable`.
inline std::vector<Object> ReadLines(std::istream& log, int* unreadable = nullptr) {
    std::vector<Object> objects;
    std::string line;
    int bad = 0;
    while (std::getline(log, line)) {
        if (line.empty()) continue;
        Object object;
        if (Object::Parse(line, object)) {
            objects.push_back(object);
        } else {
            ++bad;
        }
    }
    if (unreadable != nullptr) *unreadable = bad;
    return objects;
}

inline std::vector<Object> ReadLog(const std::string& path, int* unreadable = nullptr) {
    std::ifstream file(path, std::ios::binary);
    return ReadLines(file, unreadable);
}

}  // namespace jsonline
