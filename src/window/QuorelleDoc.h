#pragma once

#include <string>

#include "framework/Document.h"

class CQuoteWindowHost;

// The document of quote windows and market list windows alike. It has no
// contents: it loads and stores nothing and is never modified.
class CQuorelleDoc : public CDocument {
    Q_OBJECT

public:
    CQuorelleDoc() = default;

    // The main frame; each quote view sets it when it is created.
    CQuoteWindowHost* m_pMainFrame = nullptr;

    bool OnNewDocument() override;
    // A path is a recent-file entry ("Acme Corp (NYSE, ACME)") or a file
    // whose name has that form; the security it names opens in a quote
    // window of its own, and the file itself is never read. The result is
    // always false: nothing of the path is kept as a document.
    bool OnOpenDocument(const std::string& path) override;
};
