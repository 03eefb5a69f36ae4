// Question generation: turns title records of a book into one practice sheet. For each checked
// title, exercise lines are drawn at random, each drawn template line becomes a question
// according to the title's SpCode (expanded templates, drawn fraction blocks, vocabulary and
// sentence lines, letter hints), titles sharing a merge letter are mixed into one group, and the
// sheet is written scrambled or plain as its book is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "books/book_files.h"

namespace quillo {

struct Context;
class RandomSource;

// The question of a template that never expanded to a non-empty text.
inline constexpr std::string_view kExprEmpty = "Er:ExprEmpty:784:";

// The settings the generator reads, by their settings keys.
struct GenerationSettings {
  bool ascending = false;       // "RB_PoseQstNonMelanger": a title's questions in line order
  int modeStar = 3;             // "UpDo_iModeStar": letter-hint mode, 0 no hints
  bool clozeTests = true;       // "Cb_Langs_ClozeTests": sentence blanks partly given back
  int lookAt1 = 2;              // "UpD_Lang_ToLookAt1": first shown column (0 none)
  int tryLookAt2 = 0;           // "UpD_Lang_TryToLookAt2": second shown column (0 none)
  int fillIn3 = 1;              // "UpD_Lang_ToFillIn3": column to fill in
  bool showLookAt1 = false;     // "cb_Lang_ToLookAt1": first column as answer fields too
  bool showTryLookAt2 = false;  // "cb_Lang_TryToLookAt2": second column as answer fields too
};
GenerationSettings ReadGenerationSettings(const Context& ctx);

// Where a sheet goes and what it is made from.
struct SheetTarget {
  std::string sheetPath;  // the ".QST" to write
  std::string bookPath;   // the book the titles come from
  std::string bookTitle;  // line 3 of the sheet (the job's book title)
  std::string levelName;  // line 3 of the sheet (the job's level name)
  std::string user;       // whose "LastuFile.ini" records the sheet; empty: not recorded
};

struct SheetResult {
  int questions = 0;     // non-empty questions written
  bool written = false;  // the sheet file was (re)written
};

// Generates one sheet from the titles (only the checked ones take part). The settings come
// from the context. Nothing is written when a checked title has an empty Location (trace
// "Error: 3973: ..."), when the sheet would have fewer than two lines, or when an error is
// thrown (template conversion and arithmetic errors, an unreadable book, a Quantity or
// LineCount that is not a number): an existing sheet then keeps its content. A sheet written
// is recorded as "Nom 2" of [Last Input] in the user's "LastuFile.ini".
SheetResult GenerateSheet(Context& ctx, const SheetTarget& target, std::string_view modeLetter,
                          int requestedTotal, const std::vector<TdBaseJob>& titles);

// Builds the titles from record lines of a job (mode "s") or of a progress file (mode "p") and
// generates the sheet. Mode "s": quantity, line count and merge letter from the records (an empty
// quantity or line count sets both to "1"), the total is the sum of the quantities. Mode "p":
// every title gets the merge letter given; titles with SpCode "", "LO1" or "LO2" get the
// per-title quantity but at most their line count, the others that quantity as quantity and
// line count; the total is the per-title quantity.
SheetResult GenerateFromLines(Context& ctx, const SheetTarget& target, std::string_view mode,
                              std::string_view mergeLetter,
                              const std::vector<std::string>& recordLines, int perTitleQuantity);

// Makes a sheet again from the job saved beside it (same path, ".JOB"), after the job's version
// check; the book is BooksDir + the job's folder name + ".IDX". When the book header cannot be
// read nothing happens; when there is no usable job the box "Info" says "There is no query saved
// for practice !". written is false in both cases.
SheetResult RegenerateFromJob(Context& ctx, std::string_view sheetPath, std::string_view user);

// --- The steps, for the callers that need them and for tests ---------------------------------

// Line numbers 1..count shuffled (each position swapped with a partner drawn from 0..count-2),
// the first quantity of them; filled up with 0 when quantity exceeds count. Seeds the random
// source from the clock first.
std::vector<int> DrawExercises(RandomSource& random, int count, int quantity);

// Distinct expansions of a template in sorted order, aiming at n + 1 of them within an attempt
// budget of n + 1100 expansions; a template whose expansion cannot vary is expanded once. When
// nothing came out, the single entry "Er:ExprEmpty:784:" and the trace line
// "Error:ExprEmpty:784:" + template. Errors of the template engine are thrown unchanged.
std::vector<std::string> ExpandTemplate(RandomSource& random, TraceLog& trace, int n,
                                        std::string_view templateLine);

// The sorting order of ExpandTemplate: letters compared without accents and case first, then
// lower case before upper case, then byte by byte; symbols before digits before letters.
bool CollateLess(std::string_view a, std::string_view b);

// A hint for an answer: the mask of each word followed by a space. Mode 2 shows one letter,
// 3 shows 1 to 4 letters by word length, 4 hides one letter, any other mode hides all. An empty
// word (two spaces in a row) gives "Error Ws6220".
std::string MaskAnswer(RandomSource& random, std::string_view answer, int mode);

// Puts "#FoPur_ [" hint "] $ " before every answer field "{...}" of the text; mode 0 leaves the
// text unchanged.
std::string AddHints(RandomSource& random, std::string_view text, int mode);

// A vocabulary line "heading;French;German;English" shown in the chosen columns with the column
// to fill in as answer fields. Type "A" books get no hints.
std::string BuildLanguageLine(RandomSource& random, std::string_view line,
                              const GenerationSettings& settings, bool typeA);

// Gives some blanks of each language column of a sentence line back as text: 2, 3 or 4 of them
// for 3-5, 6-8 or more blanks.
std::string ClozeReduce(RandomSource& random, std::string_view line);

// A sentence line prepared for "STB": every word a blank, some given back (with clozeTests),
// bracketed parts in grey.
std::string PrepareSentence(RandomSource& random, std::string_view line, bool clozeTests);

}  // namespace quillo
