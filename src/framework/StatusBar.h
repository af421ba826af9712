#pragma once

#include <string>
#include <vector>

#include <QRect>
#include <QStatusBar>

class QLabel;

// The main frame's status bar: pane 0 stretches and shows messages (menu and
// button prompts, progress captions, the idle text); the panes after it are
// indicators with fixed texts. Status tips of menus and buttons are shown in
// pane 0 by the main frame, not as Qt's temporary messages, so pane 0 is the
// one place where messages appear.
class CStatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit CStatusBar(QWidget* parent = nullptr);

    // One pane per text; the first (the message pane) starts empty, the
    // others show their text, greyed (the lock-key state is not known).
    void SetIndicators(const std::vector<std::string>& texts);
    int GetCount() const { return static_cast<int>(m_panes.size()); }

    void SetPaneText(int pane, const std::string& text);
    std::string GetPaneText(int pane) const;
    // The pane's rectangle in the status bar's coordinates (empty when the
    // pane does not exist).
    QRect GetItemRect(int pane) const;
    QLabel* GetPane(int pane) const;

private:
    std::vector<QLabel*> m_panes;
};
