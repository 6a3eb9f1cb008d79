// Folders and text streams: the byte rules of reading and writing lines, atomic replacement with
// a simulated full disk, and the errors a caller can run into.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/files_internal.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

class StreamsTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Install();
        std::string pattern = (fs::temp_directory_path() / "crockery-streams-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        ASSERT_TRUE(ChangeFolder(root.string()));
    }
    void TearDown() override {
        plat::SetFileWriteFault(-1);
        headless::Install();  // closes what a failed test left open, back to the start folder
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    static void Put(const std::string& name, const std::string& bytes) {
        std::ofstream(name, std::ios::binary) << bytes;
    }
    static std::string Get(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Reads as the program does: read a line, then test for the end.
    static std::vector<std::string> ReadAll(const std::string& name) {
        std::vector<std::string> lines;
        const int s = OpenForReading(name);
        if (s == 0) return lines;
        do lines.push_back(ReadTextLine(s));
        while (!AtEndOfStream(s) && lines.size() < 100);
        CloseStream(s);
        return lines;
    }
    // Names in the folder, to catch temporary files left behind.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(root)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path root;
};

TEST_F(StreamsTest, ReadLinesFollowTheByteRules) {
    using Lines = std::vector<std::string>;
    struct Case {
        std::string bytes;
        Lines lines;
    };
    const Case cases[] = {
        {"", {""}},  // an empty file still yields one empty line before its end
        {"abc", {"abc"}},
        {"abc\r\n", {"abc"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"\n\n", {"", ""}},
        {"a\rb\r\r\n", {"ab"}},  // CR dropped wherever it stands
        {"\r", {""}},
        {std::string("a\0b\0", 4), {"a", "b"}},  // a zero byte ends a line like LF
        {"\xff\xe9|x\x01\r\n", {"\xff\xe9|x\x01"}},  // every other byte is one character
    };
    for (const Case& c : cases) {
        Put("in.txt", c.bytes);
        EXPECT_EQ(ReadAll("in.txt"), c.lines) << "bytes: " << testing::PrintToString(c.bytes);
    }
}

TEST_F(StreamsTest, ReadingPastTheEndGivesEmptyLines) {
    Put("in.txt", "only\r\n");
    const int s = OpenForReading("in.txt");
    ASSERT_NE(s, 0);
    EXPECT_FALSE(AtEndOfStream(s));
    EXPECT_EQ(ReadTextLine(s), "only");
    EXPECT_TRUE(AtEndOfStream(s));
    EXPECT_EQ(ReadTextLine(s), "");
    EXPECT_TRUE(AtEndOfStream(s));
    EXPECT_TRUE(CloseStream(s));
}

TEST_F(StreamsTest, WrittenLinesAreLowBytesThenCrLf) {
    for (bool atomic : {false, true}) {
        const int s = OpenForWriting("out.txt", atomic);
        ASSERT_NE(s, 0);
        EXPECT_TRUE(WriteTextLine(s, "Name=Player"));
        EXPECT_TRUE(WriteTextLine(s, ""));
        EXPECT_TRUE(WriteTextLine(s, "\xe9\xff|"));
        EXPECT_TRUE(CloseStream(s));
        EXPECT_EQ(Get("out.txt"), "Name=Player\r\n\r\n\xe9\xff|\r\n") << "atomic " << atomic;
        EXPECT_EQ(ReadAll("out.txt"), (std::vector<std::string>{"Name=Player", "", "\xe9\xff|"}));
    }
}

TEST_F(StreamsTest, LongLinesCrossBufferBoundaries) {
    // 10 MB in one line, with CRs scattered through it (including at chunk edges), then a short
    // line: both come back whole.
    std::string big(10 * 1024 * 1024, 'x');
    for (size_t i = 0; i < big.size(); i += 65536) big[i] = '\r';
    big[big.size() - 1] = '\r';
    Put("big.txt", big + "\nend");
    const int s = OpenForReading("big.txt");
    ASSERT_NE(s, 0);
    const std::string line = ReadTextLine(s);
    const size_t crs = big.size() / 65536 + 1;
    EXPECT_EQ(line.size(), big.size() - crs);
    EXPECT_EQ(line.find('\r'), std::string::npos);
    EXPECT_EQ(ReadTextLine(s), "end");
    EXPECT_TRUE(AtEndOfStream(s));
    CloseStream(s);

    // And a long line written out reads back the same.
    const int w = OpenForWriting("big2.txt", true);
    EXPECT_TRUE(WriteTextLine(w, line));
    EXPECT_TRUE(CloseStream(w));
    EXPECT_EQ(ReadAll("big2.txt"), std::vector<std::string>{line});
}

TEST_F(StreamsTest, PlainStreamsReachTheFileLineByLine) {
    // The log relies on this: a crash between lines keeps everything written so far.
    const int s = OpenForWriting("Debug.txt");
    WriteTextLine(s, "Loading");
    EXPECT_EQ(Get("Debug.txt"), "Loading\r\n");
    WriteTextLine(s, "\tdone");
    EXPECT_EQ(Get("Debug.txt"), "Loading\r\n\tdone\r\n");
    EXPECT_TRUE(CloseStream(s));
}

TEST_F(StreamsTest, AtomicWriteReplacesOnlyOnClose) {
    Put("Setup.ini", "old\r\n");
    const int s = OpenForWriting("Setup.ini", true);
    ASSERT_NE(s, 0);
    WriteTextLine(s, "new");
    EXPECT_EQ(Get("Setup.ini"), "old\r\n");
    EXPECT_TRUE(CloseStream(s));
    EXPECT_EQ(Get("Setup.ini"), "new\r\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"Setup.ini"});
}

// Both atomic writers go through a private temporary file; what lands must still be readable by
// others as any new file is (the umask's say), and leave nothing beside it.
TEST_F(StreamsTest, AtomicSavesGetTheModeOfANewFile) {
    const mode_t mask = ::umask(022);
    const int s = OpenForWriting("a.txt", true);
    ASSERT_NE(s, 0);
    WriteTextLine(s, "x");
    EXPECT_TRUE(CloseStream(s));
    Pixels pixels;
    pixels.width = pixels.height = 2;
    pixels.argb.assign(4, 0xFF102030u);
    EXPECT_TRUE(SavePixelsAsPng(pixels, "b.png", 9));
    ::umask(mask);
    for (const char* name : {"a.txt", "b.png"}) {
        struct stat st {};
        ASSERT_EQ(::stat(name, &st), 0) << name;
        EXPECT_EQ(st.st_mode & 0777, 0644u) << name;
    }
    EXPECT_EQ(Entries(), (std::vector<std::string>{"a.txt", "b.png"}));
}

TEST_F(StreamsTest, AtomicStreamAbandonedAtResetLeavesTheOldFile) {
    Put("nuscores.dat", "old\r\n");
    const int s = OpenForWriting("nuscores.dat", true);
    WriteTextLine(s, "half a file");
    headless::Install();  // as at process end: unfinished atomic writes are dropped
    ASSERT_TRUE(ChangeFolder(root.string()));
    EXPECT_EQ(Get("nuscores.dat"), "old\r\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"nuscores.dat"});
    EXPECT_FALSE(CloseStream(s));  // the id is gone
}

TEST_F(StreamsTest, FullDiskNeverReplacesAndIsReported) {
    // "line one\r\n" + "line two\r\n" = 20 bytes.
    struct Case {
        int64_t budget;
        bool fits;
    };
    const Case cases[] = {{0, false}, {1, false}, {10, false}, {19, false}, {20, true}, {1000, true}};
    for (const Case& c : cases) {
        Put("nuscores.dat", "old\r\n");
        plat::SetFileWriteFault(c.budget);
        const int s = OpenForWriting("nuscores.dat", true);
        ASSERT_NE(s, 0);
        WriteTextLine(s, "line one");
        WriteTextLine(s, "line two");
        EXPECT_EQ(CloseStream(s), c.fits) << "budget " << c.budget;
        plat::SetFileWriteFault(-1);
        EXPECT_EQ(Get("nuscores.dat"), c.fits ? "line one\r\nline two\r\n" : "old\r\n") << "budget " << c.budget;
        EXPECT_EQ(Entries(), std::vector<std::string>{"nuscores.dat"}) << "budget " << c.budget;
    }
}

TEST_F(StreamsTest, FullDiskOnAPlainStreamFailsItsWrites) {
    plat::SetFileWriteFault(12);
    const int s = OpenForWriting("Debug.txt");
    EXPECT_TRUE(WriteTextLine(s, "Loading"));    // 9 bytes fit
    EXPECT_FALSE(WriteTextLine(s, "Started"));   // only 3 more do
    EXPECT_FALSE(WriteTextLine(s, "x"));         // and the stream stays failed
    EXPECT_FALSE(CloseStream(s));
    plat::SetFileWriteFault(-1);
    EXPECT_EQ(Get("Debug.txt").substr(0, 9), "Loading\r\n");
}

TEST_F(StreamsTest, BadIdsAndPathsAreHarmless) {
    MakeFolder("sub");
    Put("in.txt", "x");
    EXPECT_EQ(OpenForReading("missing.txt"), 0);
    EXPECT_EQ(OpenForReading("sub"), 0);  // a folder is not a text
    EXPECT_EQ(OpenForReading(""), 0);
    EXPECT_EQ(OpenForWriting("nofolder/out.txt"), 0);
    EXPECT_EQ(OpenForWriting("nofolder/out.txt", true), 0);
    EXPECT_EQ(OpenForWriting("sub"), 0);
    EXPECT_EQ(OpenForWriting("sub", true), 0);
    // Neither a device nor a pipe is a text: reading one could never end, writing could block.
    EXPECT_EQ(OpenForReading("/dev/zero"), 0);
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    EXPECT_EQ(OpenForReading("pipe"), 0);
    EXPECT_EQ(OpenForWriting("pipe"), 0);

    for (int id : {0, -1, 12345}) {
        EXPECT_EQ(ReadTextLine(id), "");
        EXPECT_TRUE(AtEndOfStream(id));
        EXPECT_FALSE(WriteTextLine(id, "x"));
        EXPECT_FALSE(CloseStream(id));
    }
    const int r = OpenForReading("in.txt");
    EXPECT_FALSE(WriteTextLine(r, "x"));  // a reading stream takes no lines
    EXPECT_TRUE(CloseStream(r));
    EXPECT_FALSE(CloseStream(r));  // already closed
    EXPECT_EQ(Get("in.txt"), "x");
}

TEST_F(StreamsTest, FoldersAndPathKinds) {
    EXPECT_TRUE(MakeFolder("Files"));
    EXPECT_TRUE(MakeFolder("Files/295"));
    EXPECT_TRUE(MakeFolder("Files"));  // already there
    Put("Files/Setup.ini", "");
    EXPECT_FALSE(MakeFolder("Files/Setup.ini"));

    struct Case {
        std::string path;
        int kind;
    };
    const Case kinds[] = {{"Files", 2}, {"Files/", 2}, {"Files/295/", 2}, {"Files/Setup.ini", 1},
                          {"Files/nothing", 0}, {"", 0}};
    for (const Case& c : kinds) EXPECT_EQ(PathKind(c.path), c.kind) << c.path;

    const std::string top = CurrentFolder();
    EXPECT_EQ(top.back(), '/');
    EXPECT_TRUE(ChangeFolder("Files/"));
    EXPECT_TRUE(ChangeFolder("295/"));
    EXPECT_EQ(CurrentFolder(), top + "Files/295/");
    EXPECT_FALSE(ChangeFolder("Common/"));  // missing: stays put
    EXPECT_FALSE(ChangeFolder(""));
    EXPECT_EQ(CurrentFolder(), top + "Files/295/");
    EXPECT_TRUE(ChangeFolder("../"));
    EXPECT_EQ(CurrentFolder(), top + "Files/");
    EXPECT_TRUE(ChangeFolder(".."));
    EXPECT_EQ(CurrentFolder(), top);

    EXPECT_FALSE(DeleteFile("Files/295"));  // not a file
    EXPECT_TRUE(DeleteFile("Files/Setup.ini"));
    EXPECT_FALSE(DeleteFile("Files/Setup.ini"));
    EXPECT_EQ(PathKind("Files/Setup.ini"), 0);
}

}  // namespace
