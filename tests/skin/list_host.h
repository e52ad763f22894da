#pragma once

#include <map>

#include "platform/dialog/dialog.h"
#include "skin/skin_list_ctrl.h"

namespace skin_test {

// A list that counts the scroll messages its bars send it.
class CountingList : public CSkinListCtrl {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int count(UINT message, UINT code) const;
    int total(UINT message) const;
    void reset() { counts.clear(); }

private:
    std::map<std::pair<UINT, UINT>, int> counts;
};

// A frameless dialog laid out like the main window's device list: a report
// list with four columns, skinned, with its two bars beside it.
class ListHost : public CDialog {
public:
    static constexpr int kListId = 1000;
    // `wide`: the main window's device-list columns (wider than the list);
    // otherwise four narrow ones that fit.
    explicit ListHost(int rows = 0, bool wide = true);
    ~ListHost() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    void fill(int rows);

    CountingList list;

private:
    int initialRows;
    bool wideColumns;
};

}  // namespace skin_test
