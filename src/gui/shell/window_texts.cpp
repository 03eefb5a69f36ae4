#include "gui/shell/window_texts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QWidget>

#include "engine/text_toolkit.h"
#include "gui/shell/qt_text.h"
#include "language/text_lookup.h"
#include "shell/codec.h"
#include "shell/context.h"

namespace quillo {
namespace {

const std::string* ValueOf(const IniPairs& pairs, const QString& name) {
  if (name.isEmpty()) return nullptr;
  const std::string key = FromQt(name);
  for (const auto& [k, v] : pairs) {
    if (EqualsNoCase1252(k, key)) return &v;
  }
  return nullptr;
}

// A caption or tooltip: "\xA6" breaks the line.
QString Caption(const std::string& value) {
  QString text = ToQt(value);
  text.replace(QChar(0xA6), QChar('\n'));
  return text;
}

// Field i + 1 of the value cut at "\xA6".
QString Field(const std::string& value, int i) { return ToQt(GetField(value, "\xA6", i + 1)); }

void Apply(QWidget* widget, const std::string& value, bool isWindow) {
  const std::string name = FromQt(widget->objectName());
  if (isWindow) {
    widget->setWindowTitle(Caption(value));
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(Caption(value));
  } else if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget)) {
    static_cast<QAbstractButton*>(widget)->setText(Caption(value));
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    if (TakesCaption(name)) {
      button->setText(Caption(value));
    } else {
      button->setToolTip(Caption(value));
    }
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(Caption(value));
  } else if (auto* bar = qobject_cast<QStatusBar*>(widget)) {
    int i = 0;
    for (QLabel* panel : bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
      panel->setText(Field(value, i++));
  } else if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
    for (int i = 0; i < tree->columnCount(); ++i) tree->headerItem()->setText(i, Field(value, i));
  } else if (auto* view = qobject_cast<QAbstractItemView*>(widget)) {
    if (QAbstractItemModel* model = view->model())
      for (int i = 0; i < model->columnCount(); ++i)
        model->setHeaderData(i, Qt::Horizontal, Field(value, i));
  } else if (QWidget* parent = widget->parentWidget()) {
    // A page of a tab control takes the caption as its tab text.
    if (auto* tabs = qobject_cast<QTabWidget*>(parent->parentWidget())) {
      const int index = tabs->indexOf(widget);
      if (index >= 0) tabs->setTabText(index, Caption(value));
    }
  }
}

}  // namespace

void TranslateWindow(QWidget* window, const IniPairs& pairs) {
  if (!window || pairs.empty()) return;
  if (const std::string* value = ValueOf(pairs, window->objectName())) Apply(window, *value, true);
  for (QWidget* child : window->findChildren<QWidget*>()) {
    // Windows of their own (dialogs owned by this one) are re-labelled by their own section.
    if (child->window() != window) continue;
    if (const std::string* value = ValueOf(pairs, child->objectName())) Apply(child, *value, false);
  }
  for (QAction* action : window->findChildren<QAction*>()) {
    if (auto* owner = qobject_cast<QWidget*>(action->parent()); owner && owner->window() != window)
      continue;
    if (const std::string* value = ValueOf(pairs, action->objectName()))
      action->setText(Caption(*value));
  }
}

void TranslateWindow(QWidget* window, const Context& ctx, const char* section) {
  if (!ctx.lookup) return;
  TranslateWindow(window, ctx.lookup->WindowTexts(section));
}

}  // namespace quillo
