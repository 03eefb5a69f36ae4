// The pictures of an open practice sheet: the editor asks for each picture tag once, in text
// order; drawn fractions and figures come from the picture library, media entries from the
// media libraries through a hook. Each picture made gets a handle that both views use.
#pragma once

#include <QImage>
#include <functional>
#include <string>
#include <vector>

#include "practice/sheet_render.h"
#include "shell/seams.h"

namespace quillo {

// What the media libraries deliver for a "#InsImg_" reference.
struct MediaItem {
  enum class Kind { Picture, Text, Nothing, Failed };
  Kind kind = Kind::Failed;
  QImage picture;    // Picture
  std::string text;  // Text (Windows-1252)
};

// Looks a media reference ("library;entry path") up and delivers its entry; reports its own
// failures (status line, message box) before answering Failed.
using MediaFetcher = std::function<MediaItem(const std::string& reference)>;

// Where the pictures come from. Without a media fetcher every "#InsImg_" picture fails; without
// a message box the figure drawer's messages are dropped.
struct PictureSources {
  std::string symbolFile;  // the line-symbol file of the figures ("#DrawF_")
  MessageBox* msgBox = nullptr;
  BusyIndicator* busy = nullptr;
  MediaFetcher media;
};

class SheetPictures : public PictureResolver {
 public:
  void SetSources(PictureSources sources) { sources_ = std::move(sources); }
  const PictureSources& Sources() const { return sources_; }

  // A picture for the request, or the text, nothing or failure the request gives. A drawing
  // that throws, or gives an empty picture, fails.
  PictureOutcome Resolve(const PictureRequest& request) override;

  // The picture of a handle; null for an unknown handle.
  const QImage* Image(int handle) const;
  int Count() const { return static_cast<int>(images_.size()); }
  // Forgets every picture (the sheet is left or another one opened).
  void Clear() { images_.clear(); }

 private:
  PictureOutcome Keep(QImage image);

  PictureSources sources_;
  std::vector<QImage> images_;
  ScriptedMessageBox silentBox_;
};

}  // namespace quillo
