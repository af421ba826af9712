#pragma once

#include <string>

#include "framework/Document.h"

class CMainFrame;

// The document of quote windows and market list windows alike. It has no
// contents: it loads and stores nothing and is never modified.
class CQuorelleDoc : public CDocument {
    Q_OBJECT

public:
    CQuorelleDoc() = default;

    // The main frame; a quote view sets it when it is created.
    CMainFrame* m_pMainFrame = nullptr;

    bool OnNewDocument() override;
    // A path names a security rather than a file; nothing of the path is
    // kept as a document, so the result is false.
    bool OnOpenDocument(const std::string& path) override;
};
