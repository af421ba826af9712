#pragma once

#include <QTableView>

#include "framework/View.h"

class QStandardItemModel;

// The view of a market list window: a four-column list (COMPANY, SYMBOL,
// VOLUME, LISTED).
class CListView_ : public QTableView, public CView {
    Q_OBJECT

public:
    CListView_();
    ~CListView_() override;

    // Find in a list belongs to the list view.
    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;

private:
    QStandardItemModel* m_pModel;
};
