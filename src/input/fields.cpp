// The field splitter and the integer read of text formats.
#include "input/fields.h"

#include <limits>
#include <string_view>

namespace {

// 1-based position of the first occurrence of `separator` at or after the 1-based `start`, or 0.
size_t Find(std::string_view s, std::string_view separator, size_t start) {
    if (separator.empty() || start > s.size()) return 0;
    const size_t at = s.find(separator, start - 1);
    return at == std::string_view::npos ? 0 : at + 1;
}

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) < 33; }

}  // namespace

std::string GetField(const std::string& text, const std::string& separator, int n) {
    // Work on a view so only the field itself is copied: score lines can be long.
    std::string_view s = text;
    while (!s.empty() && IsTrimmed(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsTrimmed(s.back())) s.remove_suffix(1);

    size_t start = 1;
    size_t next = 0;
    for (int i = 1; i < n; ++i) {
        const size_t p = Find(s, separator, start) + 1;
        // Once a field is missing every later one is too; stopping here keeps a huge n cheap.
        if (p <= next) return kMissingField;
        next = p;
        start = next;
    }
    const size_t end = Find(s, separator, start);
    if (end > 0) return std::string(s.substr(start - 1, end - start));
    if (start > s.size()) return std::string();
    return std::string(s.substr(start - 1));
}
