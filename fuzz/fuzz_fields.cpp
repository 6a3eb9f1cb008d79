// GetField and the integer reader over arbitrary text. The first byte chooses the separator's
// length (0-3) and the second the field number; the separator's bytes follow, the text is the rest.
#include <algorithm>

#include "fuzz_common.h"
#include "input/fields.h"
#include "input/text_number.h"

namespace {

std::string Trimmed(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) < 33) ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) < 33) --last;
    return text.substr(first, last - first);
}

void CheckInteger(const std::string& text) {
    const TextInteger parsed = ParseInteger(text);
    const int64_t wide = ReadInteger64(text);
    const int64_t clamped = wide > INT32_MAX ? INT32_MAX : wide < INT32_MIN ? INT32_MIN : wide;
    fuzz::Expect(parsed.value == clamped, "ParseInteger saturates what ReadInteger64 reads");
    fuzz::Expect(parsed.hasDigits || parsed.value == 0, "no digits read as 0");
    fuzz::Expect(ReadAbsoluteInteger(text) >= 0, "ReadAbsoluteInteger is never negative");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t separatorLength = std::min<size_t>(data[0] & 3u, size - 2);
    // Field numbers around 0 and 1, small ones, and some at either end of the int range.
    int n = int8_t(data[1]);
    if (data[1] & 0x40) n = n < 0 ? INT32_MIN + (data[1] & 63) : INT32_MAX - (data[1] & 63);
    const std::string separator(reinterpret_cast<const char*>(data + 2), separatorLength);
    const std::string text(reinterpret_cast<const char*>(data + 2 + separatorLength),
                           size - 2 - separatorLength);

    const std::string field = GetField(text, separator, n);
    const std::string trimmed = Trimmed(text);
    fuzz::Expect(field == kMissingField || trimmed.find(field) != std::string::npos,
                 "a field is a piece of the trimmed text");
    fuzz::Expect(GetField(text, separator, 1) == GetField(text, separator, n < 1 ? n : 0),
                 "field numbers of 1 or less give the first field");
    CheckInteger(text);
    CheckInteger(field);
    return 0;
}
