// Every window and dialog of the program, opened at its own size: no label, button, check
// box, radio button, group box title, tab, header or status bar message has less room than its
// text needs or shares its place with another control, no label shows a literal "&", and a
// dialog's title bar holds its whole title.
#include "ShellFixture.h"

#include "windows/sheet/SheetForm.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/QtConvert.h"
#include "windows/search/ExportData.h"
#include "windows/search/Search.h"
#include "windows/search/SearchColorPanel.h"
#include "shell/About.h"
#include "shell/AutoSave.h"
#include "shell/Main.h"
#include "shell/QELStart.h"
#include "shell/SaveLoad.h"
#include "windows/props/AttachmentProp.h"
#include "windows/links/EditLink.h"
#include "windows/nav/Navigator.h"
#include "windows/links/NewLink.h"
#include "windows/props/NoteProp.h"
#include "windows/props/NotePropReplaceDialog.h"
#include "windows/links/RelationFrm.h"
#include "windows/props/SheetProp.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyleOption>
#include <QTabBar>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <memory>
#include <set>

namespace qel::test {
namespace {

// The style options the widgets draw with (their builders are protected).
struct TButtonOption : QPushButton {
  using QPushButton::initStyleOption;
};
struct TCheckOption : QCheckBox {
  using QCheckBox::initStyleOption;
};
struct TRadioOption : QRadioButton {
  using QRadioButton::initStyleOption;
};
struct TGroupOption : QGroupBox {
  using QGroupBox::initStyleOption;
};
struct TTabOption : QTabBar {
  using QTabBar::initStyleOption;
};

// The text as shown where "&" marks a mnemonic ("&&" shows one "&"). A label without a buddy
// shows every "&" as it is.
QString Shown(const QString& text) {
  QString out;
  for (int i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

bool HasLiteralAmpersand(const QString& text) { return Shown(text) != QString(text).replace("&&", "&"); }

class TLayoutCheck {
public:
  explicit TLayoutCheck(QWidget* window) : FWindow(window) {}

  // Checks the window with every page of every stacked widget (tab pages included) shown in turn.
  std::set<std::string> Run() {
    CheckShown();
    for (QStackedWidget* stack : FWindow->findChildren<QStackedWidget*>()) {
      ShowPath(stack);
      const int current = stack->currentIndex();
      for (int i = 0; i < stack->count(); ++i) {
        stack->setCurrentIndex(i);
        CheckShown();
      }
      stack->setCurrentIndex(current);
    }
    return FCut;
  }

private:
  // Makes each stacked widget above the widget show the page that holds it.
  static void ShowPath(QWidget* widget) {
    for (QWidget* child = widget; child && child->parentWidget(); child = child->parentWidget())
      if (auto* stack = qobject_cast<QStackedWidget*>(child->parentWidget())) stack->setCurrentWidget(child);
  }

  void CheckShown() {
    QApplication::processEvents();
    if (FWindow->isWindow() && !qobject_cast<QMdiSubWindow*>(FWindow->parentWidget()) &&
        !(FWindow->windowFlags() & Qt::FramelessWindowHint) && FWindow->windowFlags().testFlag(Qt::Dialog) &&
        FWindow->width() < TitleBarWidth(FWindow->windowTitle()))
      Report(FWindow, "title " + FWindow->windowTitle(), QSize(TitleBarWidth(FWindow->windowTitle()), 0),
             FWindow->size());
    QList<QWidget*> widgets = FWindow->findChildren<QWidget*>();
    widgets.prepend(FWindow);
    CollectCovering(widgets);
    for (QWidget* widget : widgets) {
      if (!widget->isVisibleTo(FWindow) && widget != FWindow) continue;
      if (widget->isWindow() && widget != FWindow) continue; // checked as a window of its own
      if (auto* label = qobject_cast<QLabel*>(widget))
        CheckLabel(label);
      else if (auto* button = qobject_cast<QPushButton*>(widget))
        CheckButton(button);
      else if (auto* check = qobject_cast<QCheckBox*>(widget))
        CheckCheck(check);
      else if (auto* radio = qobject_cast<QRadioButton*>(widget))
        CheckRadio(radio);
      else if (auto* box = qobject_cast<QGroupBox*>(widget))
        CheckGroup(box);
      else if (auto* tabs = qobject_cast<QTabBar*>(widget))
        CheckTabs(tabs);
      else if (auto* header = qobject_cast<QHeaderView*>(widget))
        CheckHeader(header);
      else if (auto* bar = qobject_cast<QStatusBar*>(widget))
        CheckStatusBar(bar);

      else if (auto* tool = qobject_cast<QToolButton*>(widget);
               tool && tool->toolButtonStyle() != Qt::ToolButtonIconOnly)
        Judge(tool, tool->text(), tool->contentsRect().adjusted(2, 0, -2, 0), {}, Qt::AlignCenter);
    }
  }

  void CheckLabel(QLabel* label) {
    const QString text = label->text();
    if (text.isEmpty() || !label->pixmap().isNull()) return;
    const QRect room =
        label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
    if (label->textFormat() == Qt::RichText || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
      const QSize need =
          label->wordWrap() ? QSize(room.width(), label->heightForWidth(label->width())) : label->sizeHint();
      if (need.width() > label->width() || need.height() > label->height()) Report(label, text, need, label->size());
      return;
    }
    if (!label->buddy() && HasLiteralAmpersand(text)) Report(label, text + " (a literal &)", {}, {});
    const QFontMetrics metrics = label->fontMetrics();
    const int flags = (label->buddy() ? Qt::TextShowMnemonic : 0) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    const QSize need =
        metrics.boundingRect(QRect(0, 0, label->wordWrap() ? room.width() : 100000, 100000), flags, text).size();
    Judge(label, text, room, need, label->alignment());
  }

  void CheckButton(QPushButton* button) {
    QStyleOptionButton option;
    (button->*(&TButtonOption::initStyleOption))(&option);
    QSize need = button->fontMetrics().size(Qt::TextShowMnemonic, option.text);
    if (!option.icon.isNull()) need.rwidth() += option.iconSize.width() + 4;
    const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    if (!option.text.isEmpty()) Judge(button, option.text, room, need, Qt::AlignCenter);
  }

  void CheckCheck(QCheckBox* check) {
    QStyleOptionButton option;
    (check->*(&TCheckOption::initStyleOption))(&option);
    Judge(check, option.text, check->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, check));
  }

  void CheckRadio(QRadioButton* radio) {
    QStyleOptionButton option;
    (radio->*(&TRadioOption::initStyleOption))(&option);
    Judge(radio, option.text, radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio));
  }

  void CheckGroup(QGroupBox* box) {
    if (box->title().isEmpty()) return;
    QStyleOptionGroupBox option;
    (box->*(&TGroupOption::initStyleOption))(&option);
    const QRect label = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    Judge(box, box->title(), label.intersected(box->rect()));
  }

  void CheckTabs(QTabBar* tabs) {
    for (int i = 0; i < tabs->count(); ++i) {
      if (!tabs->isTabVisible(i)) continue;
      QStyleOptionTab option;
      (tabs->*(&TTabOption::initStyleOption))(&option, i);
      const QRect text = tabs->style()->subElementRect(QStyle::SE_TabBarTabText, &option, tabs);
      const QRect tab = tabs->tabRect(i);
      const QSize need = tabs->fontMetrics().size(Qt::TextShowMnemonic, tabs->tabText(i));
      if (need.width() > text.width() || tab.left() < 0 || tab.right() >= tabs->width())
        Report(tabs, tabs->tabText(i), need, tab.intersected(tabs->rect()).size());
    }
  }

  void CheckHeader(QHeaderView* header) {
    QAbstractItemModel* model = header->model();
    if (!model) return;
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int i = 0; i < header->count(); ++i) {
      if (header->isSectionHidden(i)) continue;
      const QString text = model->headerData(i, header->orientation()).toString();
      if (text.isEmpty()) continue;
      if (text.contains('&')) Report(header, text + " (a literal &)", {}, {});
      const QSize need(header->fontMetrics().horizontalAdvance(text) + 2 * margin, header->fontMetrics().height());
      const QSize room = header->orientation() == Qt::Horizontal ? QSize(header->sectionSize(i), header->height())
                                                                 : QSize(header->width(), header->sectionSize(i));
      if (need.width() > room.width() || need.height() > room.height()) Report(header, text, need, room);
    }
  }

  // A status bar draws its message itself, from 6 pixels in, beside its permanent widgets.
  void CheckStatusBar(QStatusBar* bar) {
    const QString message = bar->currentMessage();
    if (message.isEmpty()) return;
    QRect room = bar->rect().adjusted(6, 0, -12, 0);
    for (QWidget* child : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (child->isVisibleTo(bar) && child->geometry().left() > room.left())
        room.setRight(std::min(room.right(), child->geometry().left() - 1));
    Judge(bar, message, room, bar->fontMetrics().size(Qt::TextSingleLine, message));
  }

  // Whether the widget shows what lies below it around its text.
  static bool SeeThrough(const QWidget* widget) {
    return !widget->autoFillBackground() &&
           (qobject_cast<const QLabel*>(widget) || qobject_cast<const QCheckBox*>(widget) ||
            qobject_cast<const QRadioButton*>(widget) || qobject_cast<const QGroupBox*>(widget) ||
            qobject_cast<const QStatusBar*>(widget) || qobject_cast<const QToolButton*>(widget));
  }

  // The text needs its size within the room, and no other control may share its place: one
  // drawn above it covers it, and one below shows through where the text's widget is clear.
  void Judge(QWidget* widget, const QString& text, const QRect& room, QSize need = {},
             Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    if (text.isEmpty()) return;
    // Blanks at the end take no room on screen.
    if (!need.isValid())
      need = widget->fontMetrics().size(Qt::TextShowMnemonic, QString(text).remove(QRegularExpression("\\s+$")));
    if (need.width() > room.width() || need.height() > room.height()) Report(widget, text, need, room.size());
    const QRect drawn = QStyle::alignedRect(Qt::LeftToRight, alignment, need.boundedTo(room.size()), room);
    const QRect inWindow(widget->mapTo(FWindow, drawn.topLeft()), drawn.size());
    for (QWidget* other : FCovering) {
      if (other == widget || other->isAncestorOf(widget) || widget->isAncestorOf(other)) continue;
      const bool above = IsAbove(other, widget);
      if (!above && !SeeThrough(widget)) continue;
      // A box laid above the whole text stands in for it (an edit over its caption).
      const QRect area(other->mapTo(FWindow, QPoint(0, 0)), other->size());
      if (area.intersects(inWindow) && !(above && area.contains(inWindow)))
        Report(widget, text + " (covered by " + other->metaObject()->className() + ")", need, room.size());
    }
  }

  // Whether a is painted above b: the later of the two branches under their common ancestor.
  static bool IsAbove(QWidget* a, QWidget* b) {
    for (QWidget* upper = a; upper->parentWidget(); upper = upper->parentWidget()) {
      QWidget* common = upper->parentWidget();
      if (!common->isAncestorOf(b)) continue;
      QWidget* lower = b;
      while (lower->parentWidget() != common)
        lower = lower->parentWidget();
      const QObjectList& order = common->children();
      return order.indexOf(upper) > order.indexOf(lower);
    }
    return false;
  }

  // The widgets that paint over what lies below them.
  void CollectCovering(const QList<QWidget*>& widgets) {
    FCovering.clear();
    for (QWidget* widget : widgets)
      if (widget != FWindow && !widget->isWindow() && widget->isVisibleTo(FWindow) &&
          (qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
           qobject_cast<QAbstractSpinBox*>(widget) || qobject_cast<QAbstractButton*>(widget) ||
           qobject_cast<QAbstractScrollArea*>(widget) || qobject_cast<QProgressBar*>(widget) ||
           widget->autoFillBackground()))
        FCovering.push_back(widget);
  }

  void Report(QWidget* widget, const QString& text, const QSize& need, const QSize& room) {
    FCut.insert(FromQString(QString("%1: %2 \"%3\" needs %4x%5, has %6x%7")
                                .arg(FWindow->metaObject()->className(), widget->metaObject()->className(), text)
                                .arg(need.width())
                                .arg(need.height())
                                .arg(room.width())
                                .arg(room.height())));
  }

  QWidget* FWindow;
  std::vector<QWidget*> FCovering;
  std::set<std::string> FCut;
};

std::string Joined(const std::set<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines)
    out += "\n  " + line;
  return out;
}

class LayoutTest : public ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    OpenProject({3, 2, 1, 2});
    QELMain->resize(1024, 768);
    QELMain->show();
    QApplication::processEvents();
  }
  // Shows a window at its own size and checks it.
  void Expect(QWidget* window) {
    window->show();
    QApplication::processEvents();
    const std::set<std::string> cut = TLayoutCheck(window).Run();
    EXPECT_TRUE(cut.empty()) << "texts that do not fit:" << Joined(cut);
  }
  TNoteItem* Note() { return Project().GetNote(0); }
};

TEST_F(LayoutTest, MainWindowAndTheNavigatorWithEveryPropertyPage) {
  Expect(QELMain);
  // Each zoom entry fits the zoom box.
  QComboBox* zoom = QELMain->CB_Zoom;
  QStyleOptionComboBox option;
  option.initFrom(zoom);
  option.subControls = QStyle::SC_All;
  const QRect field = zoom->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, zoom);
  for (int i = 0; i < zoom->count(); ++i)
    EXPECT_LE(zoom->fontMetrics().horizontalAdvance(zoom->itemText(i)), field.width())
        << FromQString(zoom->itemText(i));
  // Each kind of node shows its own page beside the tree.
  QTreeWidget* tree = NavForm->TV_Container;
  std::vector<QTreeWidgetItem*> nodes{tree->topLevelItem(0)};
  for (size_t i = 0; i < nodes.size() && i < 40; ++i) {
    nodes[i]->setExpanded(true);
    QApplication::processEvents();
    for (int c = 0; c < nodes[i]->childCount() && c < 3; ++c)
      nodes.push_back(nodes[i]->child(c));
  }
  std::set<std::string> cut;
  std::set<QWidget*> pages;
  for (QTreeWidgetItem* node : nodes) {
    tree->setCurrentItem(node);
    NavForm->TV_ContainerChange();
    NavForm->RefreshItem(nullptr, false); // the page follows the selection, as after a click
    QApplication::processEvents();
    ASSERT_TRUE(NavForm->PC_Property->currentWidget()->isVisible()) << FromQString(node->text(0));
    pages.insert(NavForm->PC_Property->currentWidget());
    cut.merge(TLayoutCheck(NavForm).Run());
  }
  EXPECT_EQ(pages.size(), size_t(NavForm->PC_Property->count())) << "every page was checked";
  EXPECT_TRUE(cut.empty()) << "texts that do not fit:" << Joined(cut);
}

TEST_F(LayoutTest, ShellWindows) {
  Expect(frmAutoSave);
  Expect(frm_about);
  Expect(SaveLoadFrm);
  TStartForm start(QELMain);
  Expect(&start);
  RelationForm->SetContainer(&Project());
  Expect(RelationForm);
}

TEST_F(LayoutTest, InputBoxShowsItsWholeTitle) {
  TInputBox box(QELMain, "New sheet name?", "Name of the sheet:", "New sheet");
  Expect(&box);
  TInputBox relation(QELMain, "Create new relation", "Relation type ", "");
  Expect(&relation);
  TInputBox address(QELMain, "Enter URL", "URL ", "");
  Expect(&address);
}

TEST_F(LayoutTest, NoteSheetAndAttachmentWindows) {
  NotePrp->Container = &Project();
  NotePrp->ShowNote(Note(), Project().RelationPool.get(), Project().LinkPool.get());
  Expect(NotePrp);
  auto sheet = std::make_unique<TSheetPrp>(nullptr, Qt::Window);
  sheet->ShowItem(Project().GetSheet(0));
  Expect(sheet.get());
  auto attachment = std::make_unique<TAttachPrp>(nullptr, Qt::Window);
  attachment->ShowItem(Project().GetAttachment(0));
  Expect(attachment.get());
  TReplaceDialog replace;
  Expect(&replace);
}

TEST_F(LayoutTest, LinkDialogs) {
  NewLinkForm->Setup(&Project(), Note(), Project().GetNote(1), Project().GetSheet(0));
  Expect(NewLinkForm);
  TEditLinkForm edit;
  edit.SetupLink(&Project(), Project().GetLink(0));
  Expect(&edit);
}

TEST_F(LayoutTest, SheetWindowAndItsLinkHint) {
  auto* window = new TDrawSheet();
  QELMain->AddChildWindow(window);
  window->SetSheet(&Project(), Project().GetSheet(0));
  Expect(window);
  window->ShowLinkHint(QPoint(100, 100));
  Expect(window->LinkHint);
}

TEST_F(LayoutTest, ExportWindow) { Expect(ExpDataFrm); }

TEST_F(LayoutTest, SearchWindow) {
  QELMain->ShowSearchWindow();
  Expect(frmSearch);
  // The colour filters lie within their pages, not beyond the window's right edge.
  const std::vector<QWidget*> filters = {frmSearch->chk_notecolor,        frmSearch->pnl_notecolor,
                                         frmSearch->chk_noteonsheetcolor, frmSearch->pnl_noteonsheetcolor,
                                         frmSearch->chk_sheetcolor,       frmSearch->pnl_sheetcolor};
  for (QWidget* filter : filters) {
    frmSearch->SearchKind->setCurrentWidget(filter->parentWidget());
    QApplication::processEvents();
    EXPECT_TRUE(filter->parentWidget()->rect().contains(filter->geometry())) << filter->metaObject()->className();
  }
}

} // namespace
} // namespace qel::test
