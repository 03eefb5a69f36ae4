// Rendering of a practice sheet's question lines into the editor's documents: tags, pictures,
// answer fields with their glyphs and invisible delimiters, and the list of expected answers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "practice/sheet_document.h"

namespace quillo {

class TraceLog;

// One expected answer of an open sheet.
struct TG_EdRTrue {
  uint32_t FaultCount = 0;  // distinct wrong answers recorded for the field
  uint8_t AnswerShown = 0;  // 1 once the expected answer has been shown beside the field
  std::string Expected;     // the text between the braces, surrounding spaces removed
};

// The trace line written when a picture tag could not be turned into a picture.
inline constexpr std::string_view kPictureFailedTrace =
    "Error ClipA0345,..Clipboard does not contain a bitmap::!";

// What the view made of a picture request.
struct PictureOutcome {
  enum class Kind : uint8_t {
    Picture,  // a picture was made; `handle` is the view's id for it
    Text,     // the request gave text (a text entry of a media library): `text` is inserted
    Nothing,  // nothing to show (a sound entry, an unknown kind); not an error
    Failed,   // no picture could be produced: nothing is inserted and the failure is traced
  };
  Kind kind = Kind::Failed;
  int handle = -1;
  std::string text;
};

// Implemented by the view (drawn fractions through the drawing library, media through the media
// libraries); asked once per picture tag, in text order, while the sheet is rendered.
class PictureResolver {
 public:
  virtual ~PictureResolver() = default;
  virtual PictureOutcome Resolve(const PictureRequest& request) = 0;
};

struct RenderedSheet {
  // The sheet view: every field holds two spaces and its four marks have the field background.
  SheetDocument sheet;
  // The log view's copy, taken before the backgrounds and the spaces: every field is empty.
  SheetDocument log;
  std::vector<TG_EdRTrue> expected;
  // Just after the first field's opening delimiter; 0 on a sheet without fields.
  int caret = 0;
};

// Renders the question lines. Without a resolver every picture tag stays in the documents as an
// unresolved picture position (its request kept); with one, the outcome decides. The trace
// receives kPictureFailedTrace for every failed picture when it is given (and on).
RenderedSheet RenderQuestionLines(const std::vector<std::string>& lines,
                                  PictureResolver* resolver = nullptr, TraceLog* trace = nullptr);

// The expected answers a question line gives, one per answer field in order: the trimmed
// contents of every "{" whose next brace is a "}". A "{" followed by another "{" (or by nothing)
// and a "}" that closes nothing are ordinary characters, not fields.
std::vector<std::string> LineAnswers(std::string_view line);

}  // namespace quillo
