#include "window/QuorelleDoc.h"

bool CQuorelleDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

bool CQuorelleDoc::OnOpenDocument(const std::string& path)
{
    (void)path;
    return false;
}
