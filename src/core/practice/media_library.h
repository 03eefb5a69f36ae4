// Media libraries: pictures, texts and sounds that sheets show or play, kept in MediaDir as a data
// file ".IBL" (the entries one after the other) and an index ".Iid" mapping entry paths to byte
// ranges of the data file. A reference names a library and an entry: "Lib;Folder\Sub\name.jpg".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "practice/media_pictures.h"

namespace quillo {

struct Context;
class MessageBox;

// --- Messages -------------------------------------------------------------------------------

inline constexpr std::string_view kMediaNotInstalled = "er934: Module IBL not installed !";
inline constexpr std::string_view kMediaWrongIndex = "Error: Wrong IBL";
inline constexpr std::string_view kMediaNoIndexAccess =
    "Error:677 No access to File...in folder...!!!";
inline constexpr std::string_view kMediaEmptyPosition = "Error 0923874: Empty DB Position..";
inline constexpr std::string_view kMediaEmptyPicturePosition =
    "Error 0923873: Empty DB IBL Position.. or file not existe...";
inline constexpr std::string_view kMediaAudioStream = "Error:8934562 Audio stream...";

// --- Keys -----------------------------------------------------------------------------------

// The program's own key text of scrambled indexes (20 characters); the key digits are built from
// it with KeyDigitsFromText.
inline constexpr std::string_view kMediaIndexKeyText = "Tremsol*IBL/Key-2417";
std::string MediaIndexKeyDigits();

// The 16-bit key of the byte transform.
inline constexpr uint16_t kMediaByteKey = 0xB5A3;

// Byte i of an entry (counted from 0) becomes b XOR NOT(low byte of (K >> (i mod 32))). Applying
// it twice gives back the original bytes. firstIndex is the number of the first byte given, for
// transforming an entry piece by piece.
void ByteTransformInPlace(char* data, std::size_t size, uint64_t firstIndex = 0);
std::string ByteTransform(std::string_view bytes);
// Transforms a whole file; the file is replaced atomically (never left half transformed) and is
// read piece by piece, so its size does not matter. False when it cannot be read or written.
bool ByteTransformFile(std::string_view path);

// Whether the stored bytes of an entry of this kind pass the byte transform: sounds always, texts
// and pictures in a scrambled library, any other kind never.
bool StoredTransformed(std::string_view kind, bool scrambledLibrary);

// --- References -----------------------------------------------------------------------------

struct MediaReference {
  std::string library;  // trimmed text before the first ";"
  std::string entry;    // trimmed text after it: the entry path, "\"-separated
  std::string kind;     // upper-cased text after the entry path's last "."; empty without one
  std::string folder;   // the entry path up to (not including) its last "\"; empty without one
};
MediaReference ParseMediaReference(std::string_view reference);

// True when name can only name a file directly inside the media folder: not empty, not "." or
// "..", and without "/", "\" or control characters.
bool IsPlainLibraryName(std::string_view name);

// MediaDir + name + ".IBL" and + ".Iid".
std::string LibraryDataPath(std::string_view mediaDir, std::string_view library);
std::string LibraryIndexPath(std::string_view mediaDir, std::string_view library);

// --- Lookup ---------------------------------------------------------------------------------

// Longest index line read, CR LF included.
inline constexpr std::size_t kIndexLineWindow = 250;

struct MediaEntry {
  int64_t position = -1;  // byte range in the data file; -1 when the index field is empty or
  int64_t length = -1;    // not a decimal number
  bool scrambled = false;
  // "-1" for a scrambled index, "0" for a plain one.
  std::string ScrambledFlag() const { return scrambled ? "-1" : "0"; }
  bool HasRange() const { return position >= 0 && length >= 0; }
};

// Finds entryPath in the index: the folder table line whose folder field starts with the entry's
// folder leads to an entry list, in which the first line whose path field starts with entryPath
// is the entry (both scans end at an empty line or the end of the file). Lines without "¦" are
// not folder or entry lines and are passed over; a folder line without a usable position, an
// index without a folder-table position and an empty entry path find nothing. When the index
// does not exist, msgBox (if given) shows kMediaNoIndexAccess.
std::optional<MediaEntry> LookupEntry(std::string_view indexPath, std::string_view entryPath,
                                      MessageBox* msgBox = nullptr);

// Every entry the index lists, folder by folder in table order (for authors and checks).
struct ListedEntry {
  std::string path;
  MediaEntry entry;
};
std::vector<ListedEntry> ListEntries(std::string_view indexPath);

// The byte range of the data file, checked against its size; nothing when the file cannot be
// read, the range reaches past its end or it is larger than maxBytes.
std::optional<std::string> ReadDataRange(std::string_view dataPath, int64_t position,
                                         int64_t length, int64_t maxBytes);

// Writes the entry's original bytes (the stored bytes with the byte transform undone where the
// library stores it) to target, replacing it atomically; for authors' tools. The library must lie
// in mediaDir, as for FetchMedia. Throws Error naming what failed.
void ExtractEntryTo(std::string_view mediaDir, std::string_view reference, std::string_view target);

// --- Delivery -------------------------------------------------------------------------------

// Largest text or picture entry read into memory.
inline constexpr int64_t kMaxMediaInMemory = 64LL * 1024 * 1024;

struct MediaFetch {
  enum class Kind : uint8_t {
    Failed,   // nothing delivered; the reason was reported
    Text,     // "TXT" and "RTF": text to insert at the caret
    Picture,  // "BMP" and "JPG": a decoded 24-bit picture to insert at the caret
    Audio,    // "WAV" and "MP3": the stored bytes were written to audioPath
    Nothing,  // any other kind: nothing to deliver, which is not a failure
  };
  Kind kind = Kind::Failed;
  std::string text;
  Picture24 picture;
  std::string audioPath;
  bool ok() const { return kind != Kind::Failed; }
};

// TempDir + "Audio." + kind: where a sound entry is written.
std::string TempAudioPath(const Context& ctx, std::string_view kind);

// Looks the reference up in ctx.folders.mediaDir and delivers the entry. Reports through the
// context: a missing library, or a library name that is not a plain file name, puts
// kMediaNotInstalled on the status line; an entry not found flashes kMediaWrongIndex; a bad
// byte range and a failed copy are shown in a message box. A sound is written as stored (the
// player undoes the byte transform); texts and pictures come back with it undone. A picture that
// cannot be decoded is a failure without a message. The sheet view's media fetcher calls it for
// every "#InsImg_" picture tag.
MediaFetch FetchMedia(Context& ctx, std::string_view reference);

}  // namespace quillo
