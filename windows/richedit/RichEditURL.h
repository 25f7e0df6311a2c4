#pragma once
// The rich-text control of the note window and the sheet property window: a QTextEdit that
// reads and writes its text as RTF, recognises web addresses in the text (underlined, shown by
// a highlighter, not stored) and reports a left click on one or on a link of the text (each shows
// its target in a tool tip first; links always look like links; a Ctrl+click or a drag places
// the caret in them instead), and
// prints itself into a page rectangle with a caption line on the first page. An image pasted
// from another program or a dropped picture file becomes a picture of the text.
#include <QRect>
#include <QTextEdit>
#include <functional>
#include <string>

class QImage;
class QKeyEvent;
class QPrinter;
class QSyntaxHighlighter;

namespace qel {

class TRichEditURL;
using TURLClickEvent = std::function<void(TRichEditURL* Sender, const QString& URL)>;

class TRichEditURL : public QTextEdit {
  Q_OBJECT
public:
  explicit TRichEditURL(QWidget* parent = nullptr);

  // Called with the address text after a left click on a detected address; may be empty.
  TURLClickEvent OnURLClick;
  // Called with what a status line shows of the link under the mouse or just clicked (its
  // target, or why it does not open), and with an empty text when the mouse leaves it.
  std::function<void(const QString& status)> OnLinkStatus;
  // Where Print places the text, in printer pixels; empty: the whole page.
  QRect PageRect;
  // Files other than ".rtf" and ".txt" are saved as plain text (true) or as rich text (false).
  bool PlainText = false;
  // Offered every Ctrl key but the editing ones (copy, cut, paste, undo, redo, select all)
  // first; true when the program took it (a shortcut of a window).
  std::function<bool(QKeyEvent* key)> OnProgramKey;

  // Replaces the text with an RTF string (or plain Windows-1252 text when it is not RTF):
  // the undo history is cleared and the text is unmodified afterwards.
  void SetRichText(const std::string& rtf);
  // The text as RTF. Unchanged since SetRichText (or MarkStored), it is that string.
  std::string GetRichText() const;
  // Whether the text or its formats changed since SetRichText or MarkStored.
  bool ChangedSinceLoad() const;
  // The text as it is now was stored as rtf.
  void MarkStored(const std::string& rtf);
  // The text with CR LF line ends, as Windows-1252.
  std::string GetPlainText() const;
  // Replaces the text with plain text (CR LF or LF line ends), as SetRichText does.
  void SetPlainTextAnsi(const std::string& text);
  void SetPlainText(QString text);

  // The file's content: rich text when it starts with "{\rtf", else plain Windows-1252 text.
  // Raises EInOutError; the text is unchanged then.
  void LoadFromFile(const std::string& fileName);
  // Rich text into ".rtf", plain text into ".txt", other names as PlainText says. Raises
  // EInOutError.
  void SaveToFile(const std::string& fileName) const;
  static bool IsRtf(const std::string& bytes);

  // The range [start, end) of the detected address at a character position, or false.
  bool URLAt(int position, int& start, int& end) const;
  // The range [start, end) of the link (a field of rich text) at a character position and its
  // target, or false.
  bool LinkAt(int position, int& start, int& end, QString& target) const;
  // The link or address under a point of the viewport: its range and target (the address).
  bool TargetAt(const QPoint& point, int& start, int& end, QString& target) const;
  // Selects the link or address under a point of the viewport and reports its target (the
  // address); a target that does not open says why in a tool tip. True when there was one.
  bool ClickAt(const QPoint& point);
  void DoURLClick(const QString& URL);

  // Prints the whole text on the printer, the job titled Caption, the caption written at
  // printer pixel (300, 300) of the first page. Returns the number of pages printed (0 when
  // the printer could not start).
  int Print(const QString& Caption, QPrinter& printer);
  // The printer's page less margins of 1 inch left, 1.5 inch top, 0.75 inch right and 1 inch
  // bottom, in printer pixels.
  static QRect PrintMargins(const QPrinter& printer);

protected:
  // A left click (no drag, no Ctrl) on a link opens it when the button is released.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  // Ctrl+B bold; Ctrl+E, Ctrl+L, Ctrl+R centred, left and right alignment.
  void keyPressEvent(QKeyEvent* event) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  QMimeData* createMimeDataFromSelection() const override;

private:
  // The position of the character under a viewport point, or -1.
  int CharacterAt(const QPoint& point) const;
  // Arrow keys pass over hidden text as over nothing, deleting keys act on the shown character
  // beyond it; true when the key was handled.
  bool PassHiddenText(QKeyEvent* event);
  void ShowLinkStatus(const QString& status);
  void ResetHistory();
  // Inserts a picture at the caret: an image on the clipboard, a dropped picture file.
  void InsertPicture(const QImage& picture);

  QSyntaxHighlighter* FHighlighter;
  std::string FLoadedRtf; // what SetRichText was given
  bool FHasLoaded = false;
  int FLoadedRevision = 0; // the document's revision then
  QPoint FPressedOnLink{-1, -1}; // where a left button went down on a link
  QString FLinkStatus;            // shown for the link under the mouse
};

// Whether the text is a web or mail address: "http://", "https://", "ftp://", "mailto:" or
// "www." (any case) followed by something.
bool IsWebAddress(const QString& URL);
// Why a link's target is not opened (a sentence for a tool tip or status line); empty for web
// and mail addresses, which open.
QString LinkRefusal(const QString& URL);
// What a tool tip or status line shows of a link's target: the target as written, or why it
// does not open.
QString LinkStatus(const QString& URL);
// Opens a web or mail address with the desktop's browser ("www." addresses as http), letters
// beyond ASCII as written (percent-encoded in UTF-8); false on failure and for anything else.
bool OpenURL(const QString& URL);

} // namespace qel
