#pragma once

#include <QWidget>

#include "framework/View.h"

class CMainFrame;
struct CCreateContext;

// The view of a quote window. A view made while g_nWindowKind is not 0, or
// while its template opens a path, stays inert.
class CQuorelleView : public QWidget, public CView {
    Q_OBJECT

public:
    explicit CQuorelleView(const CCreateContext& context);
    ~CQuorelleView() override;

    // g_nWindowKind when the view was constructed; 0 for a working view.
    int m_nKind;
    // Made for a path being opened (discarded with its document).
    bool m_bOpeningPath;
    CMainFrame* m_pMainFrame;

    int OnCreate() override;

    // Properties and the printing commands belong to the quote view.
    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;
};
