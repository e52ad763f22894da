#include "list_host.h"

using namespace ostrel::dialog;

namespace skin_test {
namespace {

DialogTemplate HostTemplate() {
    DialogTemplate t;
    t.id = 9100;
    t.cx = 287;
    t.cy = 330;
    t.fontFace = "Arial";
    t.pointSize = 8;
    t.style = DS_SETFONT | WS_POPUP;
    t.controls = {ReportList(ListHost::kListId, {14, 44, 179, 61}),
                  Static("Label :", {14, 148, 40, 8})};
    return t;
}

}  // namespace

LRESULT CountingList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_VSCROLL || message == WM_HSCROLL)
        ++counts[{message, LOWORD(wParam)}];
    return CSkinListCtrl::WindowProc(message, wParam, lParam);
}

int CountingList::count(UINT message, UINT code) const {
    auto it = counts.find({message, code});
    return it == counts.end() ? 0 : it->second;
}

int CountingList::total(UINT message) const {
    int n = 0;
    for (const auto& [key, value] : counts)
        if (key.first == message)
            n += value;
    return n;
}

ListHost::ListHost(int rows, bool wide)
    : CDialog(HostTemplate()), initialRows(rows), wideColumns(wide) {}

ListHost::~ListHost() = default;

void ListHost::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, kListId, list);
}

BOOL ListHost::OnInitDialog() {
    CDialog::OnInitDialog();
    list.SetFont(QFont("Tahoma", 8));
    list.AttachSkinScrollBars();
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    list.InsertColumn(0, "Name", LVCFMT_LEFT, wideColumns ? 94 : 60);
    list.InsertColumn(1, "IP", LVCFMT_LEFT, wideColumns ? 81 : 50);
    list.InsertColumn(2, "Netmask", LVCFMT_LEFT, wideColumns ? 81 : 50);
    list.InsertColumn(3, "Gateway", LVCFMT_LEFT, wideColumns ? 81 : 50);
    list.SetTextColor(RGB(0, 0, 0));
    fill(initialRows);
    return TRUE;
}

void ListHost::fill(int rows) {
    list.DeleteAllItems();
    for (int i = 0; i < rows; ++i) {
        const int row = list.InsertItem(i, QString("NVR-%1").arg(i));
        list.SetItemText(row, 1, QString("192.168.1.%1").arg(10 + i));
        list.SetItemText(row, 2, "255.255.255.0");
        list.SetItemText(row, 3, "192.168.1.1");
    }
}

}  // namespace skin_test
