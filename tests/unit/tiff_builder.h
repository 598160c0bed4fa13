// TIFF structures built in a test, for the metadata readers' unit tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A TIFF structure in either byte order: directories in the order they are made, values
// longer than four bytes after them. A pointer entry names directories by index.
class TiffBuilder {
  public:
    explicit TiffBuilder(bool little, std::string magic = "") : little_(little), magic_(magic) {}

    int Directory() {
        directories_.push_back({});
        return static_cast<int>(directories_.size()) - 1;
    }
    void Short(int d, uint16_t tag, uint16_t value) { Add(d, {tag, 3, 1, U16(value)}); }
    void Long(int d, uint16_t tag, uint32_t value) { Add(d, {tag, 4, 1, U32(value)}); }
    void Text(int d, uint16_t tag, const std::string& text) {
        Add(d, {tag, 2, static_cast<uint32_t>(text.size() + 1), text + '\0'});
    }
    void Rational(int d, uint16_t tag, uint32_t numerator, uint32_t denominator) {
        Add(d, {tag, 5, 1, U32(numerator) + U32(denominator)});
    }
    void Pointers(int d, uint16_t tag, std::vector<int> targets) {
        Add(d, {tag, 4, static_cast<uint32_t>(targets.size()), {}, std::move(targets)});
    }
    // An entry whose count and value field are given as they are, pointing anywhere.
    void Raw(int d, uint16_t tag, uint16_t type, uint32_t count, uint32_t valueField) {
        Add(d, {tag, type, count, {}, {}, valueField});
    }
    void Next(int d, int next) { directories_[d].next = next; }

    std::string Build() const {
        std::vector<uint32_t> at;
        uint32_t end = 8;
        for (const Dir& d : directories_) {
            at.push_back(end);
            end += 2 + 12 * static_cast<uint32_t>(d.fields.size()) + 4;
        }
        std::string data, out = little_ ? "II" : "MM";
        out += magic_.empty() ? U16(42) : magic_;
        out += U32(8);
        for (size_t i = 0; i < directories_.size(); ++i) {
            const Dir& d = directories_[i];
            out += U16(static_cast<uint16_t>(d.fields.size()));
            for (const Field& f : d.fields) {
                std::string value = f.data;
                for (int target : f.targets)
                    value += U32(at[target]);
                out += U16(f.tag) + U16(f.type) + U32(f.count);
                if (f.raw) {
                    out += U32(*f.raw);
                } else if (value.size() <= 4) {
                    out += value + std::string(4 - value.size(), '\0');
                } else {
                    out += U32(end + static_cast<uint32_t>(data.size()));
                    data += value;
                }
            }
            out += U32(d.next < 0 ? 0 : at[d.next]);
        }
        return out + data;
    }

    std::string U16(uint32_t v) const {
        return little_ ? std::string{char(v & 0xFF), char(v >> 8 & 0xFF)}
                       : std::string{char(v >> 8 & 0xFF), char(v & 0xFF)};
    }
    std::string U32(uint32_t v) const {
        return little_ ? U16(v & 0xFFFF) + U16(v >> 16) : U16(v >> 16) + U16(v & 0xFFFF);
    }

  private:
    struct Field {
        uint16_t tag, type;
        uint32_t count;
        std::string data;
        std::vector<int> targets;
        std::optional<uint32_t> raw;
    };
    struct Dir {
        std::vector<Field> fields;
        int next = -1;
    };
    void Add(int d, Field field) { directories_[d].fields.push_back(std::move(field)); }

    bool little_;
    std::string magic_;
    std::vector<Dir> directories_;
};
