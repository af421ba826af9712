#include "framework/View.h"

#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWidget>

#include "framework/Document.h"
#include "framework/MDIChildWnd.h"
#include "framework/MDIFrameWnd.h"
#include "base/MessageBox.h"
#include "framework/WinApp.h"

namespace {
QPrinter& ApplicationPrinter()
{
    if (CWinApp* app = CWinApp::GetApp())
        return app->GetPrinter();
    static QPrinter fallback;
    return fallback;
}

QWidget* DialogParent()
{
    CWinApp* app = CWinApp::GetApp();
    return app ? app->GetMainWnd() : nullptr;
}
}  // namespace

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

QWidget* CView::GetWidget()
{
    return dynamic_cast<QWidget*>(this);
}

const QWidget* CView::GetWidget() const
{
    return dynamic_cast<const QWidget*>(this);
}

CMDIChildWnd* CView::GetParentFrame() const
{
    const QWidget* widget = GetWidget();
    for (QWidget* parent = widget ? widget->parentWidget() : nullptr; parent; parent = parent->parentWidget()) {
        if (auto* frame = qobject_cast<CMDIChildWnd*>(parent))
            return frame;
    }
    return nullptr;
}

void CView::OnUpdate(CView* sender, long hint)
{
    (void)sender;
    (void)hint;
    if (QWidget* widget = GetWidget())
        widget->update();
}

bool CView::DoPreparePrinting(CPrintInfo& info)
{
    if (info.m_bDirect || info.m_bPreview)
        return true;
    QPrintDialog dialog(info.m_pPrinter, DialogParent());
    dialog.setMinMax(info.m_nMinPage, info.m_nMaxPage);
    // The dialog closes with its window (Exit runs from its event loop too);
    // a window gone meanwhile prints nothing.
    const QPointer<QWidget> alive(GetWidget());
    if (alive)
        QObject::connect(alive, &QObject::destroyed, &dialog, &QDialog::reject);
    const bool hadWindow = alive != nullptr;
    return dialog.exec() == QDialog::Accepted && (alive || !hadWindow);
}

bool CView::PrintPages(QPrinter& printer, CPrintInfo& info)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    info.m_pPrinter = &printer;
    OnBeginPrinting(painter, info);
    for (int page = info.m_nMinPage; page <= info.m_nMaxPage; ++page) {
        if (page > info.m_nMinPage)
            printer.newPage();
        info.m_nCurPage = page;
        info.m_rectDraw = painter.viewport();
        painter.save();
        OnPrepareDC(painter, &info);
        OnPrint(painter, info);
        painter.restore();
    }
    OnEndPrinting(painter, info);
    painter.end();
    return true;
}

void CView::OnFilePrint()
{
    QPrinter& printer = ApplicationPrinter();
    CPrintInfo info;
    info.m_pPrinter = &printer;
    if (!OnPreparePrinting(info))
        return;
    if (!PrintPages(printer, info))
        ShowMessage("The printer could not be started.");
}

void CView::OnFilePrintDirect()
{
    QPrinter& printer = ApplicationPrinter();
    CPrintInfo info;
    info.m_pPrinter = &printer;
    info.m_bDirect = true;
    if (!OnPreparePrinting(info))
        return;
    if (!PrintPages(printer, info))
        ShowMessage("The printer could not be started.");
}

void CView::OnFilePrintPreview()
{
    QPrinter& printer = ApplicationPrinter();
    CPrintInfo info;
    info.m_pPrinter = &printer;
    info.m_bPreview = true;
    if (!OnPreparePrinting(info))
        return;
    QPrintPreviewDialog preview(&printer, DialogParent());
    // The preview closes with its window and never draws a window that is gone.
    const QPointer<QWidget> alive(GetWidget());
    const bool hadWindow = alive != nullptr;
    if (alive)
        QObject::connect(alive, &QObject::destroyed, &preview, &QDialog::reject);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, [this, &info, alive, hadWindow](QPrinter* target) {
        if (hadWindow && !alive)
            return;
        CPrintInfo pageInfo = info;
        PrintPages(*target, pageInfo);
    });
    preview.exec();
}
