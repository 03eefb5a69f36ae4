#include "practice/media_library.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <random>

#include "books/scramble.h"
#include "engine/text_toolkit.h"
#include "shell/context.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo {
namespace {

constexpr char kSep[] = "\xA6";

void Status(Context& ctx, std::string_view text, bool flash) {
  if (ctx.status) ctx.status->StatusMessage(std::string(text), flash);
}

void Show(Context& ctx, std::string_view text, const std::string& detail = "") {
  if (ctx.msgBox) ctx.msgBox->Warn("", std::string(text), detail);
}

// A decimal number of an index field (spaces around it allowed); -1 for anything else.
int64_t ParseNumber(std::string_view field) {
  const std::string t = Trim(field);
  if (t.empty() || t.size() > 18 || !IsDigitsOnly(t)) return -1;
  return std::stoll(t);
}

// Reads the lines of an index from byte positions, unscrambling them when the index is scrambled.
class IndexReader {
 public:
  explicit IndexReader(std::string_view path) : in_(SystemPath(path), std::ios::binary) {}
  bool Open() const { return in_.is_open(); }
  void SetScrambled(bool scrambled) {
    scrambled_ = scrambled;
    if (scrambled) key_ = MediaIndexKeyDigits();
  }
  bool Scrambled() const { return scrambled_; }

  // The line at pos: the bytes up to the first CR LF of a window of kIndexLineWindow bytes (all
  // of them when it holds none). False at the end of the file.
  bool LineAt(int64_t pos, std::string& text, int64_t& next) {
    char buffer[kIndexLineWindow];
    in_.clear();
    in_.seekg(pos);
    if (!in_) return false;
    in_.read(buffer, sizeof buffer);
    const auto got = static_cast<std::size_t>(in_.gcount());
    if (got == 0) return false;
    const std::string_view window(buffer, got);
    const std::size_t end = window.find("\r\n");
    if (end == std::string_view::npos) {
      text.assign(window);
      next = pos + static_cast<int64_t>(got);
    } else {
      text.assign(window.substr(0, end));
      next = pos + static_cast<int64_t>(end) + 2;
    }
    if (scrambled_) text = UnscrambleLine(text, true, key_);
    return true;
  }

 private:
  std::ifstream in_;
  bool scrambled_ = false;
  std::string key_;
};

// Opens the index and reads its header: the plain/scrambled decision and the folder table's
// position (-1 when the header gives none).
int64_t ReadHeader(IndexReader& reader) {
  std::string line;
  int64_t next = 0;
  if (!reader.LineAt(0, line, next)) return -1;
  reader.SetScrambled(line.find("#R" + std::string(kSep)) == std::string::npos);
  if (reader.Scrambled()) line = UnscrambleLine(line, true, MediaIndexKeyDigits());
  return ParseNumber(GetField(line, kSep, 2));
}

// The folder table's line for folder: the position of its entry list, -1 when none.
int64_t FindFolder(IndexReader& reader, int64_t pos, std::string_view folder) {
  std::string line;
  int64_t next = 0;
  while (reader.LineAt(pos, line, next) && !line.empty()) {
    pos = next;
    if (line.find(kSep) == std::string::npos) continue;
    if (StartsWith(GetField(line, kSep, 1), folder)) return ParseNumber(GetField(line, kSep, 2));
  }
  return -1;
}

MediaEntry EntryOfLine(const std::string& line, bool scrambled) {
  MediaEntry e;
  e.position = ParseNumber(GetField(line, kSep, 3));
  e.length = ParseNumber(GetField(line, kSep, 4));
  e.scrambled = scrambled;
  return e;
}

// Opens a file for writing beside target under a temporary name; renamed over target by Commit.
class AtomicOut {
 public:
  explicit AtomicOut(std::string_view target) : target_(SystemPath(target)) {
    static thread_local std::mt19937_64 rng(std::random_device{}());
    tmp_ = GetFolderPart(target_) + "." + FileNameOf(target_) + ".tmp" +
           std::to_string(rng() % 1000000000);
    fd_ = ::open(tmp_.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  }
  ~AtomicOut() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(tmp_.c_str());
  }
  AtomicOut(const AtomicOut&) = delete;
  AtomicOut& operator=(const AtomicOut&) = delete;

  bool Write(const char* p, std::size_t left) {
    if (fd_ < 0) return false;
    while (left > 0) {
      ssize_t n = ::write(fd_, p, left);
      if (n < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      p += n;
      left -= static_cast<std::size_t>(n);
    }
    return true;
  }
  bool Commit() {
    if (fd_ < 0) return false;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return false;
    if (::rename(tmp_.c_str(), target_.c_str()) != 0) return false;
    committed_ = true;
    return true;
  }

 private:
  std::string target_;
  std::string tmp_;
  int fd_ = -1;
  bool committed_ = false;
};

// Copies length bytes from position of source to target (replaced atomically), optionally
// through the byte transform; piece by piece, so the length never decides an allocation.
bool CopyRange(std::string_view source, int64_t position, int64_t length, std::string_view target,
               bool transform) {
  const int64_t size = FileSizeOf(source);
  if (size < 0 || position < 0 || length < 0 || position > size || length > size - position) {
    return false;
  }
  std::ifstream in(SystemPath(source), std::ios::binary);
  if (!in) return false;
  in.seekg(position);
  AtomicOut out(target);
  std::string buffer(64 * 1024, '\0');
  uint64_t done = 0;
  while (done < static_cast<uint64_t>(length)) {
    const std::size_t piece = static_cast<std::size_t>(
        std::min<uint64_t>(buffer.size(), static_cast<uint64_t>(length) - done));
    in.read(buffer.data(), static_cast<std::streamsize>(piece));
    if (static_cast<std::size_t>(in.gcount()) != piece) return false;
    if (transform) ByteTransformInPlace(buffer.data(), piece, done);
    if (!out.Write(buffer.data(), piece)) return false;
    done += piece;
  }
  return out.Commit();
}

std::string KindOf(std::string_view entryPath) {
  const std::size_t dot = entryPath.rfind('.');
  if (dot == std::string_view::npos) return "";
  return UpperCaseAscii(entryPath.substr(dot + 1));
}

// The data and index paths of an installed library, or nothing when the name is not a plain
// file name or either file is missing.
struct LibraryFiles {
  std::string data;
  std::string index;
};
std::optional<LibraryFiles> InstalledLibrary(std::string_view mediaDir, std::string_view name) {
  if (!IsPlainLibraryName(name)) return std::nullopt;
  LibraryFiles f{ResolveCase(LibraryDataPath(mediaDir, name)),
                 ResolveCase(LibraryIndexPath(mediaDir, name))};
  if (!FileExists(f.data) || !FileExists(f.index)) return std::nullopt;
  return f;
}

}  // namespace

std::string MediaIndexKeyDigits() { return KeyDigitsFromText(kMediaIndexKeyText); }

void ByteTransformInPlace(char* data, std::size_t size, uint64_t firstIndex) {
  for (std::size_t k = 0; k < size; ++k) {
    const unsigned shift = static_cast<unsigned>((firstIndex + k) % 32);
    const auto mask = static_cast<unsigned char>(~(static_cast<uint32_t>(kMediaByteKey) >> shift));
    data[k] = static_cast<char>(static_cast<unsigned char>(data[k]) ^ mask);
  }
}

std::string ByteTransform(std::string_view bytes) {
  std::string out(bytes);
  ByteTransformInPlace(out.data(), out.size());
  return out;
}

bool ByteTransformFile(std::string_view path) {
  const int64_t size = FileSizeOf(path);
  if (size < 0) return false;
  const std::string resolved = ResolveCase(path);
  return CopyRange(resolved, 0, size, resolved, true);
}

bool StoredTransformed(std::string_view kind, bool scrambledLibrary) {
  if (kind == "WAV" || kind == "MP3") return true;
  return scrambledLibrary && (kind == "TXT" || kind == "BMP" || kind == "JPG");
}

MediaReference ParseMediaReference(std::string_view reference) {
  MediaReference r;
  const std::size_t semi = reference.find(';');
  r.library = Trim(reference.substr(0, semi));
  if (semi != std::string_view::npos) r.entry = Trim(reference.substr(semi + 1));
  r.kind = KindOf(r.entry);
  const std::size_t slash = r.entry.rfind('\\');
  if (slash != std::string::npos) r.folder = r.entry.substr(0, slash);
  return r;
}

bool IsPlainLibraryName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char ch : name) {
    if (ch == '/' || ch == '\\' || static_cast<unsigned char>(ch) < 0x20) return false;
  }
  return true;
}

std::string LibraryDataPath(std::string_view mediaDir, std::string_view library) {
  return WithSlash(mediaDir) + std::string(library) + ".IBL";
}

std::string LibraryIndexPath(std::string_view mediaDir, std::string_view library) {
  return WithSlash(mediaDir) + std::string(library) + ".Iid";
}

std::optional<MediaEntry> LookupEntry(std::string_view indexPath, std::string_view entryPath,
                                      MessageBox* msgBox) {
  if (!FileExists(indexPath)) {
    if (msgBox) msgBox->Warn("", std::string(kMediaNoIndexAccess), std::string(indexPath));
    return std::nullopt;
  }
  IndexReader reader(indexPath);
  if (!reader.Open() || entryPath.empty()) return std::nullopt;
  const int64_t table = ReadHeader(reader);
  if (table < 0) return std::nullopt;
  const std::size_t slash = entryPath.rfind('\\');
  const std::string_view folder =
      slash == std::string_view::npos ? std::string_view() : entryPath.substr(0, slash);
  int64_t pos = FindFolder(reader, table, folder);
  if (pos < 0) return std::nullopt;
  std::string line;
  int64_t next = 0;
  while (reader.LineAt(pos, line, next) && !line.empty()) {
    pos = next;
    if (line.find(kSep) == std::string::npos) continue;
    if (StartsWith(GetField(line, kSep, 1), entryPath)) {
      return EntryOfLine(line, reader.Scrambled());
    }
  }
  return std::nullopt;
}

std::vector<ListedEntry> ListEntries(std::string_view indexPath) {
  std::vector<ListedEntry> out;
  IndexReader reader(indexPath);
  if (!reader.Open()) return out;
  int64_t pos = ReadHeader(reader);
  if (pos < 0) return out;
  std::string line;
  int64_t next = 0;
  std::vector<int64_t> lists;
  while (reader.LineAt(pos, line, next) && !line.empty()) {
    pos = next;
    if (line.find(kSep) == std::string::npos) continue;
    const int64_t list = ParseNumber(GetField(line, kSep, 2));
    if (list >= 0) lists.push_back(list);
  }
  for (int64_t at : lists) {
    while (reader.LineAt(at, line, next) && !line.empty()) {
      at = next;
      if (line.find(kSep) == std::string::npos) continue;
      out.push_back({GetField(line, kSep, 1), EntryOfLine(line, reader.Scrambled())});
    }
  }
  return out;
}

std::optional<std::string> ReadDataRange(std::string_view dataPath, int64_t position,
                                         int64_t length, int64_t maxBytes) {
  const int64_t size = FileSizeOf(dataPath);
  if (size < 0 || position < 0 || length < 0 || length > maxBytes || position > size ||
      length > size - position) {
    return std::nullopt;
  }
  std::ifstream in(SystemPath(dataPath), std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(position);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  in.read(bytes.data(), length);
  if (in.gcount() != length) return std::nullopt;
  return bytes;
}

void ExtractEntryTo(std::string_view mediaDir, std::string_view reference,
                    std::string_view target) {
  const MediaReference ref = ParseMediaReference(reference);
  const std::optional<LibraryFiles> files = InstalledLibrary(mediaDir, ref.library);
  if (!files) {
    throw Error(std::string(kMediaNotInstalled) + " (" + ref.library + " in " +
                std::string(mediaDir) + ")");
  }
  const std::optional<MediaEntry> entry = LookupEntry(files->index, ref.entry);
  if (!entry) throw Error(std::string(kMediaWrongIndex) + " (no entry " + ref.entry + ")");
  if (!entry->HasRange() || entry->length > FileSizeOf(files->data) ||
      entry->position > FileSizeOf(files->data) - entry->length) {
    throw Error(std::string(kMediaEmptyPosition) + " (" + ref.entry + ")");
  }
  if (!CopyRange(files->data, entry->position, entry->length, target,
                 StoredTransformed(ref.kind, entry->scrambled))) {
    throw Error("Cannot write " + std::string(target));
  }
}

std::string TempAudioPath(const Context& ctx, std::string_view kind) {
  return ctx.folders.tempDir + "Audio." + std::string(kind);
}

MediaFetch FetchMedia(Context& ctx, std::string_view reference) {
  MediaFetch result;
  const MediaReference ref = ParseMediaReference(reference);
  const std::optional<LibraryFiles> files = InstalledLibrary(ctx.folders.mediaDir, ref.library);
  if (!files) {
    Status(ctx, kMediaNotInstalled, false);
    return result;
  }
  const std::optional<MediaEntry> entry = LookupEntry(files->index, ref.entry, ctx.msgBox);
  if (!entry) {
    Status(ctx, kMediaWrongIndex, true);
    return result;
  }
  const std::string& kind = ref.kind;
  if (kind == "TXT" || kind == "RTF") {
    std::optional<std::string> bytes =
        entry->HasRange()
            ? ReadDataRange(files->data, entry->position, entry->length, kMaxMediaInMemory)
            : std::nullopt;
    if (!bytes) {
      Show(ctx, kMediaEmptyPosition);
      return result;
    }
    if (StoredTransformed(kind, entry->scrambled))
      ByteTransformInPlace(bytes->data(), bytes->size());
    result.kind = MediaFetch::Kind::Text;
    result.text = std::move(*bytes);
  } else if (kind == "BMP" || kind == "JPG") {
    std::optional<std::string> bytes =
        entry->HasRange()
            ? ReadDataRange(files->data, entry->position, entry->length, kMaxMediaInMemory)
            : std::nullopt;
    if (!bytes) {
      Show(ctx, kMediaEmptyPicturePosition, files->data);
      return result;
    }
    if (StoredTransformed(kind, entry->scrambled))
      ByteTransformInPlace(bytes->data(), bytes->size());
    std::optional<Picture24> picture = kind == "JPG" ? DecodeJpeg(*bytes) : DecodeBmp(*bytes);
    if (!picture) return result;
    result.kind = MediaFetch::Kind::Picture;
    result.picture = std::move(*picture);
  } else if (kind == "WAV" || kind == "MP3") {
    if (!entry->HasRange()) {
      Show(ctx, kMediaEmptyPosition);
      return result;
    }
    const std::string target = ResolveCase(TempAudioPath(ctx, kind));
    bool copied = false;
    try {
      copied = EnsureFolder(ctx.folders.tempDir) &&
               CopyRange(files->data, entry->position, entry->length, target, false);
    } catch (const Error&) {
      copied = false;
    }
    if (!copied) {
      Show(ctx, kMediaAudioStream);
      return result;
    }
    result.kind = MediaFetch::Kind::Audio;
    result.audioPath = target;
  } else {
    result.kind = MediaFetch::Kind::Nothing;
  }
  return result;
}

}  // namespace quillo
