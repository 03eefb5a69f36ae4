#include "gui/practice/sheet_pictures.h"

#include <exception>

#include "draw/expression_picture.h"

namespace quillo {

PictureOutcome SheetPictures::Keep(QImage image) {
  PictureOutcome outcome;
  if (image.isNull() || image.width() <= 0 || image.height() <= 0) return outcome;  // Failed
  outcome.kind = PictureOutcome::Kind::Picture;
  outcome.handle = static_cast<int>(images_.size());
  images_.push_back(std::move(image));
  return outcome;
}

PictureOutcome SheetPictures::Resolve(const PictureRequest& request) {
  try {
    switch (request.kind) {
      case PictureKind::DrawnFraction:
        return Keep(draw::FractionTagPicture(request.argument));
      case PictureKind::Figure: {
        MessageBox& box = sources_.msgBox ? *sources_.msgBox : silentBox_;
        QImage picture =
            draw::ExpressionPicture(request.argument, sources_.symbolFile, box, sources_.busy);
        silentBox_.Clear();
        return Keep(std::move(picture));
      }
      case PictureKind::Media: {
        if (!sources_.media) return {};
        MediaItem item = sources_.media(request.argument);
        PictureOutcome outcome;
        switch (item.kind) {
          case MediaItem::Kind::Picture:
            return Keep(std::move(item.picture));
          case MediaItem::Kind::Text:
            outcome.kind = PictureOutcome::Kind::Text;
            outcome.text = std::move(item.text);
            return outcome;
          case MediaItem::Kind::Nothing:
            outcome.kind = PictureOutcome::Kind::Nothing;
            return outcome;
          case MediaItem::Kind::Failed:
            return outcome;
        }
        return outcome;
      }
    }
  } catch (const std::exception&) {
    // A drawing that cannot be made is a picture that could not be produced.
  }
  return {};
}

const QImage* SheetPictures::Image(int handle) const {
  if (handle < 0 || handle >= static_cast<int>(images_.size())) return nullptr;
  return &images_[static_cast<std::size_t>(handle)];
}

}  // namespace quillo
