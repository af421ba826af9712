#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QObject>

#include "framework/CommandTarget.h"
#include "framework/RecentFileList.h"

class CDocTemplate;
class CDocument;
class CMDIFrameWnd;
class QPrinter;
class QSettings;

// The application object: document templates, the main frame, per-user
// settings with the recent-file list, the busy cursor and the shared printer
// settings. Constructed after the QApplication; one at a time is current
// (GetApp). Last on the command route: it handles New, Open, Print Setup,
// Exit and the recent-file entries.
class CWinApp : public QObject, public CCmdTarget {
    Q_OBJECT

public:
    explicit CWinApp(std::string appName);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The application object alive now (the most recently constructed), or null.
    static CWinApp* GetApp();

    virtual bool InitInstance() { return true; }

    const std::string& GetAppName() const { return m_strAppName; }
    CMDIFrameWnd* GetMainWnd() const { return m_pMainWnd.get(); }
    void SetMainWnd(std::unique_ptr<CMDIFrameWnd> mainWnd);

    // Registers a template (the first registered one opens paths) and
    // returns it; the application owns it.
    CDocTemplate* AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate);
    std::vector<CDocTemplate*> GetDocTemplates() const;
    void CloseAllDocuments();

    // Per-user settings live in QSettings(registry key, application name).
    void SetRegistryKey(const std::string& key);
    const std::string& GetRegistryKey() const { return m_strRegistryKey; }
    std::unique_ptr<QSettings> OpenSettings() const;
    // Creates the recent-file list with room for maxEntries and loads it.
    void LoadStdProfileSettings(int maxEntries);

    // Puts the entry at the head of the recent-file list and stores the
    // list at once. Nothing happens before LoadStdProfileSettings.
    void AddToRecentFileList(const std::string& entry);
    const CRecentFileList* GetRecentFileList() const { return m_pRecentFileList.get(); }

    // Opens the path through the first registered template.
    CDocument* OpenDocumentFile(const std::string& path);

    void DoWaitCursor(int code);

    // The printer settings shared by every print job and Print Setup.
    QPrinter& GetPrinter();

    // Framework commands.
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();
    void OnOpenRecentFile(int id);

    bool HandlesCommand(int id) const override;
    void OnUpdateCommand(int id, CCmdUI& ui) override;
    void OnCommand(int id) override;

signals:
    void recentFileListChanged();

private:
    void SaveRecentFileList() const;

    std::string m_strAppName;
    std::string m_strRegistryKey;
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;
    std::unique_ptr<QPrinter> m_pPrinter;
    std::unique_ptr<CMDIFrameWnd> m_pMainWnd;
    CWinApp* m_pPrevious = nullptr;
};
