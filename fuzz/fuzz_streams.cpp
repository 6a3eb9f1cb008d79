// The text stream reader every file format rests on. The first byte decides whether a filler line
// puts the remaining bytes across the reader's 64 KiB buffer edge; the lines read must be the
// bytes split at LF or zero with CR dropped, and must come back the same once written and read.
#include <string>
#include <vector>

#include "fuzz_common.h"

namespace {

constexpr size_t kReadBufferBytes = 64 * 1024;

std::vector<std::string> ReadLines(const std::string& file) {
    std::vector<std::string> lines;
    const int stream = OpenForReading(file);
    fuzz::Expect(stream != 0, "the file opens");
    while (!AtEndOfStream(stream)) lines.push_back(ReadTextLine(stream));
    fuzz::Expect(ReadTextLine(stream).empty(), "past the end every line is empty");
    CloseStream(stream);
    return lines;
}

// The lines as the file format defines them, computed the slow and obvious way.
std::vector<std::string> ExpectedLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    bool open = false;  // bytes seen since the last terminator
    for (char c : bytes) {
        if (c == '\n' || c == '\0') {
            lines.push_back(line);
            line.clear();
            open = false;
        } else {
            open = true;
            if (c != '\r') line += c;
        }
    }
    if (open) lines.push_back(line);
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const fuzz::InputScope scope;
    std::string bytes;
    if ((data[0] & 0x80) == 0) {
        const size_t pad = kReadBufferBytes - (data[0] & 0x7F);
        bytes.assign(pad - 1, 'p');
        bytes += '\n';
    }
    bytes.append(reinterpret_cast<const char*>(data + 1), size - 1);
    fuzz::WriteBytes("lines.txt", reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());

    const std::vector<std::string> lines = ReadLines("lines.txt");
    fuzz::Expect(lines == ExpectedLines(bytes), "lines split at LF or zero, CR dropped");

    const int out = OpenForWriting("copy.txt", true);
    for (const std::string& line : lines) fuzz::Expect(WriteTextLine(out, line), "a line is written");
    fuzz::Expect(CloseStream(out), "the copy is complete");
    fuzz::Expect(ReadLines("copy.txt") == lines, "written lines read back the same");
    return 0;
}
