#include "window/QuorelleView.h"

#include "app/MainFrame.h"
#include "framework/DocTemplate.h"
#include "framework/Globals.h"
#include "res/Resource.h"
#include "window/QuorelleDoc.h"

CQuorelleView::CQuorelleView(const CCreateContext& context)
    : m_nKind(g_nWindowKind), m_bOpeningPath(context.m_bOpeningPath), m_pMainFrame(GetMainFrame())
{
}

CQuorelleView::~CQuorelleView() = default;

int CQuorelleView::OnCreate()
{
    // The document reaches the main frame through its first view.
    if (auto* document = dynamic_cast<CQuorelleDoc*>(GetDocument()))
        document->m_pMainFrame = m_pMainFrame;
    return 0;
}

bool CQuorelleView::HandlesCommand(int id) const
{
    return id == ID_VIEW_PROPERTIES || id == ID_FILE_PRINT || id == ID_FILE_PRINT_DIRECT ||
           id == ID_FILE_PRINT_PREVIEW;
}

void CQuorelleView::OnCommand(int id)
{
    switch (id) {
    case ID_FILE_PRINT:
        OnFilePrint();
        break;
    case ID_FILE_PRINT_DIRECT:
        OnFilePrintDirect();
        break;
    case ID_FILE_PRINT_PREVIEW:
        OnFilePrintPreview();
        break;
    default:
        // Properties: the settings dialog of the quote window attaches here.
        break;
    }
}
