// What the practice window adds for language sheets: the options a sheet's option text turns on,
// the answer list of the value picker, the sentence list behind the play button, the audio
// reference of a sentence, and the state of the sentence player window.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillo {

struct Context;
class PracticeEditor;

inline constexpr std::string_view kSentenceNoAudio = "er935: Sentence or Audio not exist!";

// --- Option text ----------------------------------------------------------------------------

// The sheet's option text (header field 3), read by position when it has at least 8 characters;
// a shorter text switches every option off.
struct SentenceOptions {
  bool sentencePractice = false;  // characters 1-2 "Sp": the play button is offered
  bool keyboard = false;          // characters 3-4 "Ph": the keyboard button is shown
  bool answerList = false;        // character 5 "A": the answer list is prepared
};
SentenceOptions ReadSentenceOptions(std::string_view optionText);

// Fills the editor's answer list with every expected answer of the open sheet (sorted, without
// duplicates) when the setting "Get result by mouse click" is on and the option text asks for
// it; otherwise empties it. True when the list was filled.
bool PrepareAnswerList(PracticeEditor& editor, std::string_view optionText,
                       bool allResultMouseClick);

// --- Sentence list --------------------------------------------------------------------------

struct SentenceList {
  bool showPlayButton = false;  // the play panel and its button are shown
  std::vector<std::string>
      entries;  // one per line of the sheet view, e.g. "FR: \xA6 Le chat dort."
};

// Builds the sentence list of a sheet when the option text asks for sentence practice and the
// setting "Play Phrase" is on; otherwise the list is empty and no play button is shown. Tags that
// break lines give line breaks, the language labels become "FR: \xA6" (and "DE: ", "EN: "),
// every other tag, the braces and runs of spaces go. A question line that is empty is left out,
// as the sheet view shows no line for it.
SentenceList PrepareSentences(const std::vector<std::string>& questionLines,
                              std::string_view optionText, bool playSetting);

// --- Audio reference ------------------------------------------------------------------------

// The sentence as the player shows it: bracketed parts ("(", "[", "{") removed with their
// brackets, no spaces around "'", "\x92" and "-", runs of spaces made single, trimmed.
std::string NormaliseSentence(std::string_view sentence);

// "\xE0" to "\xF6" become their capitals by subtracting 32, ASCII letters their capitals; every
// other character stays.
char CapitaliseAudioChar(char ch);

// The media library of a language label ("FR", "DE", "EN"); empty for any other label.
std::string SentenceLibrary(std::string_view label);

struct SentenceAudio {
  std::string label;      // "FR", "DE", "EN"
  std::string shown;      // the normalised sentence
  std::string name;       // shown without punctuation, trimmed: names the audio entry
  std::string compact;    // the name's first 6 characters without spaces, "'", "\x92" and "-"
  std::string c1;         // the compact form's first character, capitalised
  std::string c2;         // its first two characters, capitalised
  std::string entry;      // "AudioPhB\" label "\" c1 "\" c2 "\" name ".mp3"
  std::string reference;  // library ";" entry
};
SentenceAudio MakeSentenceAudio(std::string_view label, std::string_view sentence);

// The label and sentence of an entry of the sentence list: field 1 trimmed without ":", field 2
// trimmed. Nothing when the entry has no sentence (a heading, a separator line).
struct SentenceEntry {
  std::string label;
  std::string sentence;
};
std::optional<SentenceEntry> ReadSentenceEntry(std::string_view entry);

// --- Playing a sentence ---------------------------------------------------------------------

struct SentencePlay {
  SentenceAudio audio;
  // The text the player window gets: the normalised sentence, or "#" and the sentence when its
  // audio could not be fetched (the window then offers no play and no eyes button).
  std::string text;
  // The temporary audio file, empty without audio. It holds the sound in its stored form: the
  // player runs ByteTransformFile on it before playing and again after.
  std::string audioPath;
};

// The play button: the entry of the caret's line (0-based) is looked up and its audio fetched to
// the temporary audio file. Nothing when the line has no sentence. Without audio, status line
// shows kSentenceNoAudio (after the media library's own report). A temporary audio file left from
// an earlier sentence is removed first, so it can never be played for this one.
std::optional<SentencePlay> PlaySentence(Context& ctx, const std::vector<std::string>& entries,
                                         int caretLine);

// After the player window closed: the temporary audio file is deleted, the status line cleared.
void EndSentencePlay(Context& ctx, const SentencePlay& play);

// The player window's width for a sentence whose text is textWidth pixels wide (Tahoma, 24
// pixels high): 60 more, at least 130.
int SentencePlayerWidth(int textWidth);

// The state of the sentence player window.
class SentencePlayerView {
 public:
  // hideSentence: the setting "Hide sentence" (the sentence can never be revealed).
  SentencePlayerView(std::string text, bool hideSentence);

  bool NoAudio() const { return noAudio_; }  // the text starts with "#"
  bool PlayEnabled() const { return !noAudio_ && !playing_; }
  bool EyesEnabled() const { return !noAudio_ && !playing_; }
  bool CloseEnabled() const { return !playing_; }
  // The text drawn: one "*" per character while hidden, the sentence when revealed, the "#" text
  // when there is no audio.
  std::string ShownText() const;
  // The picture of the eyes button: 1 with "Hide sentence", else 0 hidden and 1 revealed.
  int EyesPicture() const { return hide_ || revealed_ ? 1 : 0; }
  // The eyes button toggles between stars and sentence; with "Hide sentence" it does nothing.
  void PressEyes();

  // Play pressed: the buttons are disabled until the pause after the end is over.
  void StartPlaying();
  // The number of leading characters highlighted at a play position (same unit as the length):
  // round(L * position / length) + 6, at most L, with L the length of the shown text.
  int Highlight(double position, double length);
  int Highlighted() const { return highlighted_; }
  // The highlight has reached the end: the window releases the player, stores the audio file
  // back in its stored form and pauses one second before EndPause.
  bool ReachedEnd() const { return playing_ && highlighted_ >= Length(); }
  // The pause is over: no highlight, the buttons are enabled again.
  void EndPause();
  bool Playing() const { return playing_; }

 private:
  std::string text_;
  bool hide_;
  bool noAudio_;
  bool revealed_ = false;
  bool playing_ = false;
  int highlighted_ = 0;
  int Length() const { return static_cast<int>(text_.size()); }
};

// --- Sentences of a book ---------------------------------------------------------------------

// The sentences a pupil can see for a sentence exercise line of a book ("STB": heading;French;
// German;English), one per non-empty language column, in the form the player looks them up:
// the line is prepared as generation prepares it and the sheet's sentence list shows it.
// `spoken` is the text to read aloud: the column with its bracketed parts removed and spaced as
// the player shows it ("\x9C" kept).
struct BookSentence {
  SentenceAudio audio;
  std::string spoken;
};
std::vector<BookSentence> SentencesOfExerciseLine(std::string_view templateLine);

// The exercise lines (templates) of the sentence titles ("spcode: STB") of a book source (UTF-8,
// as authors write it), in source order, in Windows-1252. The source is not checked: build it to
// know it is sound.
std::vector<std::string> SentenceLinesOfBookSource(std::string_view source);

}  // namespace quillo
