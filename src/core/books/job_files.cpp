#include "books/job_files.h"

#include "books/book_text.h"
#include "engine/text_toolkit.h"
#include "books/scramble.h"
#include "shell/error.h"
#include "shell/file_utils.h"
#include "shell/trace_log.h"

namespace quillo {

using book_text::kSep;

JobContent ReadJob(std::string_view path, bool scrambled, std::string_view keyDigits,
                   TraceLog& trace) {
  JobContent job;
  std::string content;
  ReadWholeFile(path, content);
  OffsetLineReader reader(std::move(content), scrambled, std::string(keyDigits), kJobWindow);
  LineAt line = reader.At(0);
  job.header.Path = GetField(line.text, kSep, 1);
  job.header.BookTitle = GetField(line.text, kSep, 2);
  job.header.LevelName = GetField(line.text, kSep, 3);
  job.header.BookHeader = GetField(line.text, kSep, 4);
  if (job.header.BookTitle.empty()) {
    trace.Trace("Error:Book Name not fund. 6754021 in " + std::string(path));
  }
  if (job.header.LevelName.empty()) {
    trace.Trace("Error:Level Name not fund. 6754022 in " + std::string(path));
  }
  if (line.atEnd) return job;
  for (line = reader.At(line.next); !line.atEnd; line = reader.At(line.next)) {
    std::optional<TdBaseJob> record = LineToRecord(line.text);
    if (!record) break;
    record->Checked = true;
    job.records.push_back(std::move(*record));
  }
  return job;
}

void WriteJob(std::string_view path, const JobHeader& header, const std::vector<TdBaseJob>& records,
              bool scrambled, std::string_view keyDigits) {
  auto refuse = [&](const std::string& why) {
    throw Error("Cannot write job " + std::string(path) + ": " + why);
  };
  auto check = [&](const std::string& field) {
    if (field.find_first_of(std::string{kSep, '\r', '\n'}) != std::string::npos) {
      refuse("a field holds \"\xA6\" or a line break: " + field);
    }
  };
  std::vector<std::string> lines;
  for (const std::string* f :
       {&header.Path, &header.BookTitle, &header.LevelName, &header.BookHeader}) {
    check(*f);
  }
  lines.push_back(header.Path + kSep + header.BookTitle + kSep + header.LevelName + kSep +
                  header.BookHeader);
  for (const TdBaseJob& r : records) {
    for (const std::string* f :
         {&r.Code, &r.Title, &r.Example, &r.Quantity, &r.LineCount, &r.Location, &r.MergeGroup,
          &r.SpCode, &r.LevelKey, &r.Extra10, &r.Extra11}) {
      check(*f);
    }
    lines.push_back(RecordToLine(r));
  }
  std::string content;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].size() > kMaxJobLine) {
      refuse("line " + std::to_string(i + 1) + " is longer than " + std::to_string(kMaxJobLine) +
             " bytes");
    }
    content += ScrambleLine(lines[i], scrambled, keyDigits);
    content += "\r\n";
  }
  std::string folder = GetFolderPart(path);
  if (!folder.empty()) EnsureFolder(folder);
  WriteFileAtomic(path, content);
}

}  // namespace quillo
