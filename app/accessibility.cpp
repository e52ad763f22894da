#include "app/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QVariant>
#include <memory>
#include <vector>

#include "app/pick_list.h"
#include "platform/dialog/dialog.h"
#include "platform/dialog/ip_address_ctrl.h"
#include "platform/dialog/progress_ctrl.h"
#include "platform/dialog/static_ctrl.h"
#include "platform/dialog/win_types.h"
#include "skin/skin_scrollbar.h"

namespace {

using Relations = QList<QPair<QAccessibleInterface*, QAccessible::Relation>>;

// The label of a control and the control of a label, kept as properties so
// that an interface made before the labelling still finds them.
constexpr const char* kLabelProperty = "ostrelAccessibleLabel";
constexpr const char* kLabelForProperty = "ostrelAccessibleLabelFor";

// Controls a static text beside them labels without being told: edits,
// choice boxes and address controls.
bool TakesStaticLabel(const QObject* object) {
    return qobject_cast<const QLineEdit*>(object) != nullptr ||
           qobject_cast<const QComboBox*>(object) != nullptr ||
           qobject_cast<const CIPAddressCtrl*>(object) != nullptr;
}

// The label of a control: the one it was given, else the static text beside
// it in its dialog.
QObject* LabelOf(const QObject* control) {
    if (control == nullptr) {
        return nullptr;
    }
    if (auto* label = control->property(kLabelProperty).value<QObject*>()) {
        return label;
    }
    const auto* widget = qobject_cast<const QWidget*>(control);
    if (widget && TakesStaticLabel(widget) &&
        qobject_cast<const CDialog*>(widget->parentWidget()) != nullptr) {
        return StaticLabelOf(*widget);
    }
    return nullptr;
}

// The control a static text labels.
QObject* LabelledBy(const CStatic* label) {
    if (auto* control = label->property(kLabelForProperty).value<QObject*>()) {
        return control;
    }
    if (label->parentWidget() == nullptr) {
        return nullptr;
    }
    for (QObject* sibling : label->parentWidget()->children()) {
        if (TakesStaticLabel(sibling) && LabelOf(sibling) == label) {
            return sibling;
        }
    }
    return nullptr;
}

// `match` asks for `relation`: the relation (the other object's part) with
// the other object's interface, when there is one.
void AddRelation(Relations& relations, QAccessible::Relation match, QAccessible::Relation relation,
                 QObject* other) {
    if ((match & relation) == 0 || other == nullptr) {
        return;
    }
    if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(other)) {
        relations.append({iface, relation});
    }
}

// The item a choice box shows, as read-only text: a choice box named by its
// label tells its current item this way (Qt's own tells it as its name).
class ChoiceText : public QAccessibleTextInterface {
public:
    explicit ChoiceText(QComboBox* box) : box_(box) {}

    QString text(int startOffset, int endOffset) const override {
        return current().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(current().size()); }
    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return {};
    }

private:
    QString current() const { return box_ ? box_->currentText() : QString(); }
    QPointer<QComboBox> box_;
};

// A control of Qt's own (an edit, a choice box) as Qt tells it, with the
// name and label this program gives it. Qt names a choice box by its
// current item on this platform; a name given here comes first.
class LabelledAccessible : public QAccessibleInterface {
public:
    explicit LabelledAccessible(QAccessibleInterface* inner)
        : inner_(inner), innerId_(QAccessible::uniqueId(inner)) {
        auto* box = qobject_cast<QComboBox*>(inner->object());
        if (box != nullptr && inner->textInterface() == nullptr) {
            choiceText_ = std::make_unique<ChoiceText>(box);
        }
    }
    ~LabelledAccessible() override { QAccessible::deleteAccessibleInterface(innerId_); }

    bool isValid() const override { return inner_->isValid(); }
    QObject* object() const override { return inner_->object(); }
    QWindow* window() const override { return inner_->window(); }
    Relations relations(QAccessible::Relation match) const override {
        Relations relations = inner_->relations(match);
        AddRelation(relations, match, QAccessible::Label, LabelOf(object()));
        return relations;
    }
    QAccessibleInterface* focusChild() const override { return inner_->focusChild(); }
    QAccessibleInterface* childAt(int x, int y) const override { return inner_->childAt(x, y); }
    QAccessibleInterface* parent() const override { return inner_->parent(); }
    QAccessibleInterface* child(int index) const override { return inner_->child(index); }
    int childCount() const override { return inner_->childCount(); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return inner_->indexOfChild(child);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            if (const auto* widget = qobject_cast<const QWidget*>(object());
                widget && !widget->accessibleName().isEmpty()) {
                return widget->accessibleName();
            }
            if (const auto* label = qobject_cast<const CStatic*>(LabelOf(object()))) {
                return LabelName(*label);
            }
        }
        return inner_->text(t);
    }
    void setText(QAccessible::Text t, const QString& text) override { inner_->setText(t, text); }
    QRect rect() const override { return inner_->rect(); }
    QAccessible::Role role() const override { return inner_->role(); }
    QAccessible::State state() const override { return inner_->state(); }
    QColor foregroundColor() const override { return inner_->foregroundColor(); }
    QColor backgroundColor() const override { return inner_->backgroundColor(); }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface && choiceText_) {
            return static_cast<QAccessibleTextInterface*>(choiceText_.get());
        }
        return inner_->interface_cast(type);
    }

private:
    QAccessibleInterface* inner_;
    QAccessible::Id innerId_;
    std::unique_ptr<ChoiceText> choiceText_;
};

// A static text: read as its text, and the label of the control it names.
// The skin's scroll bars are statics too; they are scroll bars to a reader.
class StaticAccessible : public QAccessibleWidget {
public:
    StaticAccessible(CStatic* control, QAccessible::Role role)
        : QAccessibleWidget(control, role), static_(control) {}

    QString text(QAccessible::Text t) const override {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty()) {
            text = static_->GetWindowText().trimmed();
        }
        return text;
    }
    Relations relations(QAccessible::Relation match) const override {
        Relations relations = QAccessibleWidget::relations(match);
        AddRelation(relations, match, QAccessible::Labelled, LabelledBy(static_));
        return relations;
    }

private:
    CStatic* static_;
};

// A dialog: named by its caption, or by its first line where it has none.
class DialogAccessible : public QAccessibleWidget {
public:
    explicit DialogAccessible(QWidget* dialog) : QAccessibleWidget(dialog, QAccessible::Dialog) {}

    QString text(QAccessible::Text t) const override {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty()) {
            text = FirstLineOf(*widget());
        }
        return text;
    }
};

// The address control as a group of its four parts, labelled like them.
class AddressAccessible : public QAccessibleWidget {
public:
    explicit AddressAccessible(CIPAddressCtrl* control)
        : QAccessibleWidget(control, QAccessible::Grouping) {}

    Relations relations(QAccessible::Relation match) const override {
        Relations relations = QAccessibleWidget::relations(match);
        AddRelation(relations, match, QAccessible::Label, LabelOf(object()));
        return relations;
    }
};

// One row of a pick list: read as its cells, pressed as a click on it.
class RowAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    RowAccessible(PickListCtrl* list, int row) : list_(list), row_(row) {}

    bool isValid() const override { return list_ && row_ < list_->GetItemCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(list_.data());
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override {
        return isValid() && t == QAccessible::Name ? list_->RowSpokenText(row_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect shown = list_->GetItemRect(row_).intersected(list_->viewport()->geometry());
        return QRect(list_->mapToGlobal(shown.topLeft()), shown.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.focusable = true;
        state.selectable = true;
        state.selected = (list_->GetItemState(row_, LVIS_SELECTED) & LVIS_SELECTED) != 0;
        state.focused = list_->hasFocus() && list_->currentIndex().row() == row_;
        state.invisible = !list_->isVisible();
        state.offscreen = !list_->viewport()->geometry().intersects(list_->GetItemRect(row_));
        state.disabled = !list_->isEnabled();
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override {
        return isValid() && list_->isEnabled() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& actionName) override {
        if (actionName == pressAction() && isValid() && list_->isEnabled()) {
            list_->ClickRowLater(row_);
        }
    }
    QStringList keyBindingsForAction(const QString& actionName) const override {
        return actionName == pressAction() ? QStringList{QStringLiteral("Space")} : QStringList{};
    }

private:
    QPointer<PickListCtrl> list_;
    int row_;
};

// A pick list: one child per row, no header or scroll-bar parts (the skin's
// bars beside it are controls of their own).
class PickListAccessible : public QAccessibleWidget {
public:
    explicit PickListAccessible(PickListCtrl* list)
        : QAccessibleWidget(list, QAccessible::List), list_(list) {}
    ~PickListAccessible() override {
        for (QAccessible::Id id : rowIds_) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override { return list_->GetItemCount(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        // One interface per row index, kept for the list's life: rows come
        // and go with each search, the indexes stay.
        while (static_cast<int>(rows_.size()) <= index) {
            auto* row = new RowAccessible(list_, static_cast<int>(rows_.size()));
            rowIds_.push_back(QAccessible::registerAccessibleInterface(row));
            rows_.push_back(row);
        }
        return rows_[static_cast<std::size_t>(index)];
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (std::size_t k = 0; k < rows_.size(); ++k) {
            if (rows_[k] == child) {
                return static_cast<int>(k) < childCount() ? static_cast<int>(k) : -1;
            }
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        return child(list_->HitTest(list_->mapFromGlobal(QPoint(x, y))));
    }
    QAccessibleInterface* focusChild() const override {
        return list_->hasFocus() ? child(list_->currentIndex().row()) : nullptr;
    }

private:
    PickListCtrl* list_;
    mutable std::vector<RowAccessible*> rows_;
    mutable std::vector<QAccessible::Id> rowIds_;
};

// Set while Qt's own interface of a control is made, to wrap it.
bool makingInner = false;

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    // Decide once per object, for its most derived class.
    if (makingInner || object == nullptr || !object->isWidgetType() ||
        className != QLatin1String(object->metaObject()->className())) {
        return nullptr;
    }
    auto* widget = static_cast<QWidget*>(object);
    if (auto* list = qobject_cast<PickListCtrl*>(widget)) {
        return new PickListAccessible(list);
    }
    if (auto* bar = qobject_cast<skin::SkinScrollBar*>(widget)) {
        return new StaticAccessible(bar, QAccessible::ScrollBar);
    }
    if (auto* text = qobject_cast<CStatic*>(widget)) {
        return new StaticAccessible(
            text, text->GetIcon().isNull() ? QAccessible::StaticText : QAccessible::Graphic);
    }
    if (qobject_cast<CProgressCtrl*>(widget) != nullptr) {
        return new QAccessibleWidget(widget, QAccessible::ProgressBar);
    }
    if (qobject_cast<CDialog*>(widget) != nullptr) {
        return new DialogAccessible(widget);
    }
    if (auto* address = qobject_cast<CIPAddressCtrl*>(widget)) {
        return new AddressAccessible(address);
    }
    if (qobject_cast<QLineEdit*>(widget) != nullptr ||
        qobject_cast<QComboBox*>(widget) != nullptr) {
        // Qt's own interface is made by asking again with this factory out
        // of the way; the cache then keeps it under an id of its own (the
        // wrapper deletes it) and maps the object to the wrapper returned.
        makingInner = true;
        QAccessibleInterface* inner = QAccessible::queryAccessibleInterface(object);
        makingInner = false;
        return inner ? new LabelledAccessible(inner) : nullptr;
    }
    return nullptr;
}

}  // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

CStatic* StaticLabelOf(const QWidget& control) {
    const QWidget* dialog = control.parentWidget();
    if (dialog == nullptr) {
        return nullptr;
    }
    const QRect box = control.geometry();
    CStatic* best = nullptr;
    int bestGap = 0;
    bool bestOnLine = false;
    for (QObject* child : dialog->children()) {
        auto* text = qobject_cast<CStatic*>(child);
        if (text == nullptr || qobject_cast<skin::SkinScrollBar*>(text) != nullptr ||
            !text->isVisibleTo(dialog) || LabelName(*text).isEmpty()) {
            continue;
        }
        const QRect label = text->geometry();
        const int middle = label.center().y();
        // Labels may run a little into the control they name.
        const bool onLine =
            label.center().x() < box.left() && middle >= box.top() && middle <= box.bottom();
        const bool above = label.bottom() < box.top() &&
                           box.top() - label.bottom() <= box.height() &&
                           label.left() <= box.right() && label.right() >= box.left();
        if (!onLine && !above) {
            continue;
        }
        const int gap = onLine ? box.left() - label.center().x() : box.top() - label.bottom();
        if (best == nullptr || (onLine && !bestOnLine) || (onLine == bestOnLine && gap < bestGap)) {
            best = text;
            bestGap = gap;
            bestOnLine = onLine;
        }
    }
    return best;
}

QString LabelName(const CStatic& label) {
    QString name = label.GetWindowText().trimmed();
    while (name.endsWith(QLatin1Char(':'))) {
        name = name.chopped(1).trimmed();
    }
    return name;
}

void LabelControl(QWidget& control, const QString& name) {
    InstallAccessibility();
    CStatic* label = StaticLabelOf(control);
    control.setAccessibleName(name.isEmpty() && label ? LabelName(*label) : name);
    if (label != nullptr) {
        control.setProperty(kLabelProperty, QVariant::fromValue<QObject*>(label));
        label->setProperty(kLabelForProperty, QVariant::fromValue<QObject*>(&control));
    }
}

void LabelAddressControl(CIPAddressCtrl& control, const QString& name) {
    LabelControl(control, name);
    const QString controlName = control.accessibleName();
    const QVariant label = control.property(kLabelProperty);
    for (int part = 0; part < 4; ++part) {
        QLineEdit* field = control.Field(part);
        field->setAccessibleName(QStringLiteral("%1, part %2 of 4").arg(controlName).arg(part + 1));
        field->setProperty(kLabelProperty, label);
    }
}

QString FirstLineOf(const QWidget& dialog) {
    for (QObject* child : dialog.children()) {
        auto* text = qobject_cast<CStatic*>(child);
        if (text != nullptr && text->isVisibleTo(&dialog) && !LabelName(*text).isEmpty()) {
            return LabelName(*text);
        }
    }
    return {};
}
