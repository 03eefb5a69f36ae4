#include "practice/media_library.h"

#include <gtest/gtest.h>

#include <map>

#include "media_test_util.h"
#include "practice/media_builder.h"
#include "shell/error.h"
#include "shell/file_utils.h"
#include "support/temp_dir.h"

namespace quillo {
namespace {

using test::IndexText;

constexpr char kBar[] = "\xA6";

// Index lines with "|" for the field separator and position tokens: "{T}" is the second line's
// position (the folder table), "{Lk}" the position of the line after the marker line "=Lk"
// (markers are not written). Positions are written with six digits.
std::string LaidOutIndex(const std::vector<std::string>& layout, bool scrambled) {
  auto tokens = [](const std::string& line, const std::map<std::string, int64_t>* values) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
      const std::size_t close = line.find('}', i);
      if (line[i] == '{' && close != std::string::npos) {
        const std::string name = line.substr(i + 1, close - i - 1);
        char digits[16];
        std::snprintf(digits, sizeof digits, "%06lld",
                      values ? static_cast<long long>(values->at(name)) : 0LL);
        out += digits;
        i = close;
      } else {
        out += line[i] == '|' ? '\xA6' : line[i];
      }
    }
    return out;
  };
  std::map<std::string, int64_t> values;
  std::vector<std::string> lines;
  int64_t at = 0;
  for (const std::string& line : layout) {
    if (!line.empty() && line[0] == '=') {
      values[line.substr(1)] = at;
      continue;
    }
    if (lines.size() == 1) values["T"] = at;
    lines.push_back(line);
    at += static_cast<int64_t>(tokens(line, nullptr).size()) + 2;
  }
  if (lines.size() <= 1) values["T"] = at;
  std::vector<std::string> out;
  for (const std::string& line : lines) out.push_back(tokens(line, &values));
  return IndexText(out, scrambled);
}

// --- Byte transform ---------------------------------------------------------------------------

TEST(ByteTransform, FlipsEachByteWithTheShiftedKeyAndUndoesItself) {
  const std::string zeros(40, '\0');
  const std::string t = ByteTransform(zeros);
  EXPECT_EQ(static_cast<unsigned char>(t[0]), static_cast<unsigned char>(~kMediaByteKey & 0xFF));
  EXPECT_EQ(static_cast<unsigned char>(t[8]), static_cast<unsigned char>(~(kMediaByteKey >> 8)));
  EXPECT_EQ(static_cast<unsigned char>(t[20]), 0xFF);  // the key is shifted out entirely
  EXPECT_EQ(t[32], t[0]);                              // the shift starts again every 32 bytes

  std::string all;
  for (int i = 0; i < 1000; ++i) all.push_back(static_cast<char>(i * 37));
  EXPECT_EQ(ByteTransform(ByteTransform(all)), all);
  std::string pieces = all;
  ByteTransformInPlace(pieces.data(), 7, 0);
  ByteTransformInPlace(pieces.data() + 7, pieces.size() - 7, 7);
  EXPECT_EQ(pieces, ByteTransform(all));
}

TEST(ByteTransform, TransformsAWholeFileInPlace) {
  test::TempDir dir;
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes.push_back(static_cast<char>(i * 7 + i / 300));
  const std::string path = dir.Write("Audio.mp3", bytes);
  ASSERT_TRUE(ByteTransformFile(path));
  EXPECT_EQ(dir.Read("Audio.mp3"), ByteTransform(bytes));
  ASSERT_TRUE(ByteTransformFile(dir.Path() + "AUDIO.MP3"));  // found whatever the letter case
  EXPECT_EQ(dir.Read("Audio.mp3"), bytes);
  EXPECT_FALSE(ByteTransformFile(dir.Path() + "missing.mp3"));
}

// --- References -------------------------------------------------------------------------------

TEST(MediaReference, SplitsLibraryEntryKindAndFolder) {
  MediaReference r = ParseMediaReference(" Frausena01 ; AudioPhB\\FR\\L\\LE\\Le chat dort.mp3 ");
  EXPECT_EQ(r.library, "Frausena01");
  EXPECT_EQ(r.entry, "AudioPhB\\FR\\L\\LE\\Le chat dort.mp3");
  EXPECT_EQ(r.kind, "MP3");
  EXPECT_EQ(r.folder, "AudioPhB\\FR\\L\\LE");
  r = ParseMediaReference("Lib;picture.Jpg");
  EXPECT_EQ(r.kind, "JPG");
  EXPECT_EQ(r.folder, "");
  EXPECT_EQ(ParseMediaReference("Lib;noext").kind, "");

  for (const char* bad : {"", ".", "..", "a/b", "a\\b", "/abs", "x\ny"}) {
    EXPECT_FALSE(IsPlainLibraryName(bad)) << bad;
  }
  EXPECT_TRUE(IsPlainLibraryName("Frausena01"));
  EXPECT_TRUE(IsPlainLibraryName("..x"));
}

// --- Lookup -----------------------------------------------------------------------------------

class LookupTest : public ::testing::TestWithParam<bool> {
 protected:
  std::string Index(const std::vector<std::string>& layout) {
    return dir_.Write("Lib.Iid", LaidOutIndex(layout, GetParam()));
  }
  test::TempDir dir_;
};

TEST_P(LookupTest, MatchesFolderAndEntryPathsAsPrefixesFirstOneWins) {
  const bool scrambled = GetParam();
  const std::string index = Index({
      scrambled ? "#S|{T}|" : "#R|{T}|",
      "Audio junk without a separator",
      "Audio|{L0}|",
      "AudioPhB\\FRX|{L1}|",
      "AudioPhB\\FR|{L2}|",
      "",
      "=L0",
      "Audio\\cd.mp3 without a separator",
      "Audio\\ab.mp3x||11|5|",
      "Audio\\ab.mp3||99|9|",
      "Audio\\cd.mp3|note|1|2|",
      "Audio\\ef.mp3||||",
      "",
      "Audio\\late.mp3||3|3|",
      "=L1",
      "AudioPhB\\FRX\\a.mp3||3|4|",
      "AudioPhB\\FR\\b.mp3||5|6|",
      "",
      "=L2",
      "AudioPhB\\FR\\b.mp3||7|8|",
      "",
  });
  struct Case {
    const char* entry;
    int64_t position;  // -2: not found
    int64_t length;
  } cases[] = {
      {"Audio\\ab.mp3", 11, 5},        // the longer path written first wins
      {"Audio\\cd.mp3", 1, 2},         // the line without separator is passed over
      {"Audio\\ef.mp3", -1, -1},       // found, without a usable range
      {"AudioPhB\\FR\\b.mp3", 5, 6},   // the folder AudioPhB\FRX comes first and is taken
      {"AudioPhB\\FRX\\a.mp3", 3, 4},  //
      {"Audio\\late.mp3", -2, 0},      // after the empty line that ends the list
      {"Audio\\zz.mp3", -2, 0},        //
      {"Other\\a.mp3", -2, 0},         // no such folder
      {"", -2, 0},                     //
  };
  for (const Case& c : cases) {
    const std::optional<MediaEntry> e = LookupEntry(index, c.entry);
    if (c.position == -2) {
      EXPECT_FALSE(e) << c.entry;
      continue;
    }
    ASSERT_TRUE(e) << c.entry;
    EXPECT_EQ(e->position, c.position) << c.entry;
    EXPECT_EQ(e->length, c.length) << c.entry;
    EXPECT_EQ(e->scrambled, scrambled);
    EXPECT_EQ(e->ScrambledFlag(), scrambled ? "-1" : "0");
  }
}

TEST_P(LookupTest, ADamagedIndexFindsNothing) {
  const bool scrambled = GetParam();
  const std::string mark = scrambled ? "#S" : "#R";
  const std::vector<std::vector<std::string>> damaged = {
      {mark + "|", "Audio|{L0}|", "", "=L0", "Audio\\a.mp3||0|1|"},         // no table position
      {mark + "|999999|", "Audio|{L0}|", "", "=L0", "Audio\\a.mp3||0|1|"},  // past the end
      {mark + "|abc|", "Audio|{L0}|", "", "=L0", "Audio\\a.mp3||0|1|"},     // not a number
      {mark + "|{T}|", "Audio|999999|", "", "Audio\\a.mp3||0|1|"},          // list past the end
      {mark + "|{T}|", "Audio|-5|", "", "Audio\\a.mp3||0|1|"},              //
      {mark + "|{T}|", "Audio", "Audio\\a.mp3", "Audio\\a.mp3 0 1"},        // no separators
      {mark + "|{T}|", "", "=L0", "Audio|{L0}|", "Audio\\a.mp3||0|1|"},     // empty folder table
      {"no header at all", "Audio\\a.mp3"},
      {},
  };
  for (const auto& layout : damaged) {
    EXPECT_FALSE(LookupEntry(Index(layout), "Audio\\a.mp3")) << (layout.empty() ? "" : layout[0]);
  }
  // A line longer than the read window leaves no line break in it: no crash, nothing found.
  const std::string longLine = dir_.Write(
      "Long.Iid", IndexText({mark + kBar + "25" + kBar, std::string(600, 'A')}, scrambled));
  EXPECT_FALSE(LookupEntry(longLine, "Audio\\a.mp3"));
}

INSTANTIATE_TEST_SUITE_P(PlainAndScrambled, LookupTest, ::testing::Bool());

TEST(LookupEntry, AMissingIndexIsShownAndFindsNothing) {
  test::TempDir dir;
  ScriptedMessageBox box;
  EXPECT_FALSE(LookupEntry(dir.Path() + "none.Iid", "a.txt", &box));
  ASSERT_EQ(box.Shown().size(), 1u);
  EXPECT_EQ(box.Shown()[0].line1, kMediaNoIndexAccess);
}

TEST(LookupEntry, APlainMarkIsReadWithoutDescrambling) {
  // "#R|" anywhere in line 1 makes the index plain, whatever else the line holds.
  test::TempDir dir;
  const std::string index = dir.Write(
      "P.Iid", LaidOutIndex({"x#R|{T}|", "Pics|{L0}|", "", "=L0", "Pics\\a.jpg||4|2|"}, false));
  const std::optional<MediaEntry> e = LookupEntry(index, "Pics\\a.jpg");
  ASSERT_TRUE(e);
  EXPECT_FALSE(e->scrambled);
  EXPECT_EQ(e->position, 4);
}

// --- Writing libraries ------------------------------------------------------------------------

class BuilderTest : public ::testing::TestWithParam<bool> {};

TEST_P(BuilderTest, EveryEntryIsFoundAndComesBackUnchanged) {
  const bool scramble = GetParam();
  test::TempDir dir;
  const std::vector<MediaSourceEntry> sources = {
      {"A\\AB\\y.mp3", "second folder"},
      {"A\\A\\x.mp3x", "longer name"},
      {"A\\A\\x.mp3", "ID3 sound"},
      {"root.txt", "at the top\r\nof the library"},
      {"Pics\\p.png", std::string("\x89PNG\0\x01", 6)},
      {"Textes\\\xE9t\xE9.txt", "\xC9t\xE9 \xE0 la plage"},
  };
  const BuiltMediaLibrary built = BuildMediaLibrary(sources, scramble);
  EXPECT_EQ(built.entries, 6);
  EXPECT_EQ(built.folders, 5);
  WriteMediaLibrary(dir.Path() + "IBL/Lib.IBL", built);
  EXPECT_EQ(dir.Read("IBL/Lib.Iid"), built.index);
  EXPECT_EQ(built.index.find(std::string("#R") + kBar) != std::string::npos, !scramble);

  for (const MediaSourceEntry& s : sources) {
    const std::optional<MediaEntry> e = LookupEntry(dir.Path() + "IBL/Lib.Iid", s.path);
    ASSERT_TRUE(e) << s.path;
    EXPECT_EQ(e->scrambled, scramble);
    const std::string stored = built.data.substr(static_cast<std::size_t>(e->position),
                                                 static_cast<std::size_t>(e->length));
    const std::string kind = ParseMediaReference(";" + s.path).kind;
    EXPECT_EQ(stored, StoredTransformed(kind, scramble) ? ByteTransform(s.bytes) : s.bytes)
        << s.path;
    ExtractEntryTo(dir.Path() + "IBL", "Lib;" + s.path, dir.Path() + "out");
    EXPECT_EQ(dir.Read("out"), s.bytes) << s.path;
  }
  const std::vector<ListedEntry> listed = ListEntries(dir.Path() + "IBL/Lib.Iid");
  ASSERT_EQ(listed.size(), sources.size());
  EXPECT_EQ(listed.front().path, "root.txt");  // the top folder comes first
}

INSTANTIATE_TEST_SUITE_P(PlainAndScrambled, BuilderTest, ::testing::Bool());

TEST(BuildMediaLibrary, RefusesPathsTheIndexCannotHold) {
  const std::vector<std::vector<MediaSourceEntry>> bad = {
      {{"a.txt", "1"}, {"a.txt", "2"}},
      {{" a.txt", "1"}},
      {{"a\xA6"
        "b.txt",
        "1"}},
      {{"a\nb.txt", "1"}},
      {{"", "1"}},
      {{std::string(240, 'x') + ".mp3", "1"}},
  };
  for (const auto& entries : bad) {
    EXPECT_THROW(BuildMediaLibrary(entries, false), Error) << entries[0].path;
  }
  const BuiltMediaLibrary empty = BuildMediaLibrary({}, true);
  EXPECT_EQ(empty.entries, 0);
}

TEST(CollectMediaFolder, TakesEveryFileBelowTheFolderButHiddenOnes) {
  test::TempDir dir;
  dir.Write("src/a.txt", "a");
  dir.Write("src/Sub/Deeper/b.mp3", "b");
  dir.Write("src/.hidden", "h");
  dir.Write("src/.git/c.txt", "c");
  std::vector<MediaSourceEntry> entries = CollectMediaFolder(dir.Path() + "src/");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].path, "a.txt");
  EXPECT_EQ(entries[1].path, "Sub\\Deeper\\b.mp3");
  EXPECT_EQ(entries[1].bytes, "b");
  EXPECT_THROW(CollectMediaFolder(dir.Path() + "none"), Error);
}

// --- Delivery ---------------------------------------------------------------------------------

class FetchTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    media_ = tc_.ctx.folders.mediaDir;
    EnsureFolder(media_);
    WriteMediaLibrary(media_ + "Lib", BuildMediaLibrary(Sources(), GetParam()));
  }
  std::vector<MediaSourceEntry> Sources() const {
    return {
        {"Texts\\hello.txt", "Bonjour \xE0 tous"},
        {"Texts\\doc.rtf", "{\\rtf1 x}"},
        {"Pics\\p.jpg", test::EncodeJpeg(4, 3, test::TestPixels(4, 3))},
        {"Pics\\p.bmp", test::EncodeBmp24(3, 2, test::TestPixels(3, 2))},
        {"Pics\\bad.jpg", "not a picture"},
        {"Sounds\\s.mp3", "\xFF\xF3 sound bytes"},
        {"Sounds\\s.wav", "RIFF wave"},
        {"Other\\x.png", "png"},
    };
  }
  MediaFetch Fetch(const std::string& reference) { return FetchMedia(tc_.ctx, reference); }

  test::TestContext tc_;
  std::string media_;
};

TEST_P(FetchTest, DeliversEachKind) {
  MediaFetch f = Fetch("Lib;Texts\\hello.txt");
  ASSERT_EQ(f.kind, MediaFetch::Kind::Text);
  EXPECT_EQ(f.text, "Bonjour \xE0 tous");
  f = Fetch("Lib ; Texts\\doc.rtf ");
  ASSERT_EQ(f.kind, MediaFetch::Kind::Text);
  EXPECT_EQ(f.text, "{\\rtf1 x}");

  f = Fetch("Lib;Pics\\p.bmp");
  ASSERT_EQ(f.kind, MediaFetch::Kind::Picture);
  EXPECT_EQ(f.picture.width, 3);
  EXPECT_EQ(f.picture.height, 2);
  EXPECT_EQ(f.picture.rgb, test::TestPixels(3, 2));
  f = Fetch("Lib;Pics\\p.jpg");
  ASSERT_EQ(f.kind, MediaFetch::Kind::Picture);
  ASSERT_EQ(f.picture.width, 4);
  ASSERT_EQ(f.picture.height, 3);
  const std::string expected = test::TestPixels(4, 3);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(static_cast<unsigned char>(f.picture.rgb[i]),
                static_cast<unsigned char>(expected[i]), 12)
        << i;
  }
  EXPECT_FALSE(Fetch("Lib;Pics\\bad.jpg").ok());

  // Sounds are written as stored: the player undoes the byte transform.
  f = Fetch("Lib;Sounds\\s.mp3");
  ASSERT_EQ(f.kind, MediaFetch::Kind::Audio);
  EXPECT_EQ(f.audioPath, tc_.ctx.folders.tempDir + "Audio.MP3");
  std::string written;
  ASSERT_TRUE(ReadWholeFile(f.audioPath, written));
  EXPECT_EQ(written, ByteTransform("\xFF\xF3 sound bytes"));
  f = Fetch("Lib;Sounds\\s.wav");
  ASSERT_EQ(f.kind, MediaFetch::Kind::Audio);
  EXPECT_EQ(f.audioPath, tc_.ctx.folders.tempDir + "Audio.WAV");

  f = Fetch("Lib;Other\\x.png");
  EXPECT_EQ(f.kind, MediaFetch::Kind::Nothing);
  EXPECT_TRUE(f.ok());
  EXPECT_TRUE(tc_.msgBox.Shown().empty());
  EXPECT_EQ(tc_.status.last, "");
}

TEST_P(FetchTest, AMissingLibraryOrEntryIsReportedOnTheStatusLine) {
  EXPECT_FALSE(Fetch("None;Texts\\hello.txt").ok());
  EXPECT_EQ(tc_.status.last, kMediaNotInstalled);
  EXPECT_FALSE(tc_.status.lastFlash);
  EXPECT_FALSE(Fetch("Lib;Texts\\none.txt").ok());
  EXPECT_EQ(tc_.status.last, kMediaWrongIndex);
  EXPECT_TRUE(tc_.status.lastFlash);
  // Only the index missing is enough.
  RemoveFile(media_ + "Lib.Iid");
  EXPECT_FALSE(Fetch("Lib;Texts\\hello.txt").ok());
  EXPECT_EQ(tc_.status.last, kMediaNotInstalled);
}

TEST_P(FetchTest, ReferencesNeverLeaveTheMediaFolder) {
  // A complete library beside the media folder and one in a sub-folder of it: reachable only by
  // following a path, which a reference must never do.
  WriteMediaLibrary(tc_.ctx.folders.programDataRoot + "Outside",
                    BuildMediaLibrary(Sources(), GetParam()));
  WriteMediaLibrary(media_ + "Sub/Inner", BuildMediaLibrary(Sources(), GetParam()));
  const std::string outside = tc_.ctx.folders.programDataRoot + "Outside";
  for (const std::string& reference :
       std::vector<std::string>{"../Outside;Texts\\hello.txt", "..\\Outside;Texts\\hello.txt",
                                outside + ";Texts\\hello.txt", "Sub/Inner;Texts\\hello.txt",
                                "Sub\\Inner;Texts\\hello.txt", "..;Texts\\hello.txt",
                                ";Texts\\hello.txt", "Lib/../Lib;Texts\\hello.txt"}) {
    tc_.status.last.clear();
    EXPECT_FALSE(Fetch(reference).ok()) << reference;
    EXPECT_EQ(tc_.status.last, kMediaNotInstalled) << reference;
  }
  // The entry path is only a key of the index, never a file path.
  EXPECT_FALSE(Fetch("Lib;..\\..\\Outside.IBL").ok());
  EXPECT_EQ(tc_.status.last, kMediaWrongIndex);
}

INSTANTIATE_TEST_SUITE_P(PlainAndScrambled, FetchTest, ::testing::Bool());

TEST(FetchMedia, ABadByteRangeIsShownAndNothingIsDelivered) {
  test::TestContext tc;
  const std::string media = tc.ctx.folders.mediaDir;
  EnsureFolder(media);
  WriteFileAtomic(media + "Bad.IBL", std::string(100, 'x'));
  WriteFileAtomic(media + "Bad.Iid",
                  LaidOutIndex({"#R|{T}|", "F|{L0}|", "", "=L0",
                                "F\\far.txt||90|20|",            // reaches past the end
                                "F\\huge.txt||0|999999999999|",  // would be a huge allocation
                                "F\\far.rtf||200|1|",            //
                                "F\\far.jpg||90|20|",            //
                                "F\\nopos.bmp||||",              //
                                "F\\far.mp3||90|20|",            //
                                "F\\nopos.mp3|||5|",             //
                                "F\\edge.txt||100|0|", ""},
                               false));
  struct Case {
    const char* entry;
    std::string_view message;
    bool withPath;
  } cases[] = {
      {"F\\far.txt", kMediaEmptyPosition, false},
      {"F\\huge.txt", kMediaEmptyPosition, false},
      {"F\\far.rtf", kMediaEmptyPosition, false},
      {"F\\far.jpg", kMediaEmptyPicturePosition, true},
      {"F\\nopos.bmp", kMediaEmptyPicturePosition, true},
      {"F\\far.mp3", kMediaAudioStream, false},
      {"F\\nopos.mp3", kMediaEmptyPosition, false},
  };
  for (const Case& c : cases) {
    tc.msgBox.Clear();
    EXPECT_FALSE(FetchMedia(tc.ctx, std::string("Bad;") + c.entry).ok()) << c.entry;
    ASSERT_EQ(tc.msgBox.Shown().size(), 1u) << c.entry;
    EXPECT_EQ(tc.msgBox.Shown()[0].line1, c.message) << c.entry;
    if (c.withPath) {
      EXPECT_EQ(tc.msgBox.Shown()[0].line2, media + "Bad.IBL");
    }
  }
  EXPECT_FALSE(FileExists(TempAudioPath(tc.ctx, "MP3")));
  // An empty range at the very end is a valid, empty text.
  const MediaFetch edge = FetchMedia(tc.ctx, "Bad;F\\edge.txt");
  EXPECT_EQ(edge.kind, MediaFetch::Kind::Text);
  EXPECT_EQ(edge.text, "");
}

}  // namespace
}  // namespace quillo
