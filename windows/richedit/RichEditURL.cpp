#include "RichEditURL.h"

#include "RtfFormat.h"
#include "RtfReader.h"
#include "RtfWriter.h"
#include "graphics/PictureCache.h"
#include "platform/FileNames.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/ShellOpen.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStringList>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextImageFormat>
#include <QToolTip>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <memory>
#include <utility>
#include <vector>

namespace qel {
namespace {

// A fragment carries the names of its pictures, not the pictures: the pictures that `text`
// shows are added to `to` from `from`, the document they were made in.
void CopyPictures(const QTextDocument& text, const QTextDocument& from, QTextDocument& to) {
  for (QTextBlock block = text.begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFormat format = it.fragment().charFormat();
      if (!format.isImageFormat()) continue;
      const QUrl name(format.toImageFormat().name());
      const QVariant picture = from.resource(QTextDocument::ImageResource, name);
      if (picture.isValid()) to.addResource(QTextDocument::ImageResource, name, picture);
    }
}

constexpr const char* kRtfMime = "text/rtf";

// An image on the clipboard (another program's copied picture), or a null image.
QImage ClipboardPicture(const QMimeData& source) {
  if (!source.hasImage()) return {};
  const QVariant data = source.imageData();
  return data.canConvert<QImage>() ? data.value<QImage>() : data.value<QPixmap>().toImage();
}

// The pictures among dropped or copied files, decoded; files that are no picture are left out.
std::vector<QImage> PictureFiles(const QMimeData& source) {
  std::vector<QImage> pictures;
  if (!source.hasUrls()) return pictures;
  for (const QUrl& url : source.urls()) {
    if (!url.isLocalFile()) continue;
    QImage picture = DecodePicture(FromQString(url.toLocalFile()));
    if (!picture.isNull()) pictures.push_back(std::move(picture));
  }
  return pictures;
}

// Only web and mail addresses are links; file, telnet, news and other schemes are not.
const QRegularExpression& AddressStart() {
  static const QRegularExpression start(R"(\b(?:(?:https?|ftp)://|mailto:|www\.))",
                                        QRegularExpression::CaseInsensitiveOption);
  return start;
}

// The web addresses of one paragraph's text: [start, end) pairs.
std::vector<std::pair<int, int>> FindURLs(const QString& text) {
  static const QRegularExpression address(AddressStart().pattern() + R"([^\s<>"]+)",
                                          QRegularExpression::CaseInsensitiveOption);
  static const QString trailing = ".,;:!?)]}'";
  std::vector<std::pair<int, int>> found;
  for (auto it = address.globalMatch(text); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    int end = static_cast<int>(match.capturedEnd());
    const int start = static_cast<int>(match.capturedStart());
    while (end > start && trailing.contains(text[end - 1])) --end;
    // Something must follow the prefix.
    const int prefixEnd = start + static_cast<int>(AddressStart().match(text, start).capturedLength());
    if (end > prefixEnd) found.emplace_back(start, end);
  }
  return found;
}

// Shows the detected addresses and the links of the text as links, underlined in the link
// colour, whatever a link's own format; the document itself is not changed.
class TURLHighlighter : public QSyntaxHighlighter {
public:
  using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
  void highlightBlock(const QString& text) override {
    QTextCharFormat link;
    link.setFontUnderline(true);
    link.setForeground(QGuiApplication::palette().color(QPalette::Link));
    for (auto [start, end] : FindURLs(text)) setFormat(start, end - start, link);
    const QTextBlock block = currentBlock();
    for (auto it = block.begin(); !it.atEnd(); ++it)
      if (const QTextFragment part = it.fragment(); !part.charFormat().anchorHref().isEmpty())
        setFormat(part.position() - block.position(), part.length(), link);
  }
};

bool IsHiddenTextAt(const QTextDocument& document, int position) {
  if (document.characterAt(position) != QChar::ObjectReplacementCharacter) return false;
  const QTextBlock block = document.findBlock(position);
  for (auto it = block.begin(); !it.atEnd(); ++it)
    if (it.fragment().contains(position)) return !HiddenTextOf(it.fragment().charFormat()).isEmpty();
  return false;
}

} // namespace

TRichEditURL::TRichEditURL(QWidget* parent) : QTextEdit(parent) {
  setAcceptRichText(true);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setMouseTracking(true); // a link under the mouse shows its target
  FHighlighter = new TURLHighlighter(document());
  RegisterHiddenText(*document());
}

void TRichEditURL::ResetHistory() {
  document()->clearUndoRedoStacks();
  document()->setModified(false);
}

void TRichEditURL::SetRichText(const std::string& rtf) {
  setCurrentCharFormat(QTextCharFormat());
  ReadRtf(rtf, *document());
  ResetHistory();
  MarkStored(rtf);
}

void TRichEditURL::MarkStored(const std::string& rtf) {
  FLoadedRtf = rtf;
  FHasLoaded = true;
  FLoadedRevision = document()->revision();
}

bool TRichEditURL::ChangedSinceLoad() const { return !FHasLoaded || document()->revision() != FLoadedRevision; }

std::string TRichEditURL::GetRichText() const {
  if (!ChangedSinceLoad()) return FLoadedRtf;
  return WriteRtf(*document());
}

std::string TRichEditURL::GetPlainText() const {
  QString text = toPlainText();
  text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  return FromQString(text);
}

void TRichEditURL::SetPlainTextAnsi(const std::string& text) { SetPlainText(ToQString(text)); }

void TRichEditURL::SetPlainText(QString text) {
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  setPlainText(text);
  ResetHistory();
  FHasLoaded = false;
}

void TRichEditURL::LoadFromFile(const std::string& fileName) {
  const std::string bytes = ReadFileBytes(fileName);
  if (!IsRtf(bytes)) {
    SetPlainTextAnsi(bytes);
    return;
  }
  ReadRtf(bytes, *document());
  ResetHistory();
  FHasLoaded = false;
}

void TRichEditURL::SaveToFile(const std::string& fileName) const {
  const QString ext = QString::fromLatin1(ExtractFileExt(fileName)).toLower();
  const bool plain = ext == ".txt" || (ext != ".rtf" && PlainText);
  WriteFileBytes(fileName, plain ? GetPlainText() : GetRichText());
}

bool TRichEditURL::IsRtf(const std::string& bytes) { return bytes.rfind("{\\rtf", 0) == 0; }

bool TRichEditURL::URLAt(int position, int& start, int& end) const {
  const QTextBlock block = document()->findBlock(position);
  if (!block.isValid()) return false;
  const int offset = position - block.position();
  for (auto [s, e] : FindURLs(block.text()))
    if (offset >= s && offset < e) {
      start = block.position() + s;
      end = block.position() + e;
      return true;
    }
  return false;
}

int TRichEditURL::CharacterAt(const QPoint& point) const {
  const QPoint documentPoint = point + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
  const int hit = document()->documentLayout()->hitTest(documentPoint, Qt::ExactHit);
  if (hit < 0) return -1;
  // The hit is the caret nearest the point: the character before it when the point lies left.
  QTextCursor caret(document());
  caret.setPosition(hit);
  return hit > 0 && point.x() < cursorRect(caret).x() ? hit - 1 : hit;
}

bool TRichEditURL::LinkAt(int position, int& start, int& end, QString& target) const {
  const QTextBlock block = document()->findBlock(position);
  if (!block.isValid()) return false;
  // The fragments of the same link around the character.
  QString href;
  for (auto it = block.begin(); !it.atEnd(); ++it) {
    const QTextFragment fragment = it.fragment();
    const QString own = fragment.charFormat().isAnchor() ? fragment.charFormat().anchorHref() : QString();
    if (own.isEmpty() || own != href) start = fragment.position();
    href = own;
    end = fragment.position() + fragment.length();
    if (position >= end) continue;
    // Only the range up to the character is known yet: the link may go on after it.
    for (it++; !it.atEnd() && it.fragment().charFormat().anchorHref() == href; it++)
      end = it.fragment().position() + it.fragment().length();
    target = href;
    return !href.isEmpty() && position >= start;
  }
  return false;
}

bool TRichEditURL::TargetAt(const QPoint& point, int& start, int& end, QString& target) const {
  const int position = CharacterAt(point);
  if (position < 0) return false;
  if (LinkAt(position, start, end, target)) return true;
  if (!URLAt(position, start, end)) return false;
  QTextCursor address(document()); // the detected address is its own target
  address.setPosition(start);
  address.setPosition(end, QTextCursor::KeepAnchor);
  target = address.selectedText();
  return true;
}

bool TRichEditURL::ClickAt(const QPoint& point) {
  int start = 0, end = 0;
  QString target;
  if (!TargetAt(point, start, end, target)) return false;
  QTextCursor selection(document());
  selection.setPosition(start);
  selection.setPosition(end, QTextCursor::KeepAnchor);
  setTextCursor(selection);
  DoURLClick(target);
  if (const QString refusal = LinkRefusal(target); !refusal.isEmpty()) {
    QToolTip::showText(viewport()->mapToGlobal(point), refusal, viewport());
    ShowLinkStatus(refusal);
  }
  return true;
}

void TRichEditURL::ShowLinkStatus(const QString& status) {
  if (status == FLinkStatus) return;
  FLinkStatus = status;
  if (OnLinkStatus) OnLinkStatus(status);
}

void TRichEditURL::DoURLClick(const QString& URL) {
  if (OnURLClick) OnURLClick(this, URL);
}

void TRichEditURL::mousePressEvent(QMouseEvent* event) {
  int start = 0, end = 0;
  QString target;
  const QPoint point = event->position().toPoint();
  const bool open = event->button() == Qt::LeftButton && !(event->modifiers() & Qt::ControlModifier);
  FPressedOnLink = open && TargetAt(point, start, end, target) ? point : QPoint(-1, -1);
  QTextEdit::mousePressEvent(event);
}

void TRichEditURL::mouseReleaseEvent(QMouseEvent* event) {
  QTextEdit::mouseReleaseEvent(event);
  const QPoint point = event->position().toPoint();
  const QPoint pressed = std::exchange(FPressedOnLink, QPoint(-1, -1));
  if (event->button() == Qt::LeftButton && pressed.x() >= 0 &&
      (point - pressed).manhattanLength() < QApplication::startDragDistance())
    ClickAt(point);
}

void TRichEditURL::mouseMoveEvent(QMouseEvent* event) {
  QTextEdit::mouseMoveEvent(event);
  int start = 0, end = 0;
  QString target;
  if (!TargetAt(event->position().toPoint(), start, end, target)) {
    if (!FLinkStatus.isEmpty()) QToolTip::hideText();
    return ShowLinkStatus(QString());
  }
  ShowLinkStatus(LinkStatus(target));
}

bool TRichEditURL::viewportEvent(QEvent* event) {
  int start = 0, end = 0;
  QString target;
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    if (TargetAt(help->pos(), start, end, target)) {
      const QString hint = LinkRefusal(target).isEmpty() ? tr("Click to open, Ctrl+click to place the cursor.") : QString();
      QToolTip::showText(help->globalPos(), LinkStatus(target) + (hint.isEmpty() ? "" : "\n" + hint), viewport());
      return true;
    }
  } else if (event->type() == QEvent::Leave) {
    ShowLinkStatus(QString());
  }
  return QTextEdit::viewportEvent(event);
}

void TRichEditURL::keyPressEvent(QKeyEvent* event) {
  const bool editing = event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut) ||
                       event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Undo) ||
                       event->matches(QKeySequence::Redo) || event->matches(QKeySequence::SelectAll);
  if (event->modifiers() == Qt::ControlModifier && !editing) {
    // The program's own keys first (zoom, loading a file, ...), then the control's.
    if (OnProgramKey && OnProgramKey(event)) return event->accept();
    if (!isReadOnly()) switch (event->key()) {
    case Qt::Key_B: {
      QTextCharFormat format;
      format.setFontWeight(fontWeight() > QFont::Normal ? QFont::Normal : QFont::Bold);
      mergeCurrentCharFormat(format);
      return event->accept();
    }
    case Qt::Key_E: setAlignment(Qt::AlignHCenter); return event->accept();
    case Qt::Key_L: setAlignment(Qt::AlignLeft); return event->accept();
    case Qt::Key_R: setAlignment(Qt::AlignRight); return event->accept();
    default: break;
    }
  }
  if (PassHiddenText(event)) return;
  QTextEdit::keyPressEvent(event);
}

bool TRichEditURL::PassHiddenText(QKeyEvent* event) {
  if (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) return false;
  const int key = event->key();
  if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
    QTextCursor caret = textCursor();
    if (caret.hasSelection()) return false;
    const bool back = key == Qt::Key_Backspace;
    int at = caret.position();
    while (IsHiddenTextAt(*document(), back ? at - 1 : at)) at += back ? -1 : 1;
    if (at != caret.position()) {
      caret.setPosition(at);
      setTextCursor(caret);
    }
    return false; // the key deletes from there
  }
  if (key != Qt::Key_Left && key != Qt::Key_Right) return false;
  for (int steps = 0; steps < 1000; ++steps) { // each hidden text is one step
    const int before = textCursor().position();
    QTextEdit::keyPressEvent(event);
    const int after = textCursor().position();
    bool hiddenOnly = after != before;
    for (int at = std::min(before, after); hiddenOnly && at < std::max(before, after); ++at)
      hiddenOnly = IsHiddenTextAt(*document(), at);
    if (!hiddenOnly) break;
  }
  return true;
}

bool TRichEditURL::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasFormat(kRtfMime) || source->hasImage() || source->hasUrls() || source->hasText();
}

// A picture of its own size as a document resource; the writer stores it as PNG.
void TRichEditURL::InsertPicture(const QImage& picture) {
  static std::atomic<int> counter{0};
  const QString name = QStringLiteral("pasted-picture:%1").arg(++counter);
  document()->addResource(QTextDocument::ImageResource, QUrl(name), picture);
  QTextImageFormat format;
  format.setName(name);
  format.setWidth(picture.width());
  format.setHeight(picture.height());
  textCursor().insertImage(format);
}

void TRichEditURL::insertFromMimeData(const QMimeData* source) {
  if (source->hasFormat(kRtfMime)) {
    QTextDocument pasted;
    pasted.setDefaultFont(document()->defaultFont());
    ReadRtf(source->data(kRtfMime).toStdString(), pasted);
    CopyPictures(pasted, pasted, *document());
    textCursor().insertFragment(QTextDocumentFragment(&pasted));
  } else if (const QImage picture = ClipboardPicture(*source); !picture.isNull()) {
    InsertPicture(picture);
  } else if (const std::vector<QImage> pictures = PictureFiles(*source); !pictures.empty()) {
    for (const QImage& file : pictures) InsertPicture(file);
  } else if (source->hasText()) {
    textCursor().insertText(source->text());
  } else if (source->hasUrls()) {
    // Files that are no picture go in by name.
    QStringList names;
    for (const QUrl& url : source->urls()) names << (url.isLocalFile() ? url.toLocalFile() : url.toString());
    textCursor().insertText(names.join(' '));
  }
  ensureCursorVisible();
}

// The selection as RTF besides plain text and HTML. The control's own data names a fixed
// list of formats, so a data object of our own carries them.
QMimeData* TRichEditURL::createMimeDataFromSelection() const {
  const QTextDocumentFragment selection = textCursor().selection();
  auto* data = new QMimeData;
  data->setText(selection.toPlainText().remove(QChar::ObjectReplacementCharacter)); // pictures, hidden text
  data->setHtml(selection.toHtml());
  QTextDocument copied;
  copied.setDefaultFont(document()->defaultFont());
  QTextCursor(&copied).insertFragment(selection);
  CopyPictures(copied, *document(), copied);
  data->setData(kRtfMime, QByteArray::fromStdString(WriteRtf(copied)));
  return data;
}

int TRichEditURL::Print(const QString& Caption, QPrinter& printer) {
  printer.setDocName(Caption);
  QPainter painter;
  if (!painter.begin(&printer)) return 0;
  const QRect rect = PageRect.isEmpty() ? QRect(0, 0, printer.width(), printer.height()) : PageRect;
  std::unique_ptr<QTextDocument> text(document()->clone());
  text->documentLayout()->setPaintDevice(&printer);
  RegisterHiddenText(*text);
  text->setPageSize(rect.size());
  painter.drawText(300, 300, Caption);
  const int pages = std::max(1, text->pageCount());
  for (int page = 0; page < pages; ++page) {
    if (page > 0) printer.newPage();
    painter.save();
    painter.setClipRect(rect);
    painter.translate(rect.left(), rect.top() - page * rect.height());
    text->drawContents(&painter, QRectF(0, page * rect.height(), rect.width(), rect.height()));
    painter.restore();
  }
  painter.end();
  return pages;
}

QRect TRichEditURL::PrintMargins(const QPrinter& printer) {
  const int dx = printer.logicalDpiX(), dy = printer.logicalDpiY();
  const int left = dx, top = (3 * dy) / 2, right = printer.width() - (3 * dx) / 4, bottom = printer.height() - dy;
  return QRect(left, top, right - left, bottom - top);
}

bool IsWebAddress(const QString& URL) {
  const QRegularExpressionMatch start = AddressStart().match(URL);
  return start.hasMatch() && start.capturedStart() == 0 && URL.size() > start.capturedLength();
}

QString LinkRefusal(const QString& URL) {
  if (IsWebAddress(URL)) return {};
  if (URL.isEmpty() || URL.startsWith('#')) return QObject::tr("Not opened: a place in the document the text came from.");
  static const QRegularExpression scheme("^([A-Za-z][A-Za-z0-9+.-]+):");
  if (const QRegularExpressionMatch match = scheme.match(URL); match.hasMatch())
    return QObject::tr("Not opened: only web and mail addresses open, not %1: links.").arg(match.captured(1).toLower());
  return QObject::tr("Not opened: only web and mail addresses open.");
}

QString LinkStatus(const QString& URL) {
  const QString refusal = LinkRefusal(URL);
  return refusal.isEmpty() ? URL : URL + " \u2014 " + refusal;
}

bool OpenURL(const QString& URL) {
  if (!IsWebAddress(URL)) return false;
  const QString address = URL.startsWith("www.", Qt::CaseInsensitive) ? "http://" + URL : URL;
  // The shell takes Windows-1252: letters beyond ASCII go as a browser sends them.
  const bool ascii = std::all_of(address.begin(), address.end(), [](QChar c) { return c.unicode() < 0x80; });
  return ShellOpen(ascii ? FromQString(address) : QUrl(address).toEncoded().toStdString());
}

} // namespace qel
