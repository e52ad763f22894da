#include "combo_box.h"

#include <QAbstractItemView>

#include "dialog_units.h"

using namespace ostrel::dialog;

namespace {

// Counts programmatic changes, so that only the user's choices notify.
class Programmatic {
public:
    explicit Programmatic(int& depth) : depth_(depth) { ++depth_; }
    ~Programmatic() { --depth_; }
    Programmatic(const Programmatic&) = delete;
    Programmatic& operator=(const Programmatic&) = delete;

private:
    int& depth_;
};

}  // namespace

CComboBox::CComboBox(QWidget* parent) : QComboBox(parent), CWnd(this) {
    SetStyleWord(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST);
    setEditable(false);
    setCurrentIndex(-1);
    connect(this, &QComboBox::currentIndexChanged, this,
            [this](int index) { onUserChoice(index); });
}

CComboBox::~CComboBox() = default;

bool CComboBox::AcceptsClass(ControlClass controlClass) const {
    return controlClass == ControlClass::ComboBox;
}

void CComboBox::ApplyTemplate(const ControlTemplate& control) {
    Programmatic guard(programmatic_);
    clear();
    for (const QString& item : control.initItems)
        AddString(item);
    setCurrentIndex(-1);
    // The template's height is the extent of the dropped list; the closed
    // box is as tall as its font needs.
    const int listHeight = height();
    const int fieldHeight = GdiCellHeight(font()) + 8;
    resize(width(), fieldHeight);
    const int itemHeight = std::max(1, fontMetrics().height() + 2);
    setMaxVisibleItems(std::max(1, (listHeight - fieldHeight) / itemHeight));
}

int CComboBox::AddString(const QString& text) {
    Programmatic guard(programmatic_);
    const int selected = currentIndex();
    int index = count();
    if (GetStyle() & CBS_SORT) {
        index = 0;
        while (index < count() && QString::compare(itemText(index), text, Qt::CaseInsensitive) <= 0)
            ++index;
    }
    insertItem(index, text);
    setCurrentIndex(selected < 0 ? -1 : (selected >= index ? selected + 1 : selected));
    return index;
}

int CComboBox::InsertString(int index, const QString& text) {
    Programmatic guard(programmatic_);
    if (index < 0 || index > count())
        index = count();
    const int selected = currentIndex();
    insertItem(index, text);
    setCurrentIndex(selected < 0 ? -1 : (selected >= index ? selected + 1 : selected));
    return index;
}

int CComboBox::DeleteString(int index) {
    if (index < 0 || index >= count())
        return CB_ERR;
    Programmatic guard(programmatic_);
    const int selected = currentIndex();
    removeItem(index);
    setCurrentIndex(selected == index ? -1 : (selected > index ? selected - 1 : selected));
    return count();
}

void CComboBox::ResetContent() {
    Programmatic guard(programmatic_);
    clear();
    setCurrentIndex(-1);
}

int CComboBox::GetCount() const {
    return count();
}

int CComboBox::GetCurSel() const {
    return currentIndex() < 0 ? CB_ERR : currentIndex();
}

int CComboBox::SetCurSel(int index) {
    Programmatic guard(programmatic_);
    if (index < 0 || index >= count()) {
        setCurrentIndex(-1);
        return CB_ERR;
    }
    setCurrentIndex(index);
    return index;
}

int CComboBox::GetLBText(int index, QString& text) const {
    if (index < 0 || index >= count())
        return CB_ERR;
    text = itemText(index);
    return static_cast<int>(text.size());
}

QString CComboBox::GetLBText(int index) const {
    QString text;
    GetLBText(index, text);
    return text;
}

int CComboBox::FindStringExact(int startAfter, const QString& text) const {
    const int n = count();
    for (int k = 1; k <= n; ++k) {
        const int i = ((startAfter < 0 ? -1 : startAfter) + k) % n;
        if (QString::compare(itemText(i), text, Qt::CaseInsensitive) == 0)
            return i;
    }
    return CB_ERR;
}

int CComboBox::SetItemData(int index, DWORD_PTR value) {
    if (index < 0 || index >= count())
        return CB_ERR;
    setItemData(index, QVariant::fromValue<qulonglong>(value));
    return 0;
}

DWORD_PTR CComboBox::GetItemData(int index) const {
    if (index < 0 || index >= count())
        return static_cast<DWORD_PTR>(CB_ERR);
    return static_cast<DWORD_PTR>(itemData(index).toULongLong());
}

QString CComboBox::GetWindowText() const {
    return currentIndex() < 0 ? QString() : currentText();
}

void CComboBox::onUserChoice(int /*index*/) {
    if (programmatic_ == 0)
        NotifyParentCommand(CBN_SELCHANGE);
}

LRESULT CComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case CB_GETCOUNT:
            return GetCount();
        case CB_GETCURSEL:
            return GetCurSel();
        case CB_SETCURSEL:
            return SetCurSel(static_cast<int>(wParam));
        case CB_RESETCONTENT:
            ResetContent();
            return 0;
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}

bool CComboBox::event(QEvent* event) {
    if (dispatchPostedMessage(event))
        return true;
    return QComboBox::event(event);
}
