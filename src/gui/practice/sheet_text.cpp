#include "gui/practice/sheet_text.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QUrl>
#include <array>

#include "gui/practice/sheet_pictures.h"
#include "gui/shell/qt_text.h"

namespace quillo {

namespace {

const QColor kFieldBackgroundColour{kFieldBackground.r, kFieldBackground.g, kFieldBackground.b};

// Windows-1252 bytes as UTF-16 characters (every byte is one character).
const std::array<char16_t, 256>& Cp1252Chars() {
  static const std::array<char16_t, 256> table = [] {
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
      const QString s = ToQt(std::string(1, static_cast<char>(b)));
      t[static_cast<std::size_t>(b)] = s.size() == 1 ? s[0].unicode() : u'?';
    }
    return t;
  }();
  return table;
}

// The byte of a character of the view's text ("?" when Windows-1252 has none).
char ModelByte(char16_t ch) {
  switch (ch) {
    case kOpenGlyphChar:
      return kGlyphOpen;
    case kCloseGlyphChar:
      return kGlyphClose;
    case QChar::ParagraphSeparator:
      return kLineBreakByte;
    case QChar::ObjectReplacementCharacter:
      return kPictureByte;
    default:
      break;
  }
  if (ch < 0x80 || (ch >= 0xA0 && ch < 0x100)) return static_cast<char>(ch);
  const auto& table = Cp1252Chars();
  for (int b = 0x80; b < 0xA0; ++b)
    if (table[static_cast<std::size_t>(b)] == ch) return static_cast<char>(b);
  return '?';
}

double ScreenDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->logicalDotsPerInchY() : 96.0;
}

QUrl PictureUrl(int handle) {
  return QUrl(handle < 0 ? QStringLiteral("quillo-picture:none")
                         : QStringLiteral("quillo-picture:%1").arg(handle));
}

}  // namespace

QFont SheetFont(const CharFormat& format) {
  QFont font;
  if (format.font == FontKind::Symbol)
    font.setFamilies({QStringLiteral("DejaVu Sans")});
  else
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
  font.setPointSize(format.pointSize);
  font.setBold(format.bold);
  return font;
}

QChar ViewChar(ElementKind kind, char byte) {
  switch (kind) {
    case ElementKind::Glyph:
      return QChar(byte == kGlyphOpen ? kOpenGlyphChar : kCloseGlyphChar);
    case ElementKind::Delimiter:
      return QChar(static_cast<char16_t>(static_cast<unsigned char>(byte)));
    case ElementKind::LineBreak:
      return QChar(QChar::ParagraphSeparator);
    case ElementKind::Picture:
      return QChar(QChar::ObjectReplacementCharacter);
    case ElementKind::Char:
      break;
  }
  return QChar(Cp1252Chars()[static_cast<unsigned char>(byte)]);
}

void SheetTextWriter::Prepare(QTextDocument& doc) {
  doc.setUndoRedoEnabled(false);
  doc.setDefaultFont(SheetFont(kDefaultText));
  QTextFrameFormat frame = doc.rootFrame()->frameFormat();
  frame.setTopMargin(kTopTextMargin);
  frame.setLeftMargin(kLeftTextMargin);
  frame.setRightMargin(kRightTextMargin);
  doc.rootFrame()->setFrameFormat(frame);
  // The raised text keeps its distance from the line above: every line grows by the raise.
  QTextBlockFormat block;
  block.setLineHeight(kTextRaisePoints * ScreenDpi() / 72.0, QTextBlockFormat::LineDistanceHeight);
  QTextCursor cursor(&doc);
  cursor.select(QTextCursor::Document);
  cursor.setBlockFormat(block);
}

const QTextCharFormat& SheetTextWriter::Format(const CharFormat& format) {
  for (const auto& [model, qt] : formats_)
    if (model == format) return qt;
  QTextCharFormat qt;
  const QFont font = SheetFont(format);
  qt.setFont(font);
  qt.setForeground(QColor(format.colour.r, format.colour.g, format.colour.b));
  if (format.fieldBackground) qt.setBackground(kFieldBackgroundColour);
  // The raise is given in percent of the font's height.
  const double raisePixels = kTextRaisePoints * ScreenDpi() / 72.0;
  const double height = QFontMetricsF(font).height();
  if (height > 0) qt.setBaselineOffset(100.0 * raisePixels / height);
  formats_.emplace_back(format, qt);
  return formats_.back().second;
}

void SheetTextWriter::Load(QTextDocument& doc, const SheetDocument& model) {
  doc.clear();
  Prepare(doc);
  QTextCursor cursor(&doc);
  cursor.beginEditBlock();
  InsertRuns(doc, cursor, model, model.Runs());
  cursor.endEditBlock();
}

void SheetTextWriter::Apply(QTextDocument& doc, const SheetDocument& model,
                            const std::vector<DocEdit>& edits) {
  if (edits.empty()) return;
  QTextCursor cursor(&doc);
  cursor.beginEditBlock();
  for (const DocEdit& edit : edits) {
    switch (edit.kind) {
      case DocEdit::Kind::Insert:
        cursor.setPosition(edit.pos);
        InsertRuns(doc, cursor, model, edit.runs);
        break;
      case DocEdit::Kind::Remove:
        if (edit.count <= 0) break;
        cursor.setPosition(edit.pos);
        cursor.setPosition(edit.pos + edit.count, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        break;
      case DocEdit::Kind::Restyle:
        RestyleRuns(cursor, edit.pos, edit.runs);
        break;
    }
  }
  cursor.endEditBlock();
}

void SheetTextWriter::InsertRuns(QTextDocument& doc, QTextCursor& cursor,
                                 const SheetDocument& model, const std::vector<StyledRun>& runs) {
  QString text;
  for (const StyledRun& run : runs) {
    switch (run.kind) {
      case ElementKind::LineBreak:
        cursor.insertText(QString(run.Length(), QLatin1Char('\n')), Format(kDefaultText));
        break;
      case ElementKind::Picture:
        InsertPicture(doc, cursor, model, run);
        break;
      default:
        text.resize(run.Length());
        for (int i = 0; i < run.Length(); ++i)
          text[i] = ViewChar(run.kind, run.text[static_cast<std::size_t>(i)]);
        cursor.insertText(text, Format(run.format));
        break;
    }
  }
}

void SheetTextWriter::InsertPicture(QTextDocument& doc, QTextCursor& cursor,
                                    const SheetDocument& model, const StyledRun& run) {
  int handle = -1;
  if (run.picture >= 0 && run.picture < static_cast<int>(model.Pictures().size()))
    handle = model.Pictures()[static_cast<std::size_t>(run.picture)].handle;
  const QImage* image = pictures_ ? pictures_->Image(handle) : nullptr;
  if (!image) handle = -1;
  const QUrl url = PictureUrl(handle);
  QImage picture = image ? *image : QImage(1, 1, QImage::Format_ARGB32);
  if (!image) picture.fill(Qt::transparent);
  doc.addResource(QTextDocument::ImageResource, url, picture);
  QTextImageFormat format;
  format.setName(url.toString());
  format.setWidth(picture.width());
  format.setHeight(picture.height());
  cursor.insertImage(format);
}

void SheetTextWriter::RestyleRuns(QTextCursor& cursor, int pos,
                                  const std::vector<StyledRun>& runs) {
  for (const StyledRun& run : runs) {
    // A picture keeps its image; a line break has no visible format.
    if (run.kind != ElementKind::Picture && run.kind != ElementKind::LineBreak) {
      cursor.setPosition(pos);
      cursor.setPosition(pos + run.Length(), QTextCursor::KeepAnchor);
      cursor.setCharFormat(Format(run.format));
    }
    pos += run.Length();
  }
}

std::string ModelText(const QTextDocument& doc) {
  const int size = doc.characterCount() - 1;  // without the document's closing separator
  std::string text;
  text.reserve(static_cast<std::size_t>(std::max(size, 0)));
  for (int i = 0; i < size; ++i) text.push_back(ModelByte(doc.characterAt(i).unicode()));
  return text;
}

}  // namespace quillo
