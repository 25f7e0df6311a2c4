#pragma once
// The sheet window: a multiple-document child in which the user sees and edits one sheet.
// A scroll box holds the paint box, which has the size of the whole zoomed sheet; only the
// visible part is drawn, through the sheet view into one off-screen bitmap of at most the
// visible size, and copied onto the paint box with a one-pixel shift (the bitmap's first row
// and column are not shown).
//
// Feedback (the rubber band, a resize outline, the outline of notes being moved, the ghost
// of a link whose handle is dragged) is drawn in xor on an overlay image through PaintCanvas,
// in paint-box pixels; drawing a shape twice removes it. The overlay is composed over the
// bitmap on every paint and dropped at the end of each gesture. While a gesture runs, paints
// only compose: the sheet itself is drawn again only after Redraw, a scroll or a resize.
//
// Handlers take paint-box pixels (scrolling included); they are plain methods that tests call
// directly, and the paint box's Qt events call them in the order the user's actions give.
// The window keeps its sheet, the selection and every item across events by weak reference.
#include "DragObjects.h"
#include "graphics/SheetView.h"
#include "model/PoolItem.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

class QAction;
class QDrag;
class QLabel;
class QMenu;
class QScrollArea;

namespace qel {

class TContainer;
class TEditLinkForm;
class TNotePrp;
class TSelDrawBot;
class TSheetItem;
class TSheetPrp;
class TTreeNodeItem;
class TDrawSheet;

enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// The paint box: forwards its Qt events to the window's handlers and paints the window's
// picture of the sheet.
class TSheetPaintBox : public QWidget {
  Q_OBJECT
public:
  TSheetPaintBox(TDrawSheet* form, QWidget* parent);
  // A drag began: the press makes no click.
  void CancelClick() { FClicked = false; }

protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  TDrawSheet* FForm;
  bool FClicked = false; // a press here whose release makes a click
  bool FPressed = false; // the left button went down here and its release has not come
  TDragObject* FDragObject = nullptr; // what the drag over the paint box carries
};

class TDrawSheet : public QWidget {
  Q_OBJECT
public:
  explicit TDrawSheet(QWidget* parent = nullptr);
  ~TDrawSheet() override;

  // ---- set-up, painting and zoom (SheetForm.cpp, SheetFormPaint.cpp)
  // Binds the window to a sheet of the project, right after creation, and paints it.
  void SetSheet(TContainer* Container, TSheetItem* Sheet);
  // The sheet shown; null once it has been deleted or its project freed.
  TSheetItem* GetSheet() const { return Sheet.Get(); }
  // Repaints; with Notify also refreshes the navigators, the sheet windows and the note window.
  void Redraw(bool Notify);
  void ZoomIn();
  void ZoomOut();
  void SetZoom(int Percent);
  void UpdateMenu();
  void PrepareBitmap();
  void DrawGrid();
  void SyncZoomCombo();
  void RefreshNoteWindow();
  // The bitmap of the visible part, drawn anew when the sheet, the scrolling or the size
  // changed since it was last drawn.
  const QImage& Picture();
  // What the paint box shows at its visible part: the bitmap with the xor feedback over it.
  // Pixel (0, 0) is paint-box pixel (horizontal scroll position, vertical scroll position).
  QImage Screen();
  // Scrolls by a wheel's angle (Shift: sideways); false for a wheel with Ctrl or Alt, which
  // does not scroll.
  bool PB_SheetWheel(QPoint Delta, Qt::KeyboardModifiers Keys);
  // Scroll positions of the scroll box.
  int ScrollX() const;
  int ScrollY() const;

  // ---- popup menu (SheetFormMenu.cpp)
  void MI_AllLinksClick();
  void MI_LineStyleClick();
  void MI_ExpandClick();

  // ---- mouse (SheetFormMouse.cpp); Buttons and Keys are the shift state
  void PB_SheetMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Keys, int X, int Y);
  void PB_SheetMouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Keys, int X, int Y);
  void PB_SheetMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Keys, int X, int Y);
  void DrawBand(int X, int Y);
  void EraseBand();
  void BeginResize(const TPosItem* Position, const TNoteItem* Note);
  void GhostHandleDrag(TPoint Point);
  void MoveHandle(TPoint Point);

  // ---- clicks and keys (SheetFormClicks.cpp)
  void PB_SheetClick();
  void PB_SheetDblClick();
  // Only Delete does something; the key is not consumed.
  void FormKeyDown(int Key, Qt::KeyboardModifiers Shift);
  // The release of the running gesture went elsewhere (a modal box took it): the gesture ends
  // without doing what its release would, and every flag a release clears is cleared.
  void EndLostGesture();

  // ---- drag and drop (SheetFormDrag.cpp)
  // Starts dragging the selected notes, when there are any; returns when the drag ended.
  void PB_SheetStartDrag();
  bool CanDropNotes(const TDragNotes* D) const;
  // Whether the drag object would be accepted at (X, Y).
  bool PB_SheetDragOver(TDragObject* Source, int X, int Y, TDragState State);
  void PB_SheetDragDrop(TDragObject* Source, int X, int Y);
  // The screen point of the note's top-left corner on this sheet.
  QPoint NoteScreenPos(const TNoteItem* Note) const;
  // Runs a drag started here until it ends; by default the platform's drag and drop.
  std::function<void(QDrag&)> ExecDrag;

  // ---- fields
  TNotePrp* NoteWindow = nullptr;         // owned (child window)
  TContainer* Container = nullptr;        // not owned
  TItemRef<TSheetItem> Sheet;
  TEditLinkForm* LinkEditor = nullptr;    // owned (child window)
  TSheetPrp* SheetPropWindow = nullptr;   // owned (child window)
  std::unique_ptr<TVCanvas> BitmapCanvas; // over Bitmap
  std::unique_ptr<TVCanvas> PaintCanvas;  // over the feedback overlay, in paint-box pixels
  QImage Bitmap;
  std::unique_ptr<TSheetView> View;
  std::unique_ptr<TSelDrawBot> Outline; // on PaintCanvas
  bool FirstGhost = false;
  bool Banding = false;
  int Corner = 4;
  bool Resizing = false;
  int LinkHandle = 2;
  bool HandleDragging = false;
  bool PressedOnNote = false;
  bool NoDrag = false;
  TPoint BandAnchor;
  TPoint BandEnd;
  TPoint PressPoint;
  TPoint LastPoint;
  TPoint HandleStart; // sheet units
  QLabel* LinkHint;   // owned (child window)
  // Shows the link hint with its top left corner at a screen point.
  void ShowLinkHint(const QPoint& corner);
  bool HintShown = false;
  bool LinkOnDrop = false;
  bool Dragging = false; // a drag started here is running

  // ---- components
  QScrollArea* SB_Sheet;
  TSheetPaintBox* PB_Sheet;
  QMenu* ME_FormPopup;
  QAction* MI_AllLinks;
  QAction* N1;
  QAction* MI_Expand;
  QAction* MI_LineStyle;

protected:
  void keyPressEvent(QKeyEvent* event) override;
  // The note and sheet windows of this window (and those opened from them) store first.
  void closeEvent(QCloseEvent* event) override;

private:
  friend class TSheetPaintBox;
  void FormCreate();
  void CreateComponents();
  // "Worksheet - " with the sheet's name and the zoom drawn at.
  void UpdateCaption();
  // Takes the window's entry out of its sheet's tree nodes.
  void ForgetCaptionNode();
  void CreateOwnWindows();
  // The paint box takes the size of the zoomed sheet.
  void SizePaintBox();
  // Draws the view into the bitmap at the current scrolling.
  void Render();
  void ForEachCanvas(const std::function<void(TVCanvas&)>& step);
  // The overlay, made when the first shape of a gesture is drawn.
  void BeginFeedback();
  // Drops the overlay and every shape on it.
  void ClearFeedback();
  void FeedbackChanged();
  void DrawXorRect(TPoint a, TPoint b);
  // The paint box's events around the handlers.
  void PaintBoxPaint(QPainter& painter);
  // The end of a drag started here, as a release at the last drag point.
  void EndOwnDrag();
  // What a press at (X, Y) grabs: a corner (0 to 3, else 4) of the one selected note under
  // the pointer, or else a control handle (0 or 1, else 2) of the selected link.
  struct TGrab {
    int Corner;
    int Handle;
  };
  TGrab GrabAt(int X, int Y) const;
  // Whether a press started a band, a resize, a handle drag or a note press not yet released.
  bool GestureRunning() const;
  void StartResize(int corner);
  void StartHandleDrag(int handle, int X, int Y);
  void SetHandleOffset(TLinkItem* Link, int Handle, TPoint Offset);
  // A zoom while a band, a resize or a handle drag runs: the gesture goes on in sheet units.
  void FollowZoom();
  void PressOnSheet(int X, int Y);
  void HoverState(int X, int Y);
  void EndResize(int X, int Y);
  void SelectAt(Qt::KeyboardModifiers Keys, int X, int Y);
  // Whether the link is drawn on this sheet.
  bool LinkShownHere(const TLinkItem* Link) const;
  void EditLink(TLinkItem* Link);
  void ShowNoteWindow(TNoteItem* Note);
  void PlaceFreeWindow(QWidget* window) const;
  // Places one linked note below the expanded one, when it is not placed here yet.
  void ExpandOne(TNoteItem* Linked, int32_t& X, int32_t Y0, int i);
  // Shows the move outline at its last place, or removes it from there.
  void DrawOutline();
  void DragNotesOver(TDragNotes* D, int X, int Y, TDragState State);
  void DropNotes(TDragNotes* D, int X, int Y);
  void LinkDroppedNote(TDragNotes* D, int X, int Y);
  void DropNewNote(int X, int Y);
  // Whether the dragged note may be linked to the note under the pointer.
  bool MayLink(const TDragNotes* D, const TNoteItem* Target) const;
  void HideLinkHint();

  std::unique_ptr<TCanvas> FBitmapCanvas;
  std::unique_ptr<TCanvas> FOverlayCanvas;
  QImage FOverlay;
  QImage FScreen; // Screen's image, kept for the next call
  QPoint FOverlayOrigin; // paint-box pixel of the overlay's top-left corner
  bool FDirty = true;
  QPoint FRenderedScroll{-1, -1};
  QSize FRenderedSize;
  // Entered among the sheet's tree nodes, so that renaming the sheet renames the caption.
  class TCaptionNode;
  std::unique_ptr<TCaptionNode> FCaptionNode;
  TItemRef<TTreeNodeItem> FCaptionEntry;
  int FResizeCorner = 4; // the corner grabbed by the running resize
  TItemRef<TNoteItem> FResizeNote;
  TPoint FAnchorWorld; // the fixed corner of the band or resize, sheet units
  TPoint FPressWorld;  // where a handle drag began, sheet units
  TPoint FDragPoint;   // the last point a drag passed over the paint box
};

// The sheet window made last by the main window, the navigator or the search window.
extern TDrawSheet* DrawSheet;

} // namespace qel
