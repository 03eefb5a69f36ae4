#include "practice/sentences.h"

#include <algorithm>
#include <cmath>

#include "engine/text_toolkit.h"
#include "practice/media_library.h"
#include "practice/practice_editor.h"
#include "shell/codec.h"
#include "shell/context.h"
#include "shell/file_utils.h"

namespace quillo {
namespace {

constexpr char kSep[] = "\xA6";
constexpr const char* kLabels[] = {"FR: ", "DE: ", "EN: "};

bool IsJoiner(char ch) { return ch == '\'' || ch == '\x92' || ch == '-'; }

// Every stretch from "#" to the next "$" removed; a "#" with no "$" after it stays.
std::string RemoveTags(std::string_view text) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '#') {
      const std::size_t end = text.find('$', i + 1);
      if (end != std::string_view::npos) {
        i = end + 1;
        continue;
      }
    }
    out.push_back(text[i++]);
  }
  return out;
}

std::vector<std::string> SplitAtLineBreaks(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

std::string Capitalised(std::string_view text) {
  std::string out(text);
  for (char& ch : out) ch = CapitaliseAudioChar(ch);
  return out;
}

void RemoveTempAudio(Context& ctx) {
  // Names differing in letter case are one file to the program: remove each of them.
  for (int i = 0; i < 4 && FileExists(TempAudioPath(ctx, "mp3")); ++i) {
    RemoveFile(TempAudioPath(ctx, "mp3"));
  }
}

}  // namespace

// --- Option text ----------------------------------------------------------------------------

SentenceOptions ReadSentenceOptions(std::string_view optionText) {
  SentenceOptions o;
  if (optionText.size() < 8) return o;
  o.sentencePractice = optionText.substr(0, 2) == "Sp";
  o.keyboard = optionText.substr(2, 2) == "Ph";
  o.answerList = optionText[4] == 'A';
  return o;
}

bool PrepareAnswerList(PracticeEditor& editor, std::string_view optionText,
                       bool allResultMouseClick) {
  std::vector<std::string> answers;
  const bool wanted = allResultMouseClick && ReadSentenceOptions(optionText).answerList;
  if (wanted) {
    for (const TG_EdRTrue& e : editor.ExpectedAnswers()) answers.push_back(e.Expected);
  }
  editor.SetAnswerList(std::move(answers));
  return wanted;
}

// --- Sentence list --------------------------------------------------------------------------

SentenceList PrepareSentences(const std::vector<std::string>& questionLines,
                              std::string_view optionText, bool playSetting) {
  SentenceList list;
  if (!playSetting || !ReadSentenceOptions(optionText).sentencePractice) return list;
  list.showPlayButton = true;
  std::string text;
  bool first = true;
  for (const std::string& line : questionLines) {
    if (line.empty()) continue;
    if (!first) text += '\n';
    text += line;
    first = false;
  }
  text = ReplaceAll(text, "#Ch13$", "#Ch13$\n");
  text = ReplaceAll(text, "#EndLig$", "#Ch13$\n");
  for (const char* label : kLabels) {
    text = ReplaceAll(text, std::string("#FoPur_") + label + "$", std::string(label) + kSep);
  }
  text = RemoveTags(text);
  text = ReplaceAll(ReplaceAll(text, "{", ""), "}", "");
  text = SqueezeChar(text, ' ');
  list.entries = SplitAtLineBreaks(text);
  return list;
}

// --- Audio reference ------------------------------------------------------------------------

std::string NormaliseSentence(std::string_view sentence) {
  const std::string grouped = RemoveGroups(sentence, "([{", ")]}");
  std::string out;
  bool afterJoiner = false;
  for (char ch : grouped) {
    if (IsJoiner(ch)) {
      while (!out.empty() && out.back() == ' ') out.pop_back();
      out.push_back(ch);
      afterJoiner = true;
    } else if (ch == ' ' && afterJoiner) {
      // spaces after a joiner are dropped
    } else {
      out.push_back(ch);
      afterJoiner = false;
    }
  }
  return Trim(SqueezeChar(out, ' '));
}

char CapitaliseAudioChar(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  if (c >= 0xE0 && c <= 0xF6) return static_cast<char>(c - 32);
  if (ch >= 'a' && ch <= 'z') return static_cast<char>(ch - 'a' + 'A');
  return ch;
}

std::string SentenceLibrary(std::string_view label) {
  if (label == "FR") return "Frausena01";
  if (label == "DE") return "Deausena01";
  if (label == "EN") return "Enausena01";
  return "";
}

SentenceAudio MakeSentenceAudio(std::string_view label, std::string_view sentence) {
  SentenceAudio a;
  a.label = std::string(label);
  a.shown = NormaliseSentence(sentence);
  a.name = Trim(RemovePunctuation(a.shown));
  for (char ch : a.name.substr(0, 6)) {
    if (ch != ' ' && !IsJoiner(ch)) a.compact.push_back(ch);
  }
  a.c1 = Capitalised(a.compact.substr(0, 1));
  a.c2 = Capitalised(a.compact.substr(0, 2));
  a.entry = "AudioPhB\\" + a.label + "\\" + a.c1 + "\\" + a.c2 + "\\" + a.name + ".mp3";
  a.reference = SentenceLibrary(a.label) + ";" + a.entry;
  return a;
}

std::optional<SentenceEntry> ReadSentenceEntry(std::string_view entry) {
  SentenceEntry e;
  e.sentence = Trim(GetField(entry, kSep, 2));
  if (e.sentence.empty()) return std::nullopt;
  e.label = ReplaceAll(Trim(GetField(entry, kSep, 1)), ":", "");
  return e;
}

// --- Playing a sentence ---------------------------------------------------------------------

std::optional<SentencePlay> PlaySentence(Context& ctx, const std::vector<std::string>& entries,
                                         int caretLine) {
  if (caretLine < 0 || static_cast<std::size_t>(caretLine) >= entries.size()) return std::nullopt;
  const std::optional<SentenceEntry> entry =
      ReadSentenceEntry(entries[static_cast<std::size_t>(caretLine)]);
  if (!entry) return std::nullopt;
  SentencePlay play;
  play.audio = MakeSentenceAudio(entry->label, entry->sentence);
  play.text = play.audio.shown;
  RemoveTempAudio(ctx);
  const MediaFetch fetched = FetchMedia(ctx, play.audio.reference);
  if (fetched.kind == MediaFetch::Kind::Audio) {
    play.audioPath = fetched.audioPath;
  } else {
    play.text = "#" + play.text;
    if (ctx.status) ctx.status->StatusMessage(std::string(kSentenceNoAudio), false);
  }
  return play;
}

void EndSentencePlay(Context& ctx, const SentencePlay& play) {
  if (!play.audioPath.empty()) RemoveFile(play.audioPath);
  if (ctx.status) ctx.status->StatusMessage("", false);
}

int SentencePlayerWidth(int textWidth) { return std::max(130, textWidth + 60); }

SentencePlayerView::SentencePlayerView(std::string text, bool hideSentence)
    : text_(std::move(text)), hide_(hideSentence), noAudio_(!text_.empty() && text_[0] == '#') {}

std::string SentencePlayerView::ShownText() const {
  if (noAudio_ || revealed_) return text_;
  return std::string(text_.size(), '*');
}

void SentencePlayerView::PressEyes() {
  if (hide_ || !EyesEnabled()) return;
  revealed_ = !revealed_;
}

void SentencePlayerView::StartPlaying() {
  if (!PlayEnabled()) return;
  playing_ = true;
  highlighted_ = 0;
}

int SentencePlayerView::Highlight(double position, double length) {
  if (!playing_) return highlighted_;
  const double share = length > 0 ? Length() * position / length : 0;
  const double count = std::round(std::max(0.0, share)) + 6;
  highlighted_ = static_cast<int>(std::min<double>(count, Length()));
  return highlighted_;
}

void SentencePlayerView::EndPause() {
  playing_ = false;
  highlighted_ = 0;
}

// --- Sentences of a book ---------------------------------------------------------------------

std::vector<BookSentence> SentencesOfExerciseLine(std::string_view templateLine) {
  // The preparation of a sentence line for a sheet: "oe" for the ligature, spaces around the
  // joiners, every word an answer field, bracketed parts in grey.
  std::string t = ReplaceAll(templateLine, "\x9C", "oe");
  for (char joiner : {'\'', '\x92', '-'}) t = SpaceAround(t, joiner, " ");
  t = WrapWords(t, true, 1);
  t = ReplaceAll(t, "(", "#FoGra_(");
  t = ReplaceAll(t, ")", ")$");
  t = ReplaceAll(t, "[", "#FoGra_[");
  t = ReplaceAll(t, "]", "]$");
  // Each language column as the sheet shows it behind its label, whichever columns the pupil's
  // settings choose; the hints before the fields are tags and leave no trace in the list.
  std::vector<BookSentence> out;
  for (int k = 1; k <= 3; ++k) {
    const std::string column = Trim(GetField(t, ";", k + 1));
    if (column.empty()) continue;
    const std::string line = std::string("#FoPur_") + kLabels[k - 1] + "$ " + column + "#EndLig$";
    const SentenceList list = PrepareSentences({line}, "Sp000000", true);
    for (const std::string& entry : list.entries) {
      const std::optional<SentenceEntry> e = ReadSentenceEntry(entry);
      if (e) {
        out.push_back({MakeSentenceAudio(e->label, e->sentence),
                       NormaliseSentence(GetField(templateLine, ";", k + 1))});
      }
    }
  }
  return out;
}

std::vector<std::string> SentenceLinesOfBookSource(std::string_view source) {
  std::vector<std::string> lines;
  std::vector<std::string> titleLines;
  bool sentences = false;
  auto endTitle = [&] {
    if (sentences) lines.insert(lines.end(), titleLines.begin(), titleLines.end());
    titleLines.clear();
    sentences = false;
  };
  for (std::string raw : SplitLines(source)) {
    if (raw.compare(0, 3, "\xEF\xBB\xBF") == 0) raw.erase(0, 3);
    const std::size_t indent = raw.find_first_not_of(" \t");
    const std::string line = Utf8ToCp1252(indent == std::string::npos ? "" : raw.substr(indent));
    const std::string lower = LowerCaseAscii(line);
    if (lower.compare(0, 5, "title") == 0 || lower.compare(0, 6, "level ") == 0) {
      endTitle();
    } else if (line.compare(0, 2, ">>") == 0) {
      std::string whole = line.substr(2);
      if (!whole.empty() && whole[0] == ' ') whole.erase(0, 1);
      titleLines.push_back(GetField(whole, kSep, 2));
    } else if (line.compare(0, 1, ">") == 0) {
      std::string text = line.substr(1);
      if (!text.empty() && text[0] == ' ') text.erase(0, 1);
      titleLines.push_back(text);
    } else if (lower.compare(0, 7, "spcode:") == 0) {
      sentences = Trim(line.substr(7)) == "STB";
    }
  }
  endTitle();
  return lines;
}

}  // namespace quillo
