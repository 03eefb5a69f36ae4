#include "shell/file_utils.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>

#include "quillo_version.h"
#include "shell/codec.h"
#include "shell/error.h"
#include "shell/seams.h"

namespace quillo {
namespace {

struct Stat {
  bool exists = false;
  bool folder = false;
  bool link = false;
  struct stat st {};
};

Stat StatSystem(const std::string& sysPath, bool followLinks = true) {
  Stat s;
  int rc = followLinks ? ::stat(sysPath.c_str(), &s.st) : ::lstat(sysPath.c_str(), &s.st);
  if (rc == 0) {
    s.exists = true;
    s.folder = S_ISDIR(s.st.st_mode);
    s.link = S_ISLNK(s.st.st_mode);
  }
  return s;
}

// Names of a folder (Windows-1252), without "." and "..".
std::vector<std::string> FolderNames(const std::string& sysFolder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(sysFolder.empty() ? "." : sysFolder.c_str());
  if (!dir) return names;
  while (dirent* e = ::readdir(dir)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    names.push_back(Utf8ToCp1252(e->d_name));
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    std::string la = LowerCase1252(a), lb = LowerCase1252(b);
    return la != lb ? la < lb : a < b;
  });
  return names;
}

// Splits a path at "/" into its components (empty ones dropped).
std::vector<std::string> Components(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t pos = 0;
  while (pos <= path.size()) {
    std::size_t end = path.find('/', pos);
    if (end == std::string_view::npos) end = path.size();
    if (end > pos) parts.emplace_back(path.substr(pos, end - pos));
    pos = end + 1;
  }
  return parts;
}

bool MaskMatch(const char* n, const char* ne, const char* m, const char* me) {
  while (m < me) {
    if (*m == '*') {
      while (m < me && *m == '*') ++m;
      if (m == me) return true;
      for (const char* k = n; k <= ne; ++k) {
        if (MaskMatch(k, ne, m, me)) return true;
      }
      return false;
    }
    if (n == ne) return false;
    if (*m != '?' && LowerChar1252(*m) != LowerChar1252(*n)) return false;
    ++m;
    ++n;
  }
  return n == ne;
}

DateTime LocalDateTime(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
          local.tm_min,         local.tm_sec,     0};
}

void DeleteTreeSystem(const std::string& sysFolder, std::string_view mask, bool recurse) {
  for (const std::string& name : FolderNames(sysFolder)) {
    std::string child = sysFolder + "/" + Cp1252ToUtf8(name);
    Stat s = StatSystem(child, false);
    if (!s.exists) continue;
    if (s.folder) {
      if (recurse) {
        DeleteTreeSystem(child, mask, recurse);
        ::rmdir(child.c_str());
      }
      continue;
    }
    if (!MatchesMask(name, mask)) continue;
    if (::unlink(child.c_str()) != 0) {
      ::chmod(child.c_str(), s.st.st_mode | S_IWUSR);
      ::chmod(sysFolder.c_str(), StatSystem(sysFolder).st.st_mode | S_IWUSR | S_IXUSR);
      ::unlink(child.c_str());
    }
  }
}

void ListFolderSystem(const std::string& folder, std::string_view mask,
                      std::vector<std::string>& list, bool all, bool files, bool recurse) {
  std::string sysFolder = Cp1252ToUtf8(folder);
  std::vector<std::string> names = FolderNames(sysFolder);
  if (files) {
    for (const std::string& name : names) {
      Stat s = StatSystem(sysFolder + "/" + Cp1252ToUtf8(name));
      if (!s.exists || s.folder || !MatchesMask(name, mask)) continue;
      list.push_back(folder + "/" + name);
      if (!all && !list.empty()) return;
    }
  }
  for (const std::string& name : names) {
    Stat s = StatSystem(sysFolder + "/" + Cp1252ToUtf8(name), false);
    if (!s.exists || !s.folder) continue;
    if (!files) {
      list.push_back(folder + "/" + name);
      if (!all && !list.empty()) return;
    }
    if (recurse) {
      ListFolderSystem(folder + "/" + name, mask, list, all, files, recurse);
      if (!all && !list.empty()) return;
    }
  }
}

std::string StripSlash(std::string_view folder) {
  std::string f(folder);
  while (f.size() > 1 && f.back() == '/') f.pop_back();
  return f;
}

}  // namespace

// --- Paths -------------------------------------------------------------------------------

std::string ResolveCase(std::string_view path) {
  if (path.empty()) return "";
  std::string sysExact = Cp1252ToUtf8(path);
  if (StatSystem(sysExact, false).exists) return std::string(path);

  bool absolute = path.front() == '/';
  std::vector<std::string> parts = Components(path);
  std::string resolved = absolute ? "/" : "";
  bool stillExisting = true;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    std::string chosen = part;
    if (stillExisting && part != "." && part != "..") {
      std::string sysFolder = Cp1252ToUtf8(resolved.empty() ? "." : resolved);
      if (!StatSystem(Cp1252ToUtf8(resolved + part), false).exists) {
        stillExisting = false;
        for (const std::string& name : FolderNames(sysFolder)) {
          if (EqualsNoCase1252(name, part)) {
            chosen = name;
            stillExisting = true;
            break;
          }
        }
      }
    }
    resolved += chosen;
    if (i + 1 < parts.size()) resolved += '/';
  }
  if (path.back() == '/' && !resolved.empty() && resolved.back() != '/') resolved += '/';
  return resolved;
}

std::string SystemPath(std::string_view path) { return Cp1252ToUtf8(ResolveCase(path)); }

bool FileExists(std::string_view path) {
  Stat s = StatSystem(SystemPath(path));
  return s.exists && !s.folder;
}

bool FolderExists(std::string_view path) {
  Stat s = StatSystem(SystemPath(path));
  return s.exists && s.folder;
}

bool PathExists(std::string_view path) { return StatSystem(SystemPath(path)).exists; }

bool MatchesMask(std::string_view name, std::string_view mask) {
  if (mask.empty() || mask == "*" || mask == "*.*") return true;
  return MaskMatch(name.data(), name.data() + name.size(), mask.data(), mask.data() + mask.size());
}

std::string GetFolderPart(std::string_view path) {
  std::size_t pos = path.rfind('/');
  return pos == std::string_view::npos ? "" : std::string(path.substr(0, pos + 1));
}

std::string FileNameOf(std::string_view path) {
  std::size_t pos = path.rfind('/');
  return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string WithSlash(std::string_view folder) {
  std::string f(folder);
  if (f.empty() || f.back() != '/') f += '/';
  return f;
}

bool IsInside(std::string_view path, std::string_view root) {
  auto normalise = [](std::string_view p) {
    std::vector<std::string> out;
    for (const std::string& part : Components(p)) {
      if (part == ".") continue;
      if (part == "..") {
        if (!out.empty()) out.pop_back();
        continue;
      }
      out.push_back(LowerCase1252(part));
    }
    return out;
  };
  if (path.empty() || path.front() != '/' || root.empty()) return false;
  std::vector<std::string> p = normalise(path), r = normalise(root);
  if (p.size() <= r.size()) return false;
  return std::equal(r.begin(), r.end(), p.begin());
}

// --- Folders and special folders ------------------------------------------------------------

std::string SpecialFolder(int kind) {
  auto env = [](const char* name) -> std::string {
    const char* v = std::getenv(name);
    return v ? Utf8ToCp1252(v) : "";
  };
  switch (kind) {
    case 1: {
      std::string pf = env("QUILLOMARK_PROGRAM_FILES");
      if (pf.empty()) {
        char buf[4096];
        ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
        if (n <= 0) {
          throw Error("SHGetPathFromIDList failed errror 97412: invalid pidl: 38");
        }
        buf[n] = 0;
        std::string exe = Utf8ToCp1252(buf);
        std::string bin = StripSlash(GetFolderPart(exe));
        pf = GetFolderPart(bin) + "share";
      }
      return StripSlash(pf);
    }
    case 2: {
      std::string data = env("XDG_DATA_HOME");
      if (data.empty()) {
        std::string home = env("HOME");
        if (home.empty()) throw Error("SHGetPathFromIDList failed errror 97412: invalid pidl: 26");
        data = StripSlash(home) + "/.local/share";
      }
      return StripSlash(data);
    }
    case 3:
      return "/usr/share";
    default:
      return "";
  }
}

bool EnsureFolder(std::string_view path) {
  std::string resolved = ResolveCase(path);
  std::vector<std::string> parts = Components(resolved);
  std::string current = !resolved.empty() && resolved.front() == '/' ? "/" : "";
  for (const std::string& part : parts) {
    current += part;
    std::string sys = Cp1252ToUtf8(current);
    Stat s = StatSystem(sys);
    if (!s.exists) {
      if (::mkdir(sys.c_str(), 0777) != 0 && errno != EEXIST) {
        throw Error("Error 987238:" + std::string(path) + " !");
      }
    } else if (!s.folder) {
      throw Error("Error 987238:" + std::string(path) + " !");
    }
    current += '/';
  }
  if (!FolderExists(resolved)) throw Error("Error 987238:" + std::string(path) + " !");
  return true;
}

void ListFolder(std::string_view folder, std::string_view mask, std::vector<std::string>& list,
                bool all, bool files, bool recurse) {
  ListFolderSystem(StripSlash(ResolveCase(folder)), mask, list, all, files, recurse);
}

void DeleteTree(std::string_view folder, std::string_view mask, bool recurse) {
  std::string sys = SystemPath(StripSlash(folder));
  Stat s = StatSystem(sys, false);
  if (!s.exists || !s.folder) return;
  DeleteTreeSystem(sys, mask, recurse);
}

// --- Files ---------------------------------------------------------------------------------

std::optional<DateTime> FileDate(std::string_view path) {
  Stat s = StatSystem(SystemPath(path));
  if (!s.exists) return std::nullopt;
  return LocalDateTime(s.st.st_mtime);
}

int64_t FileSizeOf(std::string_view path) {
  Stat s = StatSystem(SystemPath(path));
  if (!s.exists || s.folder) return -1;
  return static_cast<int64_t>(s.st.st_size);
}

std::string BaseName(std::string_view path) {
  std::string name = FileNameOf(path);
  std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

bool CopyFileOver(std::string_view source, std::string_view target) {
  std::string data;
  if (!ReadWholeFile(source, data)) return false;
  try {
    WriteFileAtomic(target, data);
  } catch (const Error&) {
    return false;
  }
  return true;
}

bool CreateEmptyFile(std::string_view path) {
  std::string sys = SystemPath(path);
  int fd = ::open(sys.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

bool RemoveFile(std::string_view path) {
  std::string sys = SystemPath(path);
  Stat s = StatSystem(sys, false);
  if (!s.exists || s.folder) return false;
  return ::unlink(sys.c_str()) == 0;
}

bool MovePath(std::string_view from, std::string_view to) {
  return ::rename(SystemPath(from).c_str(), SystemPath(to).c_str()) == 0;
}

bool IsReadOnly(std::string_view path) {
  Stat s = StatSystem(SystemPath(path));
  return s.exists && (s.st.st_mode & S_IWUSR) == 0;
}

bool SetReadOnly(std::string_view path, bool readOnly) {
  std::string sys = SystemPath(path);
  Stat s = StatSystem(sys);
  if (!s.exists) return false;
  mode_t mode = readOnly ? (s.st.st_mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (s.st.st_mode | S_IWUSR);
  return ::chmod(sys.c_str(), mode) == 0;
}

void ListFilesChecked(std::string_view folder, std::string_view mask,
                      std::vector<std::string>& list, MessageBox& msgBox) {
  std::string base = StripSlash(ResolveCase(folder));
  std::vector<std::string> found;
  ListFolderSystem(base, mask, found, true, true, false);
  for (const std::string& path : found) {
    if (path.size() > kMaxPathLength) {
      msgBox.Warn("", "Error:u23744 [File to long] [" + std::to_string(kMaxPathLength) +
                          "]..is now deleted for file\n" + path);
      RemoveFile(path);
      continue;
    }
    list.push_back(FileNameOf(path));
  }
}

std::string NewestOrOldest(int mode, std::string_view folder,
                           const std::vector<std::string>& names) {
  if (names.empty()) return "";
  std::string dir(folder);
  auto stamp = [&](const std::string& name) -> int64_t {
    Stat s = StatSystem(SystemPath(dir + name));
    return s.exists ? static_cast<int64_t>(s.st.st_mtime) : INT64_MIN;
  };
  std::string chosen = dir + names[0];
  int64_t chosenTime = stamp(names[0]);
  for (std::size_t i = 1; i < names.size(); ++i) {
    int64_t t = stamp(names[i]);
    bool later = t > chosenTime, earlier = t < chosenTime;
    // On equal times the next name wins when it stands at an odd position.
    bool take = mode == 1 ? later : earlier;
    if (t == chosenTime && i % 2 == 1) take = true;
    if (take) {
      chosen = dir + names[i];
      chosenTime = t;
    }
  }
  return chosen;
}

std::string NextFreeName(std::string_view path, std::string_view separator, int digits) {
  if (!PathExists(path)) return std::string(path);
  digits = std::clamp(digits, 1, 9);
  std::string name = FileNameOf(path);
  std::size_t dot = name.rfind('.');
  std::size_t cut = dot == std::string::npos ? path.size() : path.size() - (name.size() - dot);
  std::string base(path.substr(0, cut)), ext(path.substr(cut));
  for (long n = 1;; ++n) {
    std::string number = std::to_string(n);
    if (number.size() < static_cast<std::size_t>(digits)) {
      number.insert(0, static_cast<std::size_t>(digits) - number.size(), '0');
    }
    std::string candidate = base + std::string(separator) + number + ext;
    if (!PathExists(candidate)) return candidate;
  }
}

// --- Whole files -----------------------------------------------------------------------------

bool ReadWholeFile(std::string_view path, std::string& out) {
  out.clear();
  std::string sys = SystemPath(path);
  int fd = ::open(sys.c_str(), O_RDONLY);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return false;
  }
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return true;
}

void WriteFileAtomic(std::string_view path, std::string_view data) {
  std::string sys = SystemPath(path);
  std::string folder = GetFolderPart(sys);
  static thread_local std::mt19937_64 rng(std::random_device{}());
  std::string tmp = folder + "." + FileNameOf(sys) + ".tmp" + std::to_string(rng() % 1000000000);
  auto fail = [&](const char* what) {
    int err = errno;
    ::unlink(tmp.c_str());
    throw Error("Cannot write file " + std::string(path) + " (" + what + ": " +
                std::strerror(err) + ")");
  };
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd < 0) {
    int err = errno;
    throw Error("Cannot write file " + std::string(path) + " (" + std::strerror(err) + ")");
  }
  const char* p = data.data();
  std::size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      fail("write");
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) {
    ::close(fd);
    fail("sync");
  }
  ::close(fd);
  // A write-protected target keeps its protection, as the file it replaces had it.
  struct stat st {};
  if (::stat(sys.c_str(), &st) == 0) ::chmod(tmp.c_str(), st.st_mode & 07777);
  if (::rename(tmp.c_str(), sys.c_str()) != 0) fail("rename");
}

std::vector<std::string> SplitLines(std::string_view content) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  const std::size_t n = content.size();
  while (pos < n) {
    std::size_t end = pos;
    while (end < n && content[end] != '\n' && content[end] != '\r') ++end;
    std::string_view line = content.substr(pos, end - pos);
    if (line.size() <= kLineBlock) {
      lines.emplace_back(line);
    } else {
      for (std::size_t k = 0; k < line.size(); k += kLineBlock) {
        lines.emplace_back(line.substr(k, kLineBlock));
      }
    }
    if (end < n) {
      // CR LF is one break; a lone CR or LF is one too.
      if (content[end] == '\r' && end + 1 < n && content[end + 1] == '\n') ++end;
      ++end;
    }
    pos = end;
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string out;
  std::size_t total = 0;
  for (const auto& l : lines) total += l.size() + 2;
  out.reserve(total);
  for (const auto& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

// --- Text lines ------------------------------------------------------------------------------

std::string ReadLine(std::string_view path, int n) {
  std::vector<std::string> lines = ReadLines(path, n, n);
  return lines.empty() ? "" : lines.front();
}

std::vector<std::string> ReadLines(std::string_view path, int from, int to) {
  std::string content;
  if (!ReadWholeFile(path, content)) {
    CreateEmptyFile(path);
    return {};
  }
  std::vector<std::string> lines = SplitLines(content);
  std::vector<std::string> out;
  if (from < 1) from = 1;
  for (int i = from; i <= to && i <= static_cast<int>(lines.size()); ++i) {
    out.push_back(std::move(lines[static_cast<std::size_t>(i - 1)]));
  }
  return out;
}

std::string ReadLastLine(std::string_view path) {
  std::string content;
  if (!ReadWholeFile(path, content)) return "";
  std::vector<std::string> lines = SplitLines(content);
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    if (!it->empty()) return *it;
  }
  return "";
}

bool AppendLine(std::string_view path, std::string_view text, bool truncate) {
  std::string content;
  if (!truncate) ReadWholeFile(path, content);
  if (!content.empty()) content += "\r\n";
  content += text;
  try {
    WriteFileAtomic(path, content);
  } catch (const Error&) {
    return false;
  }
  return true;
}

// --- System and program information ---------------------------------------------------------

std::string ProgramVersion(std::string_view path) {
  if (!FileExists(path)) return "-1";
  return QUILLO_VERSION_TEXT;
}

std::string SystemLanguageName() {
  const char* vars[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  for (const char* var : vars) {
    const char* v = std::getenv(var);
    if (!v || !*v) continue;
    std::string lang = LowerCase1252(v);
    if (lang.rfind("de", 0) == 0) return "Deutsch";
    if (lang.rfind("fr", 0) == 0) return "Fran\xE7" "ais";
    return "English";
  }
  return "English";
}

}  // namespace quillo
